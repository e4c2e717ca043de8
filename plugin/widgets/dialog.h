// A dialog window, built on demand, run modally and destroyed by one
// handler.
#pragma once

#include "plugin/widgets/window_base.h"

namespace pavlex {

class MQDialog : public MQWindowBase {
 public:
  // Creates a host dialog and attaches it to `parent`.
  explicit MQDialog(const MQWindowBase& parent);
  ~MQDialog() override = default;

  // Runs the dialog modally; answers the "modalresult" of the button that
  // closed it, 0 when the host could not run it.
  int32_t Execute();
};

}  // namespace pavlex
