#include <windows.h>

#include "platform/cursor.h"

namespace pavlex::platform {

namespace {

// The handle alone does not say which cursor it is, and a headless run
// (or Wine without a display) must still be able to read what a user
// would see; so the id of each handle handed out is remembered.
struct KnownCursor {
  int32_t id;
  HCURSOR handle;
};
KnownCursor g_known[] = {{kArrowCursorId, nullptr}, {kWaitCursorId, nullptr}};

// The host calls plug-ins on one thread only, so plain globals suffice.
int32_t g_currentId = 0;
uint64_t g_changes = 0;

}  // namespace

CursorHandle LoadSystemCursor(int32_t id) {
  for (KnownCursor& cursor : g_known) {
    if (cursor.id != id) continue;
    if (cursor.handle == nullptr) {
      // LR_SHARED: the system owns the cursor, it is never destroyed.
      cursor.handle = static_cast<HCURSOR>(LoadImageW(nullptr, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0,
                                                      LR_SHARED));
    }
    return cursor.handle;
  }
  return nullptr;
}

void SetCursor(CursorHandle cursor) {
  HCURSOR handle = static_cast<HCURSOR>(const_cast<void*>(cursor));
  ::SetCursor(handle);
  g_currentId = 0;
  if (handle != nullptr) {
    for (const KnownCursor& known : g_known) {
      if (known.handle == handle) g_currentId = known.id;
    }
  }
  ++g_changes;
}

int32_t CurrentCursorId() {
  return g_currentId;
}

uint64_t CursorChangeCount() {
  return g_changes;
}

}  // namespace pavlex::platform
