#include "platform/exception_frames.h"

namespace pavlex::platform {

// ELF modules share one unwinder that finds every loaded module's frames.
void KeepOwnExceptionFrames() {}

}  // namespace pavlex::platform
