// Keeps the platform's imaging library running for one layout output, so
// that drawing, encoding and the clipboard share one start-up. On Windows
// that is GDI+; elsewhere there is nothing to start.
#pragma once

#ifdef _WIN32
#include "platform/gdiplus_support.h"
#endif

namespace pavlex::platform {

#ifdef _WIN32
using ImagingSession = GdiplusSession;
#else
class ImagingSession {
 public:
  bool started() const { return true; }
};
#endif

}  // namespace pavlex::platform
