#include "plugin/output/clipboard_output.h"

#include <string>

#include "platform/clipboard.h"

namespace pavlex {

bool CopyImageToClipboard(const LayoutImage& image) {
  if (!image.valid()) {
    platform::DebugTrace("clipboard: no image");
    return false;
  }
  std::string reason;
  if (!platform::CopyPictureToClipboard(image.pixels(), image.width(), image.height(), &reason)) {
    platform::DebugTrace("clipboard: " + reason);
    return false;
  }
  return true;
}

}  // namespace pavlex
