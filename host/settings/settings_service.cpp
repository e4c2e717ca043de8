#include "host/settings/settings_service.h"

#include <tinyxml2.h>

#include <atomic>

#include "hostapi/mq_codes.h"

namespace pavlex::host {
namespace {

constexpr const char* kRootName = "Settings";
constexpr const char* kPluginSettingsName = "PluginSettings";

// Tokens are shared by every document of the process and never reused.
std::atomic<uintptr_t> g_nextToken{1};

bool IsAsciiLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Length of the UTF-8 sequence starting at text[i], 0 when ill-formed.
size_t Utf8SequenceLength(std::string_view text, size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  size_t length = 0;
  uint32_t min = 0;
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0)
    length = 2, min = 0x80;
  else if ((lead & 0xF0) == 0xE0)
    length = 3, min = 0x800;
  else if ((lead & 0xF8) == 0xF0)
    length = 4, min = 0x10000;
  else
    return 0;
  if (i + length > text.size()) return 0;
  uint32_t code = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    code = (code << 6) | (c & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8SequenceLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

bool IsPlainName(std::string_view name) {
  if (name.empty() || !IsUtf8(name)) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    const bool letter = IsAsciiLetter(c) || c == '_' || c >= 0x80;
    const bool other = (c >= '0' && c <= '9') || c == '-' || c == '.';
    if (!(letter || (i > 0 && other))) return false;
  }
  return true;
}

bool IsStorableText(std::string_view text) {
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) return false;
  }
  return IsUtf8(text);
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\n") == std::string_view::npos;
}

}  // namespace

SettingsService::SettingsService() {
  reset();
}

SettingsService::~SettingsService() = default;

void SettingsService::reset() {
  elements_.clear();
  document_ = std::make_unique<tinyxml2::XMLDocument>();
  document_->InsertEndChild(document_->NewDeclaration());
  tinyxml2::XMLElement* root = document_->NewElement(kRootName);
  document_->InsertEndChild(root);
  pluginSettings_ = root->InsertNewChildElement(kPluginSettingsName);
  savedText_.clear();
}

bool SettingsService::load(std::string_view xml, std::string* problem) {
  elements_.clear();
  auto parsed = std::make_unique<tinyxml2::XMLDocument>();
  std::string why;
  if (parsed->Parse(xml.data(), xml.size()) != tinyxml2::XML_SUCCESS) {
    why = std::string(parsed->ErrorName()) + " at line " + std::to_string(parsed->ErrorLineNum());
  } else if (parsed->RootElement() == nullptr ||
             std::string_view(parsed->RootElement()->Name()) != kRootName) {
    why = std::string("the top element is not <") + kRootName + ">";
  } else {
    // XML allows one element at the top and no text there. The parser lets
    // both pass, but text at the top would not print back as itself: each
    // save would add a blank line to the user's file.
    for (const tinyxml2::XMLNode* node = parsed->FirstChild(); node != nullptr; node = node->NextSibling()) {
      if (node->ToText() != nullptr) {
        why = std::string("text outside the <") + kRootName + "> element at line " +
              std::to_string(node->GetLineNum());
        break;
      }
      if (node->ToElement() != nullptr && node != parsed->RootElement()) {
        why = std::string("a second top element <") + node->Value() + "> at line " + std::to_string(node->GetLineNum());
        break;
      }
    }
  }
  changed_ = false;
  if (!why.empty()) {
    if (problem != nullptr) *problem = why;
    reset();
    return false;
  }
  document_ = std::move(parsed);
  tinyxml2::XMLElement* root = document_->RootElement();
  pluginSettings_ = root->FirstChildElement(kPluginSettingsName);
  if (pluginSettings_ == nullptr) pluginSettings_ = root->InsertNewChildElement(kPluginSettingsName);
  savedText_ = text();
  return true;
}

void SettingsService::markSaved() {
  changed_ = false;
  savedText_ = text();
}

std::string SettingsService::text() const {
  tinyxml2::XMLPrinter printer;
  document_->Print(&printer);
  return std::string(printer.CStr(), static_cast<size_t>(printer.CStrSize() - 1));
}

MQXmlElement SettingsService::pluginSettings() {
  return handleOf(pluginSettings_);
}

MQXmlElement SettingsService::handleOf(tinyxml2::XMLElement* element) {
  if (element == nullptr) return nullptr;
  auto token = reinterpret_cast<uintptr_t>(element->GetUserData());
  if (token == 0) {
    token = g_nextToken++;
    element->SetUserData(reinterpret_cast<void*>(token));
    elements_.emplace(token, element);
  }
  return reinterpret_cast<MQXmlElement>(token);
}

tinyxml2::XMLElement* SettingsService::elementOf(MQXmlElement handle) const {
  auto it = elements_.find(reinterpret_cast<uintptr_t>(handle));
  return it != elements_.end() ? it->second : nullptr;
}

void SettingsService::forget(tinyxml2::XMLElement* element) {
  elements_.erase(reinterpret_cast<uintptr_t>(element->GetUserData()));
  for (tinyxml2::XMLElement* child = element->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    forget(child);
  }
}

MQBOOL SettingsService::request(MQXmlElement handle, int32_t code, void* record) {
  ++requests_;
  tinyxml2::XMLElement* element = elementOf(handle);
  if (element == nullptr || record == nullptr) return 0;
  switch (code) {
    case MQXML_FIND_CHILD: {
      auto* find = static_cast<MQXmlFindChildRecord*>(record);
      if (find->name == nullptr) return 0;
      find->result = handleOf(element->FirstChildElement(find->name));
      return 1;
    }
    case MQXML_ADD_CHILD: {
      auto* add = static_cast<MQXmlAddChildRecord*>(record);
      add->result = nullptr;
      if (add->name == nullptr || !IsPlainName(add->name)) return 0;
      add->result = handleOf(element->InsertNewChildElement(add->name));
      changed_ = true;
      return 1;
    }
    case MQXML_REMOVE_CHILD: {
      auto* remove = static_cast<MQXmlRemoveChildRecord*>(record);
      tinyxml2::XMLElement* child = elementOf(remove->child);
      if (child == nullptr || child->Parent() != element) return 0;
      forget(child);
      element->DeleteChild(child);
      changed_ = true;
      if (remove->result != nullptr) *remove->result = 1;
      return 1;
    }
    case MQXML_GET_TEXT: {
      static_cast<MQXmlGetTextRecord*>(record)->result = element->GetText();
      return 1;
    }
    case MQXML_SET_TEXT: {
      const char* text = static_cast<MQXmlSetTextRecord*>(record)->text;
      const std::string_view value = text != nullptr ? text : "";
      if (!IsStorableText(value)) return 0;
      element->SetText(text != nullptr ? text : "");
      // A text of blanks alone would not survive a save and a load as plain
      // text; CDATA keeps it. Any other text must not stay CDATA, where a
      // "]]>" in it would end the section early.
      element->FirstChild()->ToText()->SetCData(!value.empty() && IsBlank(value));
      changed_ = true;
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace pavlex::host
