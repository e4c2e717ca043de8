// GDI+ pieces shared by the Windows image code: the start-up session, the
// encoder lookup and saving an image into a ByteSink. Windows only.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "platform/byte_sink.h"

namespace pavlex::platform {

// Starts GDI+ for the lifetime of the object. Sessions nest: GDI+ counts
// start-ups, so an output may hold one while its image and the encoders
// hold their own, and GDI+ stops with the last. No GDI+ object may outlive
// the session it was made under.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool started() const { return started_; }

 private:
  ULONG_PTR token_ = 0;
  bool started_ = false;
};

// The class ID of the first installed encoder whose MIME type equals
// `mimeType` exactly; false when there is none. Class IDs differ between
// GDI+ versions and third-party codecs may be installed, so encoders are
// only ever found this way.
bool FindImageEncoder(const wchar_t* mimeType, CLSID* clsid);

// Encodes `image` with the encoder for `mimeType` and hands the whole
// stream to `sink`. False when there is no such encoder, encoding failed or
// the sink refused bytes.
bool SaveImageToSink(Gdiplus::GpImage* image, const wchar_t* mimeType, const Gdiplus::EncoderParameters* parameters,
                     ByteSink& sink);

}  // namespace pavlex::platform
