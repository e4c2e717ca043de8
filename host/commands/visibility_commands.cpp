// show, hide, lock, unlock: objects of the document, and `hide window`,
// which closes a window as its close box does.
#include <string>
#include <vector>

#include "host/commands/command_families.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"
#include "host/commands/document_lookup.h"

namespace pavlex::commands {
namespace {

bool IsHideWindow(const Words& words) {
  return words[0] == "hide" && words.size() == 3 && words[1] == "window";
}

}  // namespace

void CheckVisibility(const Words& words) {
  if (!IsHideWindow(words) && words[1] != "object") ThrowUsage(words[0]);
}

void RunVisibility(CommandInterpreter& in, const Words& words) {
  if (IsHideWindow(words)) {
    const host::CommandResult result = in.driver().hideWindow(words[2]);
    if (!result) throw CommandError(result.error);
    return;
  }
  const std::string& verb = words[0];
  host::HostDocument& doc = in.session().document();
  // Every name is looked up before anything changes.
  std::vector<int32_t> slots;
  for (size_t i = 2; i < words.size(); ++i) slots.push_back(ObjectSlot(doc, words[i]));
  for (int32_t slot : slots) {
    host::HostObject* object = doc.object(slot);
    if (verb == "show" || verb == "hide") {
      object->visible = verb == "show";
    } else {
      object->locked = verb == "lock";
    }
  }
  in.session().draw();
}

}  // namespace pavlex::commands
