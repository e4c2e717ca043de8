#include "plugin/widgets/widget_base.h"

#include "hostapi/mq_codes.h"
#include "plugin/widgets/widget_event_closure.h"
#include "plugin/widgets/widget_registry.h"
#include "plugin/widgets/widget_request.h"

namespace pavlex {

MQWidgetBase::~MQWidgetBase() {
  if (id_ != 0) WidgetRegistry::Instance().Remove(id_, this);
  if (owned_) DeleteHostWidget(id_);
  id_ = 0;
  owned_ = false;
  handlers_.clear();
}

void MQWidgetBase::AdoptCreatedWidget(int32_t id) {
  id_ = id;
  owned_ = id != 0;
  WidgetRegistry::Instance().Enter(id, this);
}

void MQWidgetBase::WrapHostWidget(int32_t id) {
  id_ = id;
  owned_ = false;
}

namespace {

bool SetProperty(int32_t id, const char* key, const void* value) {
  OptionListBuilder options;
  options.add(key, value);
  return WidgetRequest(id, MQWIDGET_SET_PROPERTY, options);
}

bool GetProperty(int32_t id, const char* key, void* value) {
  OptionListBuilder options;
  options.add(key, value);
  return WidgetRequest(id, MQWIDGET_GET_PROPERTY, options);
}

}  // namespace

// Booleans cross as one byte; any nonzero byte the host writes reads true.
bool MQWidgetBase::SetBool(const char* key, bool value) {
  const uint8_t byte = value ? 1 : 0;
  return SetProperty(id_, key, &byte);
}

bool MQWidgetBase::SetInt(const char* key, int32_t value) {
  return SetProperty(id_, key, &value);
}

bool MQWidgetBase::SetDouble(const char* key, double value) {
  return SetProperty(id_, key, &value);
}

bool MQWidgetBase::SetNarrowString(const char* key, const char* value) {
  return SetProperty(id_, key, value);
}

bool MQWidgetBase::SetWideString(const char* key, const std::u16string& value) {
  return SetProperty(id_, key, value.c_str());
}

bool MQWidgetBase::GetBool(const char* key, bool fallback) const {
  uint8_t byte = fallback ? 1 : 0;
  return GetProperty(id_, key, &byte) ? byte != 0 : fallback;
}

int32_t MQWidgetBase::GetInt(const char* key, int32_t fallback) const {
  int32_t value = fallback;
  return GetProperty(id_, key, &value) ? value : fallback;
}

double MQWidgetBase::GetDouble(const char* key, double fallback) const {
  double value = fallback;
  return GetProperty(id_, key, &value) ? value : fallback;
}

std::u16string MQWidgetBase::GetWideString(const char* key) const {
  const std::string lengthKey = std::string(key) + ".length";
  const int32_t length = GetInt(lengthKey.c_str(), 0);
  if (length <= 0) return {};
  // The host fills length + 1 units; the text ends at the first null
  // should it ever be shorter than announced.
  std::u16string buffer(static_cast<size_t>(length) + 1, u'\0');
  if (!GetProperty(id_, key, buffer.data())) return {};
  buffer.resize(buffer.find(u'\0'));
  return buffer;
}

}  // namespace pavlex
