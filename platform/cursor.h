// The system cursor the tools switch while they run. One implementation per
// platform sits beside this interface.
#pragma once

#include <cstdint>

namespace pavlex::platform {

// Resource ids of the shared system cursors.
constexpr int32_t kArrowCursorId = 0x7F00;
constexpr int32_t kWaitCursorId = 0x7F02;

// An opaque reference to a shared system cursor. Shared cursors belong to
// the system: they are never freed and stay valid for the whole process.
using CursorHandle = const void*;

// The shared system cursor with resource id `id`, or null when the system
// has no such cursor.
CursorHandle LoadSystemCursor(int32_t id);

// Makes `cursor` the current cursor; null hides the cursor.
void SetCursor(CursorHandle cursor);

// Resource id of the cursor last set through SetCursor, or 0 when none was
// set or the last one was null. Lets a headless run see what a user would.
int32_t CurrentCursorId();

// How many times SetCursor has been called in this process.
uint64_t CursorChangeCount();

}  // namespace pavlex::platform
