// Widget paths: names made of the texts a user sees, so that a script, a
// test or a person can name a widget ("Grab/Gather", "Memory/Lock/3").
//
// Within one window or dialog a widget's path is built from
//   1. the titles of the group boxes around it, outermost first;
//   2. in a vertical container, the text of the label that begins the
//      latest earlier horizontal frame of that container (that label heads
//      the siblings after it, as a caption over the rows below);
//   3. the row label: in a horizontal container (rows of "matrixcolumn"
//      children, or one row), a label that begins a row heads the rest of
//      that row;
//   4. the widget's own text: the "text" of a group box, button, check box
//      or label. A widget without one (a spin box, an edit, a check box or
//      label without text) takes the whole path of the named widget just
//      before it in the same container, or, when there is none, its type
//      name ("spinbox").
// Frames are structure only and take no path. Paths are unique per class
// of widget in one window (buttons and check boxes; spin boxes and edits;
// group boxes; labels): when several widgets of one class come out the
// same, the second gets "#2" appended, the third "#3", in tree order. A
// button and the spin box after it ("Grab/Gather") share a path; the
// command that names it decides which one it means.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/widgets/widget_tree.h"

namespace pavlex::host {

struct NamedWidget {
  int32_t id = 0;
  std::string path;  // UTF-8
  WidgetKind kind = WidgetKind::kFrame;
};

// Every named widget in the tree of the window or dialog `window`, in tree
// order (depth first, children in order). Empty for an unknown id.
std::vector<NamedWidget> NameWidgets(const WidgetTree& tree, int32_t window);

}  // namespace pavlex::host
