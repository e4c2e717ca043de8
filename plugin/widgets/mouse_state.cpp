#include "plugin/widgets/mouse_state.h"

#include <cstring>

#include "plugin/widgets/option_list.h"

namespace pavlex {

bool IsMouseEventName(const char* type) {
  static const char* const kNames[] = {
      "leftdown",  "leftup",  "leftdoubleclick",  "middledown", "middleup",   "middledoubleclick",
      "rightdown", "rightup", "rightdoubleclick", "mousemove",  "mousewheel",
  };
  if (type == nullptr) return false;
  for (const char* name : kNames) {
    if (std::strcmp(type, name) == 0) return true;
  }
  return false;
}

MouseState DecodeMouseState(const void* options) {
  MouseState state;
  state.clientX = ReadIntOption(options, "client_x", 0);
  state.clientY = ReadIntOption(options, "client_y", 0);
  state.screenX = ReadIntOption(options, "screen_x", 0);
  state.screenY = ReadIntOption(options, "screen_y", 0);
  state.downX = ReadIntOption(options, "down_x", 0);
  state.downY = ReadIntOption(options, "down_y", 0);
  state.lastX = ReadIntOption(options, "last_x", 0);
  state.lastY = ReadIntOption(options, "last_y", 0);
  state.wheelDelta = ReadIntOption(options, "wheel_delta", 0);
  state.pressure = ReadFloatOption(options, "pressure", 0.0f);
  const int32_t buttons = ReadIntOption(options, "button_state", 0);
  state.leftButton = (buttons & kMouseLeftButton) != 0;
  state.middleButton = (buttons & kMouseMiddleButton) != 0;
  state.rightButton = (buttons & kMouseRightButton) != 0;
  state.shift = (buttons & kMouseShiftKey) != 0;
  state.ctrl = (buttons & kMouseCtrlKey) != 0;
  state.extra = (buttons & kMouseExtraBit) != 0;
  return state;
}

}  // namespace pavlex
