// screenshot, view, texture, stretch, and the window-only forms of print: answered by the
// front end's window, refused without one.
#include <string>

#include "host/commands/command_families.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"
#include "host/commands/window_commands.h"

namespace pavlex::commands {
namespace {

WindowCommands& Window(CommandInterpreter& in, const std::string& command) {
  if (in.window() == nullptr) throw CommandError("'" + command + "' needs the window (--gui)");
  return *in.window();
}

}  // namespace

void RunScreenshot(CommandInterpreter& in, const Words& words) {
  std::string error;
  if (!Window(in, words[0]).screenshot(words[1], &error)) throw CommandError(error);
}

void CheckView(const Words& words) {
  const std::string& what = words[1];
  if (what == "frame" || what == "all") {
    NeedCount(words, 2, 2);
  } else if (what == "zoom") {
    NeedCount(words, 3, 3);
    if (ParseNumber(words[2], "zoom") <= 0) throw CommandError("the zoom must be above 0");
  } else {
    throw CommandError("cannot view '" + what + "' (frame, all, zoom Z)");
  }
}

void RunView(CommandInterpreter& in, const Words& words) {
  WindowCommands& window = Window(in, words[0]);
  if (words[1] == "zoom") {
    window.viewZoom(ParseNumber(words[2], "zoom"));
  } else {
    window.viewFrame(words[1] == "all");
  }
}

void CheckTexture(const Words& words) {
  const std::string& mode = words[1];
  if (mode != "checker" && mode != "image" && mode != "off") {
    throw CommandError("cannot show texture '" + mode + "' (checker, image, off)");
  }
}

void RunTexture(CommandInterpreter& in, const Words& words) {
  Window(in, words[0]).showTexture(words[1]);
}

void CheckStretch(const Words& words) {
  if (words[1] != "on" && words[1] != "off") throw CommandError("stretch is 'on' or 'off', not '" + words[1] + "'");
}

void RunStretch(CommandInterpreter& in, const Words& words) {
  Window(in, words[0]).showStretch(words[1] == "on");
}

void PrintGeometry(CommandInterpreter& in, const Words& words) {
  WindowRect rect;
  std::string error;
  if (!Window(in, "print geometry").geometry(words[2], &rect, &error)) throw CommandError(error);
  in.out().printf("%d %d %d %d\n", rect.x, rect.y, rect.width, rect.height);
}

void PrintPoint(CommandInterpreter& in, const Words& words) {
  const double u = ParseNumber(words[2], "U"), v = ParseNumber(words[3], "V");
  int x = 0, y = 0;
  Window(in, "print point").pointOf(u, v, &x, &y);
  in.out().printf("%d %d\n", x, y);
}

}  // namespace pavlex::commands
