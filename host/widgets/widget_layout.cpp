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

// Sizes are summed in 64 bits and stop at kMaxLayoutExtent, so no spacing,
// column count or text a plug-in sets can overflow them.
int32_t Saturate(int64_t pixels) {
  return static_cast<int32_t>(std::clamp<int64_t>(pixels, 0, kMaxLayoutExtent));
}

int32_t TextWidth(const Widget& widget, const char* property) {
  return Saturate(int64_t{kCharWidth} * static_cast<int64_t>(TextProperty(widget, property).size()));
}

int32_t Spacing(const Widget& widget, const char* property) {
  const double pixels = NumberProperty(widget, property) * kCharWidth;
  if (!(pixels < static_cast<double>(kMaxLayoutExtent))) return static_cast<int32_t>(kMaxLayoutExtent);
  return Saturate(std::llround(std::max(pixels, 0.0)));
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
    grid.size = {Saturate(2 * int64_t{margin}), Saturate(2 * int64_t{margin})};
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
  // Sums in 64 bits, each result stopped at the layout bound: spacings and
  // sizes come from plug-ins and may be anything.
  int64_t width = 0, height = 0;
  for (int32_t w : columnWidth) {
    grid.columnX.push_back(Saturate(int64_t{margin} + width + int64_t{gap} * static_cast<int64_t>(grid.columnX.size())));
    width += w;
  }
  for (int32_t h : rowHeight) {
    grid.rowY.push_back(Saturate(int64_t{margin} + height + int64_t{gap} * static_cast<int64_t>(grid.rowY.size())));
    height += h;
  }
  width += int64_t{gap} * (columns - 1) + 2 * int64_t{margin};
  height += int64_t{gap} * (rows - 1) + 2 * int64_t{margin};
  grid.size = {Saturate(width), Saturate(height)};
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
      return {Saturate(std::max<int64_t>(int64_t{TextWidth(widget, "text")} + 2 * kCharWidth, kControlHeight)),
              kControlHeight};
    case WidgetKind::kCheckBox: {
      const int32_t text = TextWidth(widget, "text");
      return {Saturate(2 * kCharWidth + (text > 0 ? 4 + int64_t{text} : 0)), kControlHeight};
    }
    case WidgetKind::kSpinBox:
    case WidgetKind::kDoubleSpinBox:
      return {Saturate(int64_t{kCharWidth} * IntProperty(widget, "visiblecolumn") + 2 * kCharWidth), kControlHeight};
    case WidgetKind::kEdit:
      return {Saturate(int64_t{kCharWidth} * IntProperty(widget, "visiblecolumn") + kCharWidth), kControlHeight};
    case WidgetKind::kGroupBox: {
      const int32_t titleBar = Saturate(int64_t{TextWidth(widget, "text")} + 2 * kCharWidth +
                                        (BoolProperty(widget, "canminimize") ? 2 * kCharWidth : 0));
      if (widget.minimized) return {titleBar, kTitleBarHeight};
      const LayoutSize content = FitChildren(tree, widget, depth);
      return {Saturate(std::max<int64_t>(titleBar, int64_t{content.width} + 2 * kGroupBorder)),
              Saturate(int64_t{kTitleBarHeight} + content.height + kGroupBorder)};
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
