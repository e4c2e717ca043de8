// Shows the wait cursor for the lifetime of one long operation.
#pragma once

#include "platform/cursor.h"

namespace pavlex::platform {

// Sets the wait cursor on construction and the arrow on destruction, so the
// arrow comes back on every way out of the scope, exceptions included.
class WaitCursor {
 public:
  WaitCursor() { SetCursor(LoadSystemCursor(kWaitCursorId)); }
  ~WaitCursor() { SetCursor(LoadSystemCursor(kArrowCursorId)); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace pavlex::platform
