// print: the current object, the document and the widgets, in the fixed
// formats of printers.h, to the front end's output.
#include <string>

#include "host/commands/command_families.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"
#include "host/commands/document_lookup.h"
#include "host/commands/printers.h"

namespace pavlex::commands {
namespace {

// The window `print tree` shows when no dialog runs and no title is given.
constexpr const char* kPluginWindow = "Pavlex";

}  // namespace

void CheckPrint(const Words& words) {
  const std::string& what = words[1];
  const bool known = what == "uv" || what == "selection" || what == "object" || what == "faces" ||
                     what == "document" || what == "widgets" || what == "tree" || what == "geometry" ||
                     what == "point";
  if (!known) {
    throw CommandError("cannot print '" + what +
                       "' (uv, selection, object, faces, document, widgets, tree, geometry, point)");
  }
  if (what == "geometry") {
    NeedCount(words, 3, 3);
  } else if (what == "point" && words.size() > 2 && words[2] == "3d") {
    NeedCount(words, 6, 6);
    for (size_t i = 3; i < 6; ++i) ParseNumber(words[i], "coordinate");
  } else if (what == "point") {
    NeedCount(words, 4, 4);
    ParseNumber(words[2], "U");
    ParseNumber(words[3], "V");
  } else {
    NeedCount(words, 2, what == "tree" ? 3 : 2);
  }
}

void RunPrint(CommandInterpreter& in, const Words& words) {
  const std::string& what = words[1];
  const TextSink& out = in.out();
  host::HostDocument& doc = in.session().document();
  if (what == "uv") {
    PrintUVs(out, CurrentObject(doc));
  } else if (what == "selection") {
    PrintSelection(out, CurrentObject(doc));
  } else if (what == "object") {
    PrintObject(out, CurrentObject(doc));
  } else if (what == "faces") {
    PrintFaces(out, CurrentObject(doc));
  } else if (what == "document") {
    PrintDocument(out, doc);
  } else if (what == "geometry") {
    PrintGeometry(in, words);
  } else if (what == "point") {
    PrintPoint(in, words);
  } else if (what == "widgets") {
    PrintWidgetPaths(out, in.driver().reachablePaths());
  } else {
    const std::string title = words.size() > 2 ? words[2] : (in.dialogOpen() ? in.dialogTitle() : kPluginWindow);
    const int32_t window = in.driver().findWindow(title);
    if (window == 0) throw CommandError("no window titled '" + title + "'");
    out.write(in.driver().dumpTree(window));
  }
}

}  // namespace pavlex::commands
