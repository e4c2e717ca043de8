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

namespace {

void CheckModelView(const Words& words) {
  if (words.size() < 3) throw CommandError("usage: view 3d frame|all|persp|ortho|orbit|distance|target|mode ...");
  const std::string& what = words[2];
  if (what == "frame" || what == "all" || what == "persp" || what == "ortho") {
    NeedCount(words, 3, 3);
  } else if (what == "orbit") {
    NeedCount(words, 5, 5);
    ParseNumber(words[3], "yaw");
    ParseNumber(words[4], "pitch");
  } else if (what == "distance") {
    NeedCount(words, 4, 4);
    if (!(ParseNumber(words[3], "distance") > 0)) throw CommandError("the distance must be above 0");
  } else if (what == "target") {
    NeedCount(words, 6, 6);
    for (size_t i = 3; i < 6; ++i) ParseNumber(words[i], "coordinate");
  } else if (what == "mode") {
    NeedCount(words, 4, 4);
    if (words[3] != "vertex" && words[3] != "line" && words[3] != "face") {
      throw CommandError("cannot select by '" + words[3] + "' in the 3D view (vertex, line, face)");
    }
  } else {
    throw CommandError("cannot view 3d '" + what + "' (frame, all, persp, ortho, orbit, distance, target, mode)");
  }
}

void RunModelView(WindowCommands& window, const Words& words) {
  const std::string& what = words[2];
  if (what == "frame" || what == "all") {
    window.modelFrame(what == "all");
  } else if (what == "persp" || what == "ortho") {
    window.modelProjection(what == "ortho");
  } else if (what == "orbit") {
    window.modelOrbit(ParseNumber(words[3], "yaw"), ParseNumber(words[4], "pitch"));
  } else if (what == "distance") {
    window.modelDistance(ParseNumber(words[3], "distance"));
  } else if (what == "target") {
    window.modelTarget(ParseNumber(words[3], "x"), ParseNumber(words[4], "y"), ParseNumber(words[5], "z"));
  } else {
    window.modelMode(words[3]);
  }
}

}  // namespace

void CheckView(const Words& words) {
  const std::string& what = words[1];
  if (what == "3d") {
    CheckModelView(words);
  } else if (what == "frame" || what == "all") {
    NeedCount(words, 2, 2);
  } else if (what == "zoom") {
    NeedCount(words, 3, 3);
    if (ParseNumber(words[2], "zoom") <= 0) throw CommandError("the zoom must be above 0");
  } else {
    throw CommandError("cannot view '" + what + "' (frame, all, zoom Z, 3d ...)");
  }
}

void RunView(CommandInterpreter& in, const Words& words) {
  WindowCommands& window = Window(in, words[0]);
  if (words[1] == "3d") {
    RunModelView(window, words);
  } else if (words[1] == "zoom") {
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
  if (words[2] == "3d") {
    int x = 0, y = 0;
    std::string error;
    if (!Window(in, "print point").modelPointOf(ParseNumber(words[3], "x"), ParseNumber(words[4], "y"),
                                                ParseNumber(words[5], "z"), &x, &y, &error)) {
      throw CommandError(error);
    }
    in.out().printf("%d %d\n", x, y);
    return;
  }
  const double u = ParseNumber(words[2], "U"), v = ParseNumber(words[3], "V");
  int x = 0, y = 0;
  Window(in, "print point").pointOf(u, v, &x, &y);
  in.out().printf("%d %d\n", x, y);
}

}  // namespace pavlex::commands
