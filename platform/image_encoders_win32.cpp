// GDI+ behind the platform's image encoder interface. The flat API is used
// because a bitmap, an encoder lookup and a save are all this needs, and it
// keeps GDI+ object lifetimes explicit next to the start-up and shut-down.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <climits>
#include <cstring>
#include <cwchar>
#include <vector>

#include "platform/image_encoders.h"

namespace pavlex::platform {

namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// GDI+ is started and shut down around every single encoding, so that no
// GDI+ state outlives a call into the plug-in and the host may unload us
// at any time.
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

// Encoders are identified by MIME type, compared exactly: the class IDs
// differ between GDI+ versions and third-party codecs may be installed.
bool FindImageEncoder(const wchar_t* mimeType, CLSID* clsid) {
  UINT count = 0;
  UINT bytes = 0;
  if (GdipGetImageEncodersSize(&count, &bytes) != Ok || bytes == 0 || count == 0) return false;
  // The table holds the records followed by the strings they point to; a
  // vector of records keeps it aligned for them.
  std::vector<ImageCodecInfo> table((bytes + sizeof(ImageCodecInfo) - 1) / sizeof(ImageCodecInfo));
  std::memset(table.data(), 0, table.size() * sizeof(ImageCodecInfo));
  if (GdipGetImageEncoders(count, bytes, table.data()) != Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    const wchar_t* mime = reinterpret_cast<const wchar_t*>(table[i].MimeType);
    if (mime != nullptr && std::wcscmp(mime, mimeType) == 0) {
      *clsid = table[i].Clsid;
      return true;
    }
  }
  return false;
}

// Hands the whole content of a memory stream to the sink. The encoder may
// have seeked about, so the size comes from the stream, not its position.
bool CopyStreamToSink(IStream* stream, ByteSink& sink) {
  STATSTG stat = {};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return false;
  HGLOBAL memory = nullptr;
  if (FAILED(GetHGlobalFromStream(stream, &memory))) return false;
  const ULONGLONG size = stat.cbSize.QuadPart;
  if (size == 0 || size > GlobalSize(memory)) return false;
  const void* bytes = GlobalLock(memory);
  if (bytes == nullptr) return false;
  const bool written = sink.Write(bytes, static_cast<size_t>(size));
  GlobalUnlock(memory);
  return written;
}

bool Encode(const uint32_t* pixels, int32_t width, int32_t height, ByteSink& sink, PixelFormat format,
            const wchar_t* mimeType, const EncoderParameters* parameters) {
  if (pixels == nullptr || width < 1 || height < 1 || width > INT_MAX / 4) return false;
  GdiplusSession session;
  if (!session.started()) return false;
  CLSID encoder;
  if (!FindImageEncoder(mimeType, &encoder)) return false;
  // GDI+ wraps the caller's memory without copying and only reads it when
  // saving; it wants a non-const pointer all the same.
  GpBitmap* bitmap = nullptr;
  if (GdipCreateBitmapFromScan0(width, height, width * 4, format,
                                reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels)), &bitmap) != Ok) {
    return false;
  }
  IStream* stream = nullptr;
  bool written = false;
  if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
    written = GdipSaveImageToStream(bitmap, stream, &encoder, parameters) == Ok && CopyStreamToSink(stream, sink);
    stream->Release();
  }
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
  ULONG quality = 90;
  EncoderParameters parameters;
  parameters.Count = 1;
  parameters.Parameter[0].Guid = EncoderQuality;
  parameters.Parameter[0].NumberOfValues = 1;
  parameters.Parameter[0].Type = EncoderParameterValueTypeLong;
  parameters.Parameter[0].Value = &quality;
  // JPEG has no alpha channel; reading the pixels as 32-bit RGB keeps
  // GDI+ from composing them over anything first.
  return Encode(pixels, width, height, sink, PixelFormat32bppRGB, L"image/jpeg", &parameters);
}

}  // namespace pavlex::platform
