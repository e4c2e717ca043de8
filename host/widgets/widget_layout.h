// The host's layout: the size at which a widget just fits its content
// ("justsize"). It is deliberately simple and fixed, so tests can predict
// it and the plug-in's fit-to-content has something real to follow.
//
// Metrics, in pixels:
//   one character of text (one UTF-16 unit) is 8 wide; every control is 24 high;
//   label      8 per character;
//   button     8 per character + 16, at least 24;
//   check box  16 for the box, + 4 + 8 per character when it has text;
//   spin box   8 per "visiblecolumn" + 16 for the arrows;
//   edit       8 per "visiblecolumn" + 8;
//   a spacing of 1.0 ("inspace", "outspace") is 8 pixels, rounded.
// Containers (windows, dialogs, frames, group boxes) place their visible
// children on a grid: along "alignment" ("vert" unless set; windows and
// dialogs are always "vert"), wrapping after "matrixcolumn" children when
// it is above 0 ("horz": rows of that many; "vert": columns of that many).
// Each grid column is as wide as its widest child, each row as high as its
// highest; with "multicolumn" every column is as wide as the widest. Children
// are "inspace" apart and the grid has an "outspace" margin on every side.
// A group box adds a 20-high title bar (8 per title character + 16, + 16
// for the fold button when "canminimize" is set) and a 2-pixel border; a
// folded group box is its title bar alone. Invisible children take no room.
// Every size stops at kMaxLayoutExtent pixels, whatever spacing, column
// count or text would make it larger.
#pragma once

#include <cstdint>
#include <vector>

#include "host/widgets/widget_tree.h"

namespace pavlex::host {

constexpr int64_t kMaxLayoutExtent = int64_t{1} << 24;

struct LayoutSize {
  int32_t width = 0;
  int32_t height = 0;
};

// The fitted size of a widget; 0 x 0 for an unknown id or a file dialog.
LayoutSize FittedSize(const WidgetTree& tree, int32_t id);

// Where a widget lies, in pixels from the top-left corner of its window's
// content.
struct PlacedWidget {
  int32_t id = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Every visible widget of a window or dialog (the window itself first, at
// 0, 0 with its fitted size), parents before their children; the children
// of a folded group box are left out. A child sits in its grid cell at its
// fitted size; "horzlayout" "fill" stretches it across the cell, otherwise
// the spare width goes before and after it in the ratio of
// "fillbeforerate" to "fillafterrate" (all after when both are 0). Empty for
// an unknown id or a widget that is not a window.
std::vector<PlacedWidget> PlaceWindow(const WidgetTree& tree, int32_t window);

}  // namespace pavlex::host
