#include "host/commands/command_table.h"

#include <algorithm>
#include <cstring>

#include "host/commands/command_families.h"
#include "host/commands/command_parser.h"

namespace pavlex::commands {
namespace {

constexpr int kAny = kAnyCount;

// The lines of a '\n'-separated text.
std::vector<std::string> Lines(const char* text) {
  std::vector<std::string> out;
  const std::string all(text);
  for (size_t at = 0; at <= all.size();) {
    const size_t end = std::min(all.find('\n', at), all.size());
    out.push_back(all.substr(at, end - at));
    at = end + 1;
  }
  return out;
}

// Calls `each(usage, help)` for every form of every command (`topic` empty)
// or of the command named `topic`.
template <typename Each>
bool ForEachForm(const std::string& topic, Each each) {
  bool any = false;
  for (const CommandRow& row : CommandTable()) {
    if (!topic.empty() && topic != row.name) continue;
    const std::vector<std::string> usage = Lines(row.usage), help = Lines(row.help);
    for (size_t i = 0; i < usage.size(); ++i) each(usage[i], i < help.size() ? help[i] : std::string());
    any = true;
  }
  return any;
}

}  // namespace

const std::vector<CommandRow>& CommandTable() {
  // name, arguments least..most, usage, help, check, run[, usable inside a dialog]
  static const std::vector<CommandRow> table = {
      {"open", 1, 1, "open FILE", "read an OBJ file (and its MTL) as the document", nullptr, RunOpen},
      {"save", 0, 1, "save [FILE]", "write the document as OBJ + MTL (default: the file it came from)", nullptr,
       RunSave},
      {"close", 0, 0, "close", "end the document (host event 201); an empty one follows", nullptr, RunClose},
      {"object", 1, 1, "object INDEX|NAME", "make an object the current one", nullptr, RunObject},
      {"material", 1, 1, "material INDEX|NAME", "make a material the current one", nullptr, RunMaterial},
      {"show", 2, kAny, "show object INDEX|NAME...", "show objects", CheckVisibility, RunVisibility},
      {"hide", 2, kAny, "hide object INDEX|NAME... | hide window TITLE", "hide objects, or close a window",
       CheckVisibility, RunVisibility, true},
      {"lock", 2, kAny, "lock object INDEX|NAME...", "lock objects", CheckVisibility, RunVisibility},
      {"unlock", 2, kAny, "unlock object INDEX|NAME...", "unlock objects", CheckVisibility, RunVisibility},
      {"delete", 2, kAny, "delete face F...", "delete faces of the current object (their slots stay, empty)",
       CheckDelete, RunDelete},
      {"compact", 0, 0, "compact", "remove deleted faces and unused vertices; later faces shift down", nullptr,
       RunCompact},
      {"select", 1, kAny,
       "select uv all|none | uv rect U0 V0 U1 V1 | uv F:C...\n"
       "select vertex|face all|none|I...|FIRST-LAST... | line all|none|F:J... | none",
       "add UV corners to the selection\n"
       "select model vertices, faces or lines; `select none` clears every kind",
       CheckSelection, RunSelection},
      {"deselect", 1, kAny, "deselect uv|vertex|face|line ... | all", "the mirror of select", CheckSelection,
       RunSelection},
      {"activate", 0, 0, "activate", "switch the plug-in on (host event 100)", nullptr, RunActivate},
      {"deactivate", 0, 0, "deactivate", "switch the plug-in off", nullptr, RunDeactivate},
      {"press", 1, 1, "press PATH", "press a button (its \"execute\" event)", nullptr, RunPress, true},
      {"click", 1, 2, "click PATH [ctrl|shift]", "click a button or check box with the mouse", CheckClick, RunClick,
       true},
      {"check", 2, 2, "check PATH on|off", "tick or clear a check box", CheckCheck, RunCheck, true},
      {"set", 2, 2, "set PATH VALUE", "type a value into a spin box or an edit", nullptr, RunSet, true},
      {"minimize", 1, 1, "minimize PATH", "fold a group", nullptr, RunMinimize, true},
      {"restore", 1, 1, "restore PATH", "unfold a group", nullptr, RunRestore, true},
      {"draw", 0, 0, "draw", "redraw the views (host event 110)", nullptr, RunDraw},
      {"answer", 1, 1, "answer ok|cancel|yes|no|FILE", "answer the message box or save-file dialog that is open",
       nullptr, RunAnswer, true},
      // Counted by its checker: what to print decides how many words follow.
      {"print", 1, kAny,
       "print uv|selection|object|faces|document|widgets|tree [TITLE]\n"
       "print geometry PATH | point U V | point 3d X Y Z",
       "print the current object's UVs, selection, counts, faces; the objects and materials; widget paths\n"
       "the window's pixels: a widget's or pane's `x y w h`, where the UV view shows (U, V) or the 3D view the "
       "model point (X, Y, Z) (--gui only)",
       CheckPrint, RunPrint, true},
      {"layout", 1, 3,
       "layout FILE [WxH] [wireframe,material,object,shader,current-object,current-material,memory=1..4]",
       "draw the UV layout into an image through the Output dialog (BMP, JPEG, PNG or TGA by extension)",
       CheckLayout, RunLayout},
      {"undo", 0, 0, "undo", "take back the last command that changed the document", nullptr, RunUndo},
      {"redo", 0, 0, "redo", "do again the last command undone", nullptr, RunRedo},
      {"screenshot", 1, 1, "screenshot FILE", "write the whole window as shown now to a PNG file (--gui only)",
       nullptr, RunScreenshot, true},
      {"view", 1, 6,
       "view frame|all | view zoom Z\n"
       "view 3d frame|all|persp|ortho | 3d orbit YAW PITCH | 3d distance D | 3d target X Y Z | 3d mode vertex|line|face",
       "frame the selected UVs or everything; zoom the UV view (1: the unit square fills its height) (--gui only)\n"
       "the 3D view: frame the model selection or everything, pinhole (persp) or orthographic, the camera (degrees, "
       "model units), what the mouse selects (--gui only)",
       CheckView, RunView, true},
      {"texture", 1, 1, "texture checker|image|off",
       "show the checker or the current material's image (map_Kd) under the UVs, or nothing (--gui only)",
       CheckTexture, RunTexture, true},
      {"stretch", 1, 1, "stretch on|off",
       "colour faces by UV area against the object's mean and by angle error (--gui only)", CheckStretch,
       RunStretch, true},
      {"help", 0, 1, "help [COMMAND]", "list the commands", nullptr, RunHelp, true},
      {"quit", 0, 0, "quit", "stop reading commands (-o still saves)", nullptr, RunQuit, true},
  };
  return table;
}

const CommandRow* FindCommand(const std::string& name) {
  // A synonym people type.
  const std::string& key = name == "exit" ? std::string("quit") : name;
  for (const CommandRow& row : CommandTable()) {
    if (key == row.name) return &row;
  }
  return nullptr;
}

std::vector<std::string> CommandNames() {
  std::vector<std::string> names;
  for (const CommandRow& row : CommandTable()) names.push_back(row.name);
  names.push_back("exit");
  return names;
}

void ThrowUsage(const std::string& name) {
  const CommandRow* row = FindCommand(name);
  if (row == nullptr) throw CommandError("usage: " + name);
  throw CommandError("usage: " + Lines(row->usage).front());
}

void NeedCount(const Words& words, int least, int most) {
  const auto count = static_cast<int>(words.size());
  if (count < least || (most != kAnyCount && count > most)) ThrowUsage(words[0]);
}

bool PrintCommandHelp(const TextSink& out, const std::string& topic) {
  const bool any = ForEachForm(topic, [&](const std::string& usage, const std::string& help) {
    out.printf("  %-52s %s\n", usage.c_str(), help.c_str());
  });
  if (topic.empty()) {
    out.write(
        "PATH is a widget path as `print widgets` lists it, e.g. \"Grab/Gather\" or \"Memory/Lock/3\".\n"
        "Quote words with blanks: press \"UV -> Object/V\". ';' or a new line ends a command.\n"
        "While a dialog a `press` opened is running, commands act inside it until one of\n"
        "its buttons closes it.\n");
  }
  return any;
}

std::string CommandHelpText() {
  std::string text;
  ForEachForm(std::string(), [&](const std::string& usage, const std::string& help) {
    text += "  " + usage + "\n      " + help + "\n";
  });
  return text;
}

}  // namespace pavlex::commands
