#include "plugin/widgets/mouse_state.h"

#include <cstring>

#include "optionlist/option_list.h"

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
  const OptionListView list(options);
  MouseState state;
  state.clientX = list.intValue("client_x").value_or(0);
  state.clientY = list.intValue("client_y").value_or(0);
  state.screenX = list.intValue("screen_x").value_or(0);
  state.screenY = list.intValue("screen_y").value_or(0);
  state.downX = list.intValue("down_x").value_or(0);
  state.downY = list.intValue("down_y").value_or(0);
  state.lastX = list.intValue("last_x").value_or(0);
  state.lastY = list.intValue("last_y").value_or(0);
  state.wheelDelta = list.intValue("wheel_delta").value_or(0);
  state.pressure = list.floatValue("pressure").value_or(0.0f);
  const int32_t buttons = list.intValue("button_state").value_or(0);
  state.leftButton = (buttons & kMouseLeftButton) != 0;
  state.middleButton = (buttons & kMouseMiddleButton) != 0;
  state.rightButton = (buttons & kMouseRightButton) != 0;
  state.shift = (buttons & kMouseShiftKey) != 0;
  state.ctrl = (buttons & kMouseCtrlKey) != 0;
  state.extra = (buttons & kMouseExtraBit) != 0;
  return state;
}

}  // namespace pavlex
