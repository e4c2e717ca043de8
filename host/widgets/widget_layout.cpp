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

LayoutSize FitChildren(const WidgetTree& tree, const Widget& container, int depth) {
  std::vector<LayoutSize> sizes;
  for (int32_t childId : container.children) {
    const Widget* child = tree.find(childId);
    if (child != nullptr && BoolProperty(*child, "visible")) sizes.push_back(Fit(tree, *child, depth + 1));
  }
  const int32_t margin = Spacing(container, "outspace");
  if (sizes.empty()) return {Saturate(2 * int64_t{margin}), Saturate(2 * int64_t{margin})};

  const bool horizontal = !container.isWindow() && KeywordProperty(container, "alignment") == "horz";
  const int32_t count = static_cast<int32_t>(sizes.size());
  const int32_t wrap = container.isWindow() ? 0 : IntProperty(container, "matrixcolumn");
  const int32_t lineLength = wrap > 0 ? std::min(wrap, count) : count;
  // Grid position of child i: horizontal grids fill rows, vertical ones columns.
  const int32_t lines = (count + lineLength - 1) / lineLength;
  const int32_t columns = horizontal ? lineLength : lines;
  const int32_t rows = horizontal ? lines : lineLength;
  std::vector<int32_t> columnWidth(columns, 0), rowHeight(rows, 0);
  for (int32_t i = 0; i < count; ++i) {
    const int32_t column = horizontal ? i % lineLength : i / lineLength;
    const int32_t row = horizontal ? i / lineLength : i % lineLength;
    columnWidth[column] = std::max(columnWidth[column], sizes[i].width);
    rowHeight[row] = std::max(rowHeight[row], sizes[i].height);
  }
  if (BoolProperty(container, "multicolumn")) {
    const int32_t widest = *std::max_element(columnWidth.begin(), columnWidth.end());
    std::fill(columnWidth.begin(), columnWidth.end(), widest);
  }
  const int32_t gap = Spacing(container, "inspace");
  int64_t width = int64_t{gap} * (columns - 1) + 2 * int64_t{margin};
  int64_t height = int64_t{gap} * (rows - 1) + 2 * int64_t{margin};
  for (int32_t w : columnWidth) width += w;
  for (int32_t h : rowHeight) height += h;
  return {Saturate(width), Saturate(height)};
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

}  // namespace

LayoutSize FittedSize(const WidgetTree& tree, int32_t id) {
  const Widget* widget = tree.find(id);
  return widget != nullptr ? Fit(tree, *widget, 0) : LayoutSize{};
}

}  // namespace pavlex::host
