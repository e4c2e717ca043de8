// The host's settings document and the element requests of MQXmlElem_Value.
//
//   <Settings>
//     <PluginSettings>            the element message 505 hands to plug-ins
//       <Plugin-5A3C9E41-7D2B6F18> each plug-in's own element, and below it
//         <PosX>100</PosX>         whatever the plug-in writes
//
// Plug-ins hold element handles: opaque tokens, never pointers into the
// document. A token stays valid while its element exists; removing an
// element invalidates its token and those of everything below it, and a
// token is never reused, so a stale handle is answered like an unknown one
// (0) instead of reaching freed or recycled memory.
//
// Each request answers 1 when it was carried out (a find that finds nothing
// and a text that is absent are answered, with null) and 0 for an unknown
// code or handle, a null record or name, a name that is not a plain XML
// name (letters, digits, '-', '.', '_' and non-ASCII, not starting with a
// digit, '-' or '.'), or a text that is not UTF-8 or holds control
// characters other than tab and line feed. Such texts could not be saved
// and read back unchanged.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "hostapi/mq_types.h"

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

namespace pavlex::host {

class SettingsService {
 public:
  // A fresh document: <Settings><PluginSettings/></Settings>.
  SettingsService();
  ~SettingsService();
  SettingsService(const SettingsService&) = delete;
  SettingsService& operator=(const SettingsService&) = delete;

  // Replaces the document with `xml`. False, with the reason (and line) in
  // `problem`, when it is not a settings document; the document is then
  // fresh. Either way every handle given out before is invalid.
  bool load(std::string_view xml, std::string* problem);
  // The document as indented UTF-8 XML text.
  std::string text() const;

  // True when requests changed the document since it was loaded or since
  // markSaved(), and its text is not what was loaded or saved then: a
  // plug-in that writes back the values it read changes nothing worth a
  // write of the user's file.
  bool changed() const { return changed_ && text() != savedText_; }
  void markSaved();

  // The plug-in settings element (message 505).
  MQXmlElement pluginSettings();

  // MQXmlElem_Value.
  MQBOOL request(MQXmlElement element, int32_t code, void* record);
  // How many requests arrived, answered or not: a plug-in that was given no
  // element must make none.
  int32_t requestCount() const { return requests_; }

 private:
  void reset();
  MQXmlElement handleOf(tinyxml2::XMLElement* element);
  tinyxml2::XMLElement* elementOf(MQXmlElement handle) const;
  void forget(tinyxml2::XMLElement* element);

  std::unique_ptr<tinyxml2::XMLDocument> document_;
  tinyxml2::XMLElement* pluginSettings_ = nullptr;
  std::unordered_map<uintptr_t, tinyxml2::XMLElement*> elements_;  // token -> element
  bool changed_ = false;
  std::string savedText_;
  int32_t requests_ = 0;  // the text at the last load or save; empty for a fresh document
};

}  // namespace pavlex::host
