#include "app/command_help.h"

#include <algorithm>

namespace pavlex::app {

const std::vector<CommandHelp>& CommandHelpTable() {
  static const std::vector<CommandHelp> table = {
      {"open", "open FILE", "read an OBJ file (and its MTL) as the document"},
      {"save", "save [FILE]", "write the document as OBJ + MTL (default: the file it came from)"},
      {"close", "close", "end the document (host event 201); an empty one follows"},
      {"object", "object INDEX|NAME", "make an object the current one"},
      {"material", "material INDEX|NAME", "make a material the current one"},
      {"show", "show object INDEX|NAME...", "show objects"},
      {"hide", "hide object INDEX|NAME... | hide window TITLE", "hide objects, or close a window"},
      {"lock", "lock object INDEX|NAME...", "lock objects"},
      {"unlock", "unlock object INDEX|NAME...", "unlock objects"},
      {"delete", "delete face F...", "delete faces of the current object (their slots stay, empty)"},
      {"compact", "compact", "remove deleted faces and unused vertices; later faces shift down"},
      {"select", "select uv all|none | uv rect U0 V0 U1 V1 | uv F:C...", "add UV corners to the selection"},
      {"select", "select vertex|face all|none|I... | line all|none|F:J... | none",
       "select model vertices, faces or lines; `select none` clears every kind"},
      {"deselect", "deselect uv|vertex|face|line ... | all", "the mirror of select"},
      {"activate", "activate", "switch the plug-in on (host event 100)"},
      {"deactivate", "deactivate", "switch the plug-in off"},
      {"press", "press PATH", "press a button (its \"execute\" event)"},
      {"click", "click PATH [ctrl|shift]", "click a button or check box with the mouse"},
      {"check", "check PATH on|off", "tick or clear a check box"},
      {"set", "set PATH VALUE", "type a value into a spin box or an edit"},
      {"minimize", "minimize PATH", "fold a group"},
      {"restore", "restore PATH", "unfold a group"},
      {"draw", "draw", "redraw the views (host event 110)"},
      {"answer", "answer ok|cancel|yes|no|FILE", "answer the message box or save-file dialog that is open"},
      {"print", "print uv|selection|object|faces|document|widgets|tree [TITLE]",
       "print the current object's UVs, selection, counts, faces; the objects and materials; widget paths"},
      {"layout", "layout FILE [WxH] [wireframe,material,object,shader,current-object,current-material,memory=1..4]",
       "draw the UV layout into an image through the Output dialog (BMP, JPEG, PNG or TGA by extension)"},
      {"help", "help [COMMAND]", "list the commands"},
      {"quit", "quit", "stop reading commands (-o still saves)"},
  };
  return table;
}

std::vector<std::string> CommandVerbs() {
  std::vector<std::string> verbs;
  for (const CommandHelp& entry : CommandHelpTable()) {
    if (std::find(verbs.begin(), verbs.end(), entry.verb) == verbs.end()) verbs.push_back(entry.verb);
  }
  verbs.push_back("exit");  // a synonym people type
  return verbs;
}

bool PrintCommandHelp(std::FILE* out, const std::string& topic) {
  bool any = false;
  for (const CommandHelp& entry : CommandHelpTable()) {
    if (!topic.empty() && topic != entry.verb) continue;
    std::fprintf(out, "  %-52s %s\n", entry.synopsis, entry.summary);
    any = true;
  }
  if (topic.empty()) {
    std::fprintf(out,
                 "PATH is a widget path as `print widgets` lists it, e.g. \"Grab/Gather\" or \"Memory/Lock/3\".\n"
                 "Quote words with blanks: press \"UV -> Object/V\". ';' or a new line ends a command.\n"
                 "While a dialog a `press` opened is running, commands act inside it until one of\n"
                 "its buttons closes it.\n");
  }
  return any;
}

}  // namespace pavlex::app
