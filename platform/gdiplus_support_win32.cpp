#include <cstring>
#include <cwchar>
#include <vector>

#include "platform/gdiplus_support.h"

namespace pavlex::platform {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

GdiplusSession::GdiplusSession() {
  GdiplusStartupInput input;  // version 1, no debug callback, background thread
  started_ = GdiplusStartup(&token_, &input, nullptr) == Ok;
}

GdiplusSession::~GdiplusSession() {
  if (started_) GdiplusShutdown(token_);
}

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

namespace {

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

}  // namespace

bool SaveImageToSink(GpImage* image, const wchar_t* mimeType, const EncoderParameters* parameters, ByteSink& sink) {
  CLSID encoder;
  if (image == nullptr || !FindImageEncoder(mimeType, &encoder)) return false;
  // Encoded into memory first: the file itself is written by the caller's
  // sink, which replaces the destination only once every byte is there.
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return false;
  const bool written = GdipSaveImageToStream(image, stream, &encoder, parameters) == Ok && CopyStreamToSink(stream, sink);
  stream->Release();
  return written;
}

}  // namespace pavlex::platform
