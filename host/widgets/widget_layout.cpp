#include "host/widgets/widget_layout.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/widgets/widget_properties.h"

namespace pavlex::host {
namespace {

constexpr int32_t kCharWidth = 8;
constexpr int32_t kControlHeight = 24;
constexpr int32_t kTitleBarHeight = 20;
constexpr int32_t kGroupBorder = 2;
// Deep enough for any real window; a cycle cannot occur (the tree refuses
// them), but a bound keeps the recursion safe regardless.
constexpr int kMaxDepth = 64;

int32_t TextWidth(const Widget& widget, const char* property) {
  return kCharWidth * static_cast<int32_t>(TextProperty(widget, property).size());
}

int32_t Spacing(const Widget& widget, const char* property) {
  return static_cast<int32_t>(std::lround(NumberProperty(widget, property) * kCharWidth));
}

LayoutSize Fit(const WidgetTree& tree, const Widget& widget, int depth);

// A container's grid: the cell of each visible child and the whole size.
struct Grid {
  std::vector<const Widget*> children;  // visible ones, in order
  std::vector<LayoutSize> sizes;        // their fitted sizes
  std::vector<int32_t> columnOf, rowOf;
  std::vector<int32_t> columnX, rowY;   // cell origins
  std::vector<int32_t> columnWidth, rowHeight;
  LayoutSize size;
};

Grid MakeGrid(const WidgetTree& tree, const Widget& container, int depth) {
  Grid grid;
  for (int32_t childId : container.children) {
    const Widget* child = tree.find(childId);
    if (child != nullptr && BoolProperty(*child, "visible")) {
      grid.children.push_back(child);
      grid.sizes.push_back(Fit(tree, *child, depth + 1));
    }
  }
  const int32_t margin = Spacing(container, "outspace");
  if (grid.sizes.empty()) {
    grid.size = {2 * margin, 2 * margin};
    return grid;
  }
  const std::vector<LayoutSize>& sizes = grid.sizes;

  const bool horizontal = !container.isWindow() && KeywordProperty(container, "alignment") == "horz";
  const int32_t count = static_cast<int32_t>(sizes.size());
  const int32_t wrap = container.isWindow() ? 0 : IntProperty(container, "matrixcolumn");
  const int32_t lineLength = wrap > 0 ? std::min(wrap, count) : count;
  // Grid position of child i: horizontal grids fill rows, vertical ones columns.
  const int32_t lines = (count + lineLength - 1) / lineLength;
  const int32_t columns = horizontal ? lineLength : lines;
  const int32_t rows = horizontal ? lines : lineLength;
  std::vector<int32_t>& columnWidth = grid.columnWidth;
  std::vector<int32_t>& rowHeight = grid.rowHeight;
  columnWidth.assign(columns, 0);
  rowHeight.assign(rows, 0);
  for (int32_t i = 0; i < count; ++i) {
    const int32_t column = horizontal ? i % lineLength : i / lineLength;
    const int32_t row = horizontal ? i / lineLength : i % lineLength;
    grid.columnOf.push_back(column);
    grid.rowOf.push_back(row);
    columnWidth[column] = std::max(columnWidth[column], sizes[i].width);
    rowHeight[row] = std::max(rowHeight[row], sizes[i].height);
  }
  if (BoolProperty(container, "multicolumn")) {
    const int32_t widest = *std::max_element(columnWidth.begin(), columnWidth.end());
    std::fill(columnWidth.begin(), columnWidth.end(), widest);
  }
  const int32_t gap = Spacing(container, "inspace");
  LayoutSize& size = grid.size;
  for (int32_t w : columnWidth) {
    grid.columnX.push_back(margin + size.width + gap * static_cast<int32_t>(grid.columnX.size()));
    size.width += w;
  }
  for (int32_t h : rowHeight) {
    grid.rowY.push_back(margin + size.height + gap * static_cast<int32_t>(grid.rowY.size()));
    size.height += h;
  }
  size.width += gap * (columns - 1) + 2 * margin;
  size.height += gap * (rows - 1) + 2 * margin;
  return grid;
}

LayoutSize FitChildren(const WidgetTree& tree, const Widget& container, int depth) {
  return MakeGrid(tree, container, depth).size;
}

LayoutSize Fit(const WidgetTree& tree, const Widget& widget, int depth) {
  if (depth > kMaxDepth) return {};
  switch (widget.kind) {
    case WidgetKind::kLabel:
      return {TextWidth(widget, "text"), kControlHeight};
    case WidgetKind::kButton:
      return {std::max(TextWidth(widget, "text") + 2 * kCharWidth, kControlHeight), kControlHeight};
    case WidgetKind::kCheckBox: {
      const int32_t text = TextWidth(widget, "text");
      return {2 * kCharWidth + (text > 0 ? 4 + text : 0), kControlHeight};
    }
    case WidgetKind::kSpinBox:
    case WidgetKind::kDoubleSpinBox:
      return {kCharWidth * IntProperty(widget, "visiblecolumn") + 2 * kCharWidth, kControlHeight};
    case WidgetKind::kEdit:
      return {kCharWidth * IntProperty(widget, "visiblecolumn") + kCharWidth, kControlHeight};
    case WidgetKind::kGroupBox: {
      const int32_t titleBar = TextWidth(widget, "text") + 2 * kCharWidth +
                               (BoolProperty(widget, "canminimize") ? 2 * kCharWidth : 0);
      if (widget.minimized) return {titleBar, kTitleBarHeight};
      const LayoutSize content = FitChildren(tree, widget, depth);
      return {std::max(titleBar, content.width + 2 * kGroupBorder),
              kTitleBarHeight + content.height + kGroupBorder};
    }
    case WidgetKind::kWindow:
    case WidgetKind::kDialog:
    case WidgetKind::kFrame:
      return FitChildren(tree, widget, depth);
    case WidgetKind::kSaveFileDialog:
      return {};
  }
  return {};
}

void Place(const WidgetTree& tree, const Widget& container, int32_t originX, int32_t originY, int depth,
           std::vector<PlacedWidget>* out) {
  if (depth > kMaxDepth) return;
  const Grid grid = MakeGrid(tree, container, depth);
  for (size_t i = 0; i < grid.children.size(); ++i) {
    const Widget& child = *grid.children[i];
    const int32_t cellWidth = grid.columnWidth[grid.columnOf[i]];
    PlacedWidget placed{child.id, originX + grid.columnX[grid.columnOf[i]], originY + grid.rowY[grid.rowOf[i]],
                        grid.sizes[i].width, grid.sizes[i].height};
    const int32_t spare = cellWidth - placed.width;
    if (KeywordProperty(child, "horzlayout") == "fill") {
      placed.width = cellWidth;
    } else if (spare > 0) {
      const double before = std::max(0.0, NumberProperty(child, "fillbeforerate"));
      const double after = std::max(0.0, NumberProperty(child, "fillafterrate"));
      if (before + after > 0) placed.x += static_cast<int32_t>(std::lround(spare * before / (before + after)));
    }
    out->push_back(placed);
    if (child.kind == WidgetKind::kGroupBox) {
      if (!child.minimized) Place(tree, child, placed.x + kGroupBorder, placed.y + kTitleBarHeight, depth + 1, out);
    } else if (child.kind == WidgetKind::kFrame) {
      Place(tree, child, placed.x, placed.y, depth + 1, out);
    }
  }
}

}  // namespace

std::vector<PlacedWidget> PlaceWindow(const WidgetTree& tree, int32_t window) {
  std::vector<PlacedWidget> out;
  const Widget* widget = tree.find(window);
  if (widget == nullptr || !widget->isWindow()) return out;
  const LayoutSize size = Fit(tree, *widget, 0);
  out.push_back({window, 0, 0, size.width, size.height});
  Place(tree, *widget, 0, 0, 0, &out);
  return out;
}

LayoutSize FittedSize(const WidgetTree& tree, int32_t id) {
  const Widget* widget = tree.find(id);
  return widget != nullptr ? Fit(tree, *widget, 0) : LayoutSize{};
}

}  // namespace pavlex::host
