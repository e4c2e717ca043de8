#include "plugin/shell/plugin_settings.h"

#include <cstdio>

#include "hostapi/mq_codes.h"
#include "platform/text_conversion.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/shell/setting_int_text.h"

namespace pavlex {

namespace {

bool XmlRequest(MQXmlElement element, int32_t code, void* record) {
  if (element == nullptr || Host().MQXmlElem_Value == nullptr) return false;
  return Host().MQXmlElem_Value(element, code, record) != 0;
}

MQXmlElement FindChild(MQXmlElement parent, const char* name) {
  MQXmlFindChildRecord record = {name, nullptr};
  return XmlRequest(parent, MQXML_FIND_CHILD, &record) ? record.result : nullptr;
}

MQXmlElement AddChild(MQXmlElement parent, const char* name) {
  MQXmlAddChildRecord record = {name, nullptr};
  return XmlRequest(parent, MQXML_ADD_CHILD, &record) ? record.result : nullptr;
}

}  // namespace

MQSetting::MQSetting(MQXmlElement settingsElement, MQXmlElement pluginElement, std::string elementName)
    : settingsElement_(settingsElement),
      pluginElement_(pluginElement),
      elementName_(std::move(elementName)) {}

void MQSetting::ReadIntSetting(const char* key, int32_t& value, int32_t fallback) const {
  value = fallback;
  const MQXmlElement child = FindChild(pluginElement_, key);
  if (child == nullptr) return;
  MQXmlGetTextRecord record = {nullptr};
  XmlRequest(child, MQXML_GET_TEXT, &record);
  const std::u16string text =
      record.result != nullptr ? platform::Utf8ToUtf16(record.result) : std::u16string();
  if (!text.empty()) value = ParseIntSettingText(text);
}

void MQSetting::WriteIntSetting(const char* key, int32_t value) const {
  if (pluginElement_ == nullptr) return;
  // Every element of the key goes, so a hand-edited file with the key twice
  // ends up with one, like any other.
  for (MQXmlElement old = FindChild(pluginElement_, key); old != nullptr;
       old = FindChild(pluginElement_, key)) {
    int32_t removed = 0;
    MQXmlRemoveChildRecord record = {old, &removed};
    if (!XmlRequest(pluginElement_, MQXML_REMOVE_CHILD, &record) || removed == 0) break;
  }
  const MQXmlElement child = AddChild(pluginElement_, key);
  if (child == nullptr) return;
  const std::string text = platform::Utf16ToUtf8(FormatIntSettingText(value));
  MQXmlSetTextRecord record = {text.c_str()};
  XmlRequest(child, MQXML_SET_TEXT, &record);
}

std::unique_ptr<MQSetting> OpenSettings(const MQBasePlugin& plugin) {
  uint32_t product = 0, id = 0;
  plugin.GetPlugInID(&product, &id);
  if (Host().MQ_SendMessage == nullptr) return nullptr;

  // The host answers by putting its settings element into the value slot
  // of "pluginsettings" itself, which starts null.
  MQOptionPair options[] = {{"root", nullptr}, {"pluginsettings", nullptr}, {nullptr, nullptr}};
  MQSendMessageInfo info = {product, id, 0, options};
  Host().MQ_SendMessage(MQMESSAGE_GET_SETTINGS, &info);
  const MQXmlElement settingsElement = static_cast<MQXmlElement>(options[1].value);
  if (settingsElement == nullptr) return nullptr;

  char name[64];
  std::snprintf(name, sizeof name, "Plugin-%08X-%08X", static_cast<unsigned>(product),
                static_cast<unsigned>(id));
  // Element names cross as UTF-8; the formatted name is in the system code
  // page like every narrow text the plug-in makes.
  std::string utf8Name = platform::Utf16ToUtf8(platform::SystemToUtf16(name));
  MQXmlElement pluginElement = FindChild(settingsElement, utf8Name.c_str());
  if (pluginElement == nullptr) pluginElement = AddChild(settingsElement, utf8Name.c_str());
  return std::make_unique<MQSetting>(settingsElement, pluginElement, std::move(utf8Name));
}

}  // namespace pavlex
