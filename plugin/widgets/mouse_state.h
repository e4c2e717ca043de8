// The decoded record of one mouse event, as mouse handlers receive it.
#pragma once

#include <cstdint>

namespace pavlex {

// Bits of an event's "button_state".
constexpr int32_t kMouseLeftButton = 0x01;
constexpr int32_t kMouseRightButton = 0x02;
constexpr int32_t kMouseShiftKey = 0x04;
constexpr int32_t kMouseCtrlKey = 0x08;
constexpr int32_t kMouseMiddleButton = 0x10;
constexpr int32_t kMouseExtraBit = 0x20;

struct MouseState {
  int32_t clientX = 0, clientY = 0;  // pixels, relative to the widget
  int32_t screenX = 0, screenY = 0;  // pixels, relative to the screen
  int32_t downX = 0, downY = 0;      // client position where the button went down
  int32_t lastX = 0, lastY = 0;      // client position of the previous event
  int32_t wheelDelta = 0;            // signed wheel steps as the host counts them
  bool leftButton = false;
  bool middleButton = false;
  bool rightButton = false;
  bool shift = false;
  bool ctrl = false;
  bool extra = false;     // bit 0x20, passed on as the host sets it
  float pressure = 0;     // pen pressure; 0 for a mouse
  bool finished = false;  // set by a handler that ends the gesture
};

// True for the event names that carry a mouse record.
bool IsMouseEventName(const char* type);

// The record of a mouse event's option list. Missing keys read as 0, so an
// event without "button_state" has every button and key flag clear.
MouseState DecodeMouseState(const void* options);

}  // namespace pavlex
