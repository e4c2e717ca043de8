// Not yet the Windows clipboard: the picture still has to go through GDI+
// into a CF_BITMAP. Until then copying fails honestly, with a reason the
// caller can trace, instead of claiming success.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/text_conversion.h"

namespace pavlex::platform {

bool CopyPngToClipboard(const std::vector<uint8_t>& png, std::string* reason) {
  if (reason) *reason = png.empty() ? "no picture" : "clipboard not implemented on Windows yet";
  return false;
}

void DebugTrace(const std::string& text) {
  const char* flag = std::getenv("PAVLEX_DEBUG");
  if (flag == nullptr || *flag == '\0') return;
  std::fprintf(stderr, "%s\n", text.c_str());
  // A debugger attached to the host sees the trace without a console.
  const std::u16string wide = Utf8ToUtf16(text + "\n");
  OutputDebugStringW(reinterpret_cast<const wchar_t*>(wide.c_str()));
}

}  // namespace pavlex::platform
