// The modal runs a plug-in asks the widget service for (execute request,
// code 1), as records the host hands to whoever drives it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pavlex::host {

// A message box ("messagebox").
struct MessageBoxRequest {
  std::string type;  // "messagetype": "ok", "okcancel", "yesno", ...; empty when not given
  int32_t parent = 0;
  std::u16string title;
  std::u16string message;
};

// A save-file dialog ("filesave"). The driver may change `fileName` and
// `filterIndex`; they are written back to the dialog's "filename" and
// "filterindex" only when it confirms.
struct SaveFileRequest {
  int32_t dialog = 0;  // the save-file dialog's widget id
  std::u16string title;
  std::vector<std::u16string> filters;  // as added with "addfilter": "Name (*.x)|*.x"
  int32_t filterIndex = 0;
  std::u16string fileName;
};

}  // namespace pavlex::host
