// The Windows clipboard takes a device-dependent bitmap (CF_BITMAP): every
// program that can paste a picture understands it, whereas a PNG format
// would need a registered clipboard format that many do not read.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clipboard.h"

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

// GDI+ is started and shut down around every copy, so that no GDI+ state
// outlives a call into the plug-in.
class GdiplusSession {
 public:
  GdiplusSession() {
    GdiplusStartupInput input;  // version 1, no debug callback, background thread
    started_ = GdiplusStartup(&token_, &input, nullptr) == Ok;
  }
  ~GdiplusSession() {
    if (started_) GdiplusShutdown(token_);
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool started() const { return started_; }

 private:
  ULONG_PTR token_ = 0;
  bool started_ = false;
};

// Decodes `png` and composes it over opaque black into a bitmap section.
// GDI+ reads the stream lazily, so the stream lives as long as the bitmap.
HBITMAP DecodeOverBlack(const std::vector<uint8_t>& png, std::string* reason) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, png.size());
  void* bytes = memory ? GlobalLock(memory) : nullptr;
  if (bytes == nullptr) {
    if (memory) GlobalFree(memory);
    Fail(reason, "out of memory");
    return nullptr;
  }
  std::memcpy(bytes, png.data(), png.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    Fail(reason, "no memory stream");
    return nullptr;
  }
  HBITMAP section = nullptr;
  GpBitmap* bitmap = nullptr;
  if (GdipCreateBitmapFromStream(stream, &bitmap) != Ok) {
    Fail(reason, "picture could not be decoded");
  } else {
    if (GdipCreateHBITMAPFromBitmap(bitmap, &section, kBackground) != Ok || section == nullptr) {
      section = nullptr;
      Fail(reason, "no bitmap section");
    }
    GdipDisposeImage(bitmap);
  }
  stream->Release();
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

bool CopyPngToClipboard(const std::vector<uint8_t>& png, std::string* reason) {
  if (png.empty()) return Fail(reason, "no picture");
  GdiplusSession session;
  if (!session.started()) return Fail(reason, "GDI+ did not start");
  HBITMAP section = DecodeOverBlack(png, reason);
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
