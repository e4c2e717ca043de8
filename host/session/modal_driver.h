// Whoever drives the host answers its modal runs: a test, a script, later a
// window. A plug-in that runs a dialog, a message box or a file dialog waits
// inside the host until the driver has answered.
#pragma once

#include <cstdint>

#include "host/widgets/modal_requests.h"

namespace pavlex::host {

class HostSession;

// Answers the host's modal runs. Each call happens inside the plug-in's
// request, on the host's thread; the driver may drive the session from
// there (press, set, check: the plug-in's handlers run re-entrantly, as
// they do under a real modal loop).
//
// A driver that throws is reported and taken as the default answer; the
// exception never reaches the plug-in.
//
// The defaults change nothing a user could lose: dialogs close as by their
// close box, message boxes answer Cancel when they have one, file dialogs
// are cancelled.
class ModalDriver {
 public:
  virtual ~ModalDriver() = default;

  // The dialog `dialog` is shown and runs modally: while this call lasts,
  // the session's commands reach only its widgets. Pressing a button of it
  // whose "modalresult" is nonzero closes it with that result; when the
  // driver returns without having closed it, it closes with
  // MQMODALRESULT_CANCEL, as its close box would. The default returns at once.
  virtual void runModal(HostSession& session, int32_t dialog);

  // Answers MQMODALRESULT_OK or _CANCEL, or for "yesno" boxes _YES or _NO.
  // The default: Cancel when the box has a Cancel button, No when it has
  // No, else OK.
  virtual int32_t messageBox(HostSession& session, const MessageBoxRequest& box);

  // True when the user confirmed; `request` then holds the chosen name and
  // filter. The default cancels.
  virtual bool saveFile(HostSession& session, SaveFileRequest& request);
};

}  // namespace pavlex::host
