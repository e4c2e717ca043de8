#include "host/commands/document_lookup.h"

#include <vector>

#include "host/commands/command_parser.h"

namespace pavlex::commands {
namespace {

bool IsWholeNumber(const std::string& word) {
  return !word.empty() && word.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

host::HostObject& CurrentObject(host::HostDocument& doc) {
  host::HostObject* object = doc.object(doc.currentObject());
  if (object == nullptr) throw CommandError("the document has no current object");
  return *object;
}

int32_t ObjectSlot(const host::HostDocument& doc, const std::string& word) {
  std::vector<std::string> names;
  for (int32_t slot = 0; slot < doc.objectSlotCount(); ++slot) {
    if (const host::HostObject* object = doc.object(slot)) {
      if (IsWholeNumber(word) ? slot == ParseIndex(word, "object index") : object->name() == word) return slot;
      names.push_back(std::to_string(slot) + " " + QuoteWord(object->name()));
    }
  }
  std::string known;
  for (const std::string& name : names) known += (known.empty() ? "" : ", ") + name;
  throw CommandError("no object " + QuoteWord(word) + " in the document (" + (known.empty() ? "none" : known) + ")");
}

int32_t MaterialSlot(const host::HostDocument& doc, const std::string& word) {
  std::string known;
  for (int32_t slot = 0; slot < doc.materialSlotCount(); ++slot) {
    if (const host::HostMaterial* material = doc.material(slot)) {
      if (IsWholeNumber(word) ? slot == ParseIndex(word, "material index") : material->name == word) return slot;
      known += (known.empty() ? "" : ", ") + std::to_string(slot) + " " + QuoteWord(material->name);
    }
  }
  throw CommandError("no material " + QuoteWord(word) + " in the document (" + (known.empty() ? "none" : known) +
                     ")");
}

}  // namespace pavlex::commands
