// Calls into the host's widget service exactly as a plug-in makes them:
// MQWidget_Value with option lists built by hand. Used by the widget tests
// to build trees and register handlers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/api/host_exports.h"
#include "hostapi/mq_codes.h"

namespace pavlex::testing {

inline int32_t Create(const char* type) {
  int32_t id = -7;
  MQOptionPair list[] = {{"type", const_cast<char*>(type)}, {"id", &id}, {nullptr, nullptr}};
  MQWidget_Value(0, MQWIDGET_CREATE, list);
  return id;
}

inline MQBOOL AddChild(int32_t parent, int32_t child) {
  int32_t result = -1;
  MQOptionPair list[] = {{"child", &child}, {"result", &result}, {nullptr, nullptr}};
  return MQWidget_Value(parent, MQWIDGET_ADD_CHILD, list);
}

inline MQBOOL AttachWindow(int32_t parent, int32_t child) {
  int32_t result = -1;
  MQOptionPair list[] = {{"child", &child}, {"result", &result}, {nullptr, nullptr}};
  return MQWidget_Value(parent, MQWIDGET_ADD_CHILD_WINDOW, list);
}

inline int32_t MainWindow() {
  int32_t id = 0;
  MQOptionPair list[] = {{"system", const_cast<char*>("main_window")}, {"result", &id}, {nullptr, nullptr}};
  MQWidget_Value(0, MQWIDGET_GET_SYSTEM, list);
  return id;
}

inline MQBOOL SetRaw(int32_t id, const char* key, void* value) {
  MQOptionPair list[] = {{key, value}, {nullptr, nullptr}};
  return MQWidget_Value(id, MQWIDGET_SET_PROPERTY, list);
}
inline MQBOOL SetBool(int32_t id, const char* key, bool on) {
  uint8_t value = on ? 1 : 0;
  return SetRaw(id, key, &value);
}
inline MQBOOL SetInt(int32_t id, const char* key, int32_t value) {
  return SetRaw(id, key, &value);
}
inline MQBOOL SetDouble(int32_t id, const char* key, double value) {
  return SetRaw(id, key, &value);
}
inline MQBOOL SetText(int32_t id, const char* key, const char16_t* text) {
  return SetRaw(id, key, const_cast<char16_t*>(text));
}
inline MQBOOL SetKeyword(int32_t id, const char* key, const char* text) {
  return SetRaw(id, key, const_cast<char*>(text));
}

inline int32_t GetInt(int32_t id, const char* key, int32_t preset = -99) {
  MQOptionPair list[] = {{key, &preset}, {nullptr, nullptr}};
  MQWidget_Value(id, MQWIDGET_GET_PROPERTY, list);
  return preset;
}
inline double GetDouble(int32_t id, const char* key) {
  double value = -99;
  MQOptionPair list[] = {{key, &value}, {nullptr, nullptr}};
  MQWidget_Value(id, MQWIDGET_GET_PROPERTY, list);
  return value;
}
inline bool GetBool(int32_t id, const char* key) {
  uint8_t value = 7;
  MQOptionPair list[] = {{key, &value}, {nullptr, nullptr}};
  MQWidget_Value(id, MQWIDGET_GET_PROPERTY, list);
  return value == 1;
}
// Reads a wide text the way a plug-in does: its length first.
inline std::u16string GetText(int32_t id, const char* key = "text") {
  const int32_t length = GetInt(id, (std::string(key) + ".length").c_str(), -1);
  if (length <= 0) return std::u16string();
  std::vector<char16_t> buffer(static_cast<size_t>(length) + 1, u'#');
  MQOptionPair list[] = {{key, buffer.data()}, {nullptr, nullptr}};
  MQWidget_Value(id, MQWIDGET_GET_PROPERTY, list);
  return std::u16string(buffer.data());
}

inline MQBOOL Register(int32_t id, const char* event, MQWidgetEventProc proc, void* pointer,
                       bool prior = false) {
  uint8_t priorByte = prior ? 1 : 0;
  MQOptionPair list[] = {{"type", const_cast<char*>(event)},
                         {"proc", reinterpret_cast<void*>(proc)},
                         {"pointer", pointer},
                         {"function", nullptr},
                         {"prior", &priorByte},
                         {nullptr, nullptr}};
  return MQWidget_Value(id, MQWIDGET_ADD_EVENT, list);
}

// A child of `parent` of the given type, with a text when one is given.
inline int32_t Add(int32_t parent, const char* type, const char16_t* text = nullptr) {
  const int32_t id = Create(type);
  if (text != nullptr) SetText(id, "text", text);
  AddChild(parent, id);
  return id;
}

inline int32_t AddFrame(int32_t parent, const char* alignment, int32_t matrixColumn = 0) {
  const int32_t id = Add(parent, "frame");
  SetKeyword(id, "alignment", alignment);
  if (matrixColumn > 0) SetInt(id, "matrixcolumn", matrixColumn);
  return id;
}

// A window titled `title`, attached to the host's main window and shown.
inline int32_t AddWindow(const char16_t* title, const char* type = "window") {
  const int32_t id = Create(type);
  AttachWindow(MainWindow(), id);
  SetText(id, "title", title);
  SetBool(id, "visible", true);
  return id;
}

}  // namespace pavlex::testing
