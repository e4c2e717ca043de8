// GDI+ behind the platform's image encoder interface. The flat API is used
// because a bitmap, an encoder lookup and a save are all this needs, and it
// keeps GDI+ object lifetimes explicit next to the start-up and shut-down.
#include <climits>

#include "platform/gdiplus_support.h"
#include "platform/image_encoders.h"

namespace pavlex::platform {

namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

bool Encode(const uint32_t* pixels, int32_t width, int32_t height, ByteSink& sink, PixelFormat format,
            const wchar_t* mimeType, const EncoderParameters* parameters) {
  if (pixels == nullptr || width < 1 || height < 1 || width > INT_MAX / 4) return false;
  // Nested inside the output's own session when there is one; standalone
  // callers (benchmarks, tools) get GDI+ started here.
  GdiplusSession session;
  if (!session.started()) return false;
  // GDI+ wraps the caller's memory without copying and only reads it when
  // saving; it wants a non-const pointer all the same.
  GpBitmap* bitmap = nullptr;
  if (GdipCreateBitmapFromScan0(width, height, width * 4, format,
                                reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels)), &bitmap) != Ok) {
    return false;
  }
  const bool written = SaveImageToSink(bitmap, mimeType, parameters, sink);
  GdipDisposeImage(bitmap);
  return written;
}

}  // namespace

bool EncodePng(const uint32_t* pixels, int32_t width, int32_t height, ByteSink& sink) {
  return Encode(pixels, width, height, sink, PixelFormat32bppARGB, L"image/png", nullptr);
}

bool EncodePngOpaque(const uint32_t* pixels, int32_t width, int32_t height, ByteSink& sink) {
  // The same memory read as 32-bit RGB: GDI+ ignores the fourth byte, so
  // the alpha channel is dropped rather than composed.
  return Encode(pixels, width, height, sink, PixelFormat32bppRGB, L"image/png", nullptr);
}

bool EncodeJpeg(const uint32_t* pixels, int32_t width, int32_t height, ByteSink& sink) {
  // No encoder parameters: the system encoder's own quality. JPEG has no
  // alpha channel; reading the pixels as 32-bit RGB keeps GDI+ from
  // composing them over anything first.
  return Encode(pixels, width, height, sink, PixelFormat32bppRGB, L"image/jpeg", nullptr);
}

}  // namespace pavlex::platform
