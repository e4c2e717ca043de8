// Something modal the window itself shows over everything else: a
// plug-in's message box or save-file dialog (answered through the
// interpreter), the file chooser of File > Open and Save As, the
// unsaved-changes prompt, a notice. Private to gui/.
#pragma once

#include <string>

#include "gui/gui_window.h"

namespace pavlex::gui {

// Something modal the window shows over everything else.
struct GuiWindow::Overlay {
  enum Kind { kPluginBox, kPluginSave, kChooser, kUnsaved, kNotice } kind = kNotice;
  std::string title;
  std::string message;
  std::string boxType;  // a plug-in box's "messagetype"
  bool done = false;    // an OK-only box was acknowledged
  // The file chooser.
  enum Purpose { kAnswer, kOpen, kSaveAs } purpose = kAnswer;
  bool saving = true;
  std::string folder;
  char name[512] = {};
  bool confirmOverwrite = false;
  // The unsaved-changes prompt: what follows a Save or a Discard.
  bool thenExit = true;
  bool placed = false;
  // Enter and Escape, as the default and the cancel button.
  bool acceptKey = false;
  bool cancelKey = false;
  bool focusName = true;  // the chooser's name field takes the keyboard when it opens
};

}  // namespace pavlex::gui
