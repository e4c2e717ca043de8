// The plug-in's own element in the host's settings document, and integer
// values kept under it:
//
//   <plug-in settings element of the host>      (message 505)
//     <Plugin-5A3C9E41-7D2B6F18>                 (product, id)
//       <PosX>-1</PosX> ...                      (one child per key, "%d")
//
// The plug-in never touches a file; the host loads and saves its document.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "hostapi/mq_types.h"
#include "plugin/shell/base_plugin.h"

namespace pavlex {

class MQSetting {
 public:
  MQSetting(MQXmlElement settingsElement, MQXmlElement pluginElement, std::string elementName);
  // Ends the access; nothing is flushed and nothing in the host is freed.
  virtual ~MQSetting() = default;
  MQSetting(const MQSetting&) = delete;
  MQSetting& operator=(const MQSetting&) = delete;

  // The value of `key`: `fallback` when there is no such child or its text
  // is empty, otherwise the text parsed as ParseIntSettingText does.
  void ReadIntSetting(const char* key, int32_t& value, int32_t fallback) const;
  // Replaces every child `key` by one new last child holding `value` as "%d".
  void WriteIntSetting(const char* key, int32_t value) const;

  MQXmlElement settingsElement() const { return settingsElement_; }
  MQXmlElement pluginElement() const { return pluginElement_; }
  const std::string& elementName() const { return elementName_; }

 private:
  MQXmlElement settingsElement_;  // the host's element for all plug-ins
  MQXmlElement pluginElement_;    // this plug-in's child of it; null if the host refused to add one
  std::string elementName_;       // "Plugin-%08X-%08X", UTF-8
};

// Finds (or adds) the plug-in's element. Null when the host offers no
// settings; the plug-in then uses its defaults and writes nothing.
std::unique_ptr<MQSetting> OpenSettings(const MQBasePlugin& plugin);

}  // namespace pavlex
