#include "platform/cursor.h"

namespace pavlex::platform {

namespace {

// Without a display server the cursor is only recorded; a handle is the
// address of its slot here, so it stays valid for the whole process like a
// shared system cursor does.
struct SystemCursor {
  int32_t id;
};
constexpr SystemCursor kSystemCursors[] = {{kArrowCursorId}, {kWaitCursorId}};

// The host calls plug-ins on one thread only, so plain globals suffice.
int32_t g_currentId = 0;
uint64_t g_changes = 0;

}  // namespace

CursorHandle LoadSystemCursor(int32_t id) {
  for (const SystemCursor& cursor : kSystemCursors) {
    if (cursor.id == id) return &cursor;
  }
  return nullptr;
}

void SetCursor(CursorHandle cursor) {
  g_currentId = cursor != nullptr ? static_cast<const SystemCursor*>(cursor)->id : 0;
  ++g_changes;
}

int32_t CurrentCursorId() {
  return g_currentId;
}

uint64_t CursorChangeCount() {
  return g_changes;
}

}  // namespace pavlex::platform
