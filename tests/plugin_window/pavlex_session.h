// The plug-in as production runs it: libpavlex.so loaded into a running
// host session through its entry points, driven by host events.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/driver/host_driver.h"
#include "host/session/host_session.h"
#include "host/document/host_object.h"
#include "host/widgets/widget_service.h"
#include "hostapi/mq_codes.h"

namespace pavlex::testing {

// The corners of one face: model vertices and their UVs.
struct FaceInput {
  std::vector<int32_t> vertices;
  std::vector<MQCoordinate> uvs;
};

class PavlexSessionTest : public ::testing::Test {
 protected:
  // Settings stay in memory unless a test starts its own session.
  void SetUp() override { Start(InMemory()); }
  void TearDown() override { session_.reset(); }

  static host::HostSessionOptions InMemory() {
    host::HostSessionOptions options;
    options.persistSettings = false;
    return options;
  }

  // Ends the running session (the plug-in gets its exit event and is
  // unloaded) and starts a new one with the plug-in loaded.
  void Start(host::HostSessionOptions options) {
    session_.reset();
    session_ = std::make_unique<host::HostSession>(std::move(options));
    std::string error;
    plugin_ = session_->loadPlugin(PAVLEX_PLUGIN_LIBRARY, &error);
    ASSERT_NE(plugin_, nullptr) << error;
  }

  host::HostSession& session() { return *session_; }
  // Presses, clicks, ticks and types as a user does. A driver is stateless,
  // so each call may take a fresh one over the running session.
  host::HostDriver driver() const { return host::HostDriver(*session_); }
  const host::LoadedPlugin& plugin() { return *plugin_; }
  MQDocument doc() { return session_->documentHandle(); }

  int32_t window() const { return driver().findWindow("Pavlex"); }
  host::Widget* widget(int32_t id) { return session_->widgets().tree().find(id); }

  // The widget of `kind` at `path` in the Pavlex window.
  int32_t find(const std::string& path, host::WidgetKind kind) {
    std::string error;
    const int32_t id = driver().findWidget("Pavlex::" + path, kind, &error);
    EXPECT_NE(id, 0) << error;
    return id;
  }
  int32_t button(const std::string& path) { return find(path, host::WidgetKind::kButton); }

  // A stored property of a widget, or null.
  template <class T>
  const T* property(int32_t id, const char* name) {
    const host::Widget* w = widget(id);
    if (w == nullptr) return nullptr;
    const host::PropertyValue* value = w->stored(name);
    return value != nullptr ? std::get_if<T>(value) : nullptr;
  }

  // The window's "width" and "height", and what the host says would fit.
  std::pair<int32_t, int32_t> Size() {
    const int32_t* width = property<int32_t>(window(), "width");
    const int32_t* height = property<int32_t>(window(), "height");
    return {width != nullptr ? *width : -1, height != nullptr ? *height : -1};
  }
  std::pair<int32_t, int32_t> JustSize() {
    int32_t fit[4] = {0, 0, 0, 0};
    MQOptionPair options[] = {{"justsize", fit}, {nullptr, nullptr}};
    session_->widgets().request(window(), MQWIDGET_GET_PROPERTY, options);
    return {fit[0], fit[1]};
  }

  bool visible() {
    const bool* shown = property<bool>(window(), "visible");
    return shown != nullptr && *shown;
  }

  // Adds an object to the session's document and makes it current.
  host::HostObject& AddObject(const std::vector<MQPoint>& points, const std::vector<FaceInput>& faces) {
    auto object = std::make_unique<host::HostObject>();
    for (const MQPoint& p : points) object->addVertex(p);
    for (const FaceInput& face : faces) {
      object->addFace(static_cast<int32_t>(face.vertices.size()), face.vertices.data(),
                      face.uvs.empty() ? nullptr : face.uvs.data());
    }
    host::HostObject* raw = object.get();
    const int32_t slot = session_->document().addObject(std::move(object));
    session_->document().setCurrentObject(slot);
    return *raw;
  }

  // Starts a new, empty document (the plug-in sees the old one end).
  void NewDocument() { session_->replaceDocument(nullptr); }

  std::unique_ptr<host::HostSession> session_;
  const host::LoadedPlugin* plugin_ = nullptr;
};

}  // namespace pavlex::testing
