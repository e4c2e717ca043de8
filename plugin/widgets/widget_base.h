// The object side of one host widget: its id, whether this object created
// (and so must delete) it, and the event closures bound to it. Every
// property lives in the host and is read or written at the moment it is
// needed; nothing is cached here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pavlex {

class MQWidgetEventClosureBase;

class MQWidgetBase {
 public:
  MQWidgetBase() = default;
  // Unregisters the widget, deletes the host widget when owned, and
  // releases the handlers (a running event keeps its own reference).
  virtual ~MQWidgetBase();
  MQWidgetBase(const MQWidgetBase&) = delete;
  MQWidgetBase& operator=(const MQWidgetBase&) = delete;

  int32_t GetID() const { return id_; }  // 0 = no host widget
  bool owned() const { return owned_; }

  // Property writes and reads. Writes answer whether the host accepted them;
  // reads answer `fallback` when the host does not answer.
  bool SetBool(const char* key, bool value);
  bool SetInt(const char* key, int32_t value);
  bool SetDouble(const char* key, double value);
  bool SetNarrowString(const char* key, const char* value);
  bool SetWideString(const char* key, const std::u16string& value);
  bool GetBool(const char* key, bool fallback = false) const;
  int32_t GetInt(const char* key, int32_t fallback = 0) const;
  double GetDouble(const char* key, double fallback = 0.0) const;
  // Asks "<key>.length" first and, only for a non-empty text, the text
  // itself into a buffer of length + 1 units.
  std::u16string GetWideString(const char* key) const;

  void SetText(const std::u16string& text) { SetWideString("text", text); }
  std::u16string GetText() const { return GetWideString("text"); }

  // Closures bound by RegisterEvent, in registration order.
  const std::vector<std::shared_ptr<MQWidgetEventClosureBase>>& handlers() const { return handlers_; }
  void AddHandler(std::shared_ptr<MQWidgetEventClosureBase> closure) {
    handlers_.push_back(std::move(closure));
  }

  // Takes over a host widget this object created: owned, and registered
  // when the id is not 0.
  void AdoptCreatedWidget(int32_t id);
  // Refers to a host widget owned by someone else: never deleted, never
  // registered.
  void WrapHostWidget(int32_t id);

 private:
  int32_t id_ = 0;
  bool owned_ = false;
  std::vector<std::shared_ptr<MQWidgetEventClosureBase>> handlers_;
};

}  // namespace pavlex
