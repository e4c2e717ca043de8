// Placeholder until the GDI+ encoders exist: libpng and libjpeg are not
// available to the Windows cross-build, so every encoding fails rather
// than producing a file that only looks right.
#include "platform/image_encoders.h"

namespace pavlex::platform {

bool EncodePng(const uint32_t*, int32_t, int32_t, ByteSink&) {
  return false;
}

bool EncodePngOpaque(const uint32_t*, int32_t, int32_t, ByteSink&) {
  return false;
}

bool EncodeJpeg(const uint32_t*, int32_t, int32_t, ByteSink&) {
  return false;
}

}  // namespace pavlex::platform
