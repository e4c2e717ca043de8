// The Windows clipboard takes a device-dependent bitmap (CF_BITMAP): every
// program that can paste a picture understands it, whereas a PNG format
// would need a registered clipboard format that many do not read.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/clipboard.h"
#include "platform/gdiplus_support.h"

namespace pavlex::platform {

namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// Opaque black: whatever the picture leaves transparent pastes as black,
// and the alpha channel, which CF_BITMAP cannot carry, is gone.
constexpr ARGB kBackground = 0xFF000000;

bool Fail(std::string* reason, const char* text) {
  if (reason) *reason = text;
  return false;
}

// The picture composed over black, as a bitmap section. GDI+ only reads
// the caller's memory here, through a bitmap that wraps it without a copy.
HBITMAP ComposeSection(const uint32_t* pixels, int32_t width, int32_t height, std::string* reason) {
  GpBitmap* bitmap = nullptr;
  if (GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels)), &bitmap) != Ok) {
    Fail(reason, "no bitmap");
    return nullptr;
  }
  HBITMAP section = nullptr;
  if (GdipCreateHBITMAPFromBitmap(bitmap, &section, kBackground) != Ok) section = nullptr;
  GdipDisposeImage(bitmap);
  if (section == nullptr) Fail(reason, "no bitmap section");
  return section;
}

// A device-dependent copy of `section` for the screen, which is what
// CF_BITMAP carries.
HBITMAP MakeScreenBitmap(HBITMAP section) {
  DIBSECTION description;
  std::memset(&description, 0, sizeof(description));
  if (GetObjectW(section, sizeof(description), &description) != static_cast<int>(sizeof(description))) {
    return nullptr;
  }
  description.dsBmih.biCompression = BI_RGB;  // a 32-bit section may describe itself with bit fields
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return nullptr;
  HBITMAP bitmap = CreateDIBitmap(screen, &description.dsBmih, CBM_INIT, description.dsBm.bmBits,
                                  reinterpret_cast<const BITMAPINFO*>(&description.dsBmih), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

}  // namespace

bool CopyPictureToClipboard(const uint32_t* pixels, int32_t width, int32_t height, std::string* reason) {
  if (pixels == nullptr || width < 1 || height < 1 || width > INT_MAX / 4) return Fail(reason, "no picture");
  // Nested inside the output's session when there is one.
  GdiplusSession session;
  if (!session.started()) return Fail(reason, "GDI+ did not start");
  HBITMAP section = ComposeSection(pixels, width, height, reason);
  if (section == nullptr) return false;
  HBITMAP bitmap = MakeScreenBitmap(section);
  DeleteObject(section);
  if (bitmap == nullptr) return Fail(reason, "no screen bitmap");
  bool taken = false;
  const bool opened = OpenClipboard(nullptr) != FALSE;
  if (opened) {
    if (EmptyClipboard() && SetClipboardData(CF_BITMAP, bitmap) != nullptr) {
      taken = true;
      // Visible to a debugger attached to the host, which has no console.
      OutputDebugStringW(L"ok");
    }
    CloseClipboard();
  }
  // From SetClipboardData on, the bitmap belongs to the clipboard.
  if (!taken) {
    DeleteObject(bitmap);
    return Fail(reason, opened ? "clipboard refused the picture" : "clipboard busy");
  }
  return true;
}

void DebugTrace(const std::string& text) {
  const char* flag = std::getenv("PAVLEX_DEBUG");
  if (flag == nullptr || *flag == '\0') return;
  std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace pavlex::platform
