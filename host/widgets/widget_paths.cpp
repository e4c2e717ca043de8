#include "host/widgets/widget_paths.h"

#include <map>
#include <utility>

#include "host/widgets/widget_properties.h"
#include "platform/text_conversion.h"

namespace pavlex::host {
namespace {

constexpr int kMaxDepth = 64;

std::string OwnText(const Widget& widget) {
  switch (widget.kind) {
    case WidgetKind::kGroupBox:
    case WidgetKind::kButton:
    case WidgetKind::kCheckBox:
    case WidgetKind::kLabel:
      return platform::Utf16ToUtf8(TextProperty(widget, "text"));
    default:
      // An edit's text is what the user typed, not a name.
      return std::string();
  }
}

bool IsTextLabel(const Widget* widget) {
  return widget != nullptr && widget->kind == WidgetKind::kLabel && !OwnText(*widget).empty();
}

bool IsHorizontal(const Widget& container) {
  return !container.isWindow() && KeywordProperty(container, "alignment") == "horz";
}

std::string Join(const std::vector<std::string>& parts, const std::string& last) {
  std::string path;
  for (const std::string& part : parts) path += part + "/";
  return path + last;
}

class Namer {
 public:
  explicit Namer(const WidgetTree& tree) : tree_(tree) {}

  void nameChildren(const Widget& container, const std::vector<std::string>& context, int depth) {
    if (depth > kMaxDepth) return;
    const bool horizontal = IsHorizontal(container);
    const auto count = static_cast<int32_t>(container.children.size());
    const int32_t wrap = container.isWindow() ? 0 : IntProperty(container, "matrixcolumn");
    const int32_t rowLength = horizontal ? (wrap > 0 ? wrap : count) : 1;

    std::string caption;       // rule 2, vertical containers only
    std::string previousPath;  // rule 4: the named widget just before
    for (int32_t i = 0; i < count; ++i) {
      const Widget* child = tree_.find(container.children[i]);
      if (child == nullptr) continue;
      std::vector<std::string> base = context;
      if (!caption.empty()) base.push_back(caption);
      const Widget* rowLead = tree_.find(container.children[i - i % rowLength]);
      if (rowLead != child && IsTextLabel(rowLead)) base.push_back(OwnText(*rowLead));

      const std::string text = OwnText(*child);
      if (child->kind == WidgetKind::kFrame) {
        nameChildren(*child, base, depth + 1);
        previousPath.clear();
      } else if (child->kind == WidgetKind::kGroupBox) {
        const std::string title = text.empty() ? WidgetKindName(child->kind) : text;
        add(*child, Join(base, title));
        std::vector<std::string> inner = base;
        inner.push_back(title);
        nameChildren(*child, inner, depth + 1);
        previousPath.clear();
      } else if (!text.empty()) {
        previousPath = Join(base, text);
        add(*child, previousPath);
      } else {
        if (previousPath.empty()) previousPath = Join(base, WidgetKindName(child->kind));
        add(*child, previousPath);
      }

      if (!horizontal && child->kind == WidgetKind::kFrame && IsHorizontal(*child) &&
          !child->children.empty() && IsTextLabel(tree_.find(child->children.front()))) {
        caption = OwnText(*tree_.find(child->children.front()));
      }
    }
  }

  std::vector<NamedWidget> finish() {
    // Rule: unique per class; later duplicates get "#n" in tree order.
    std::map<std::pair<int, std::string>, int> seen;
    for (NamedWidget& named : named_) {
      const int n = ++seen[{ClassOf(named.kind), named.path}];
      if (n > 1) named.path += "#" + std::to_string(n);
    }
    return std::move(named_);
  }

 private:
  static int ClassOf(WidgetKind kind) {
    switch (kind) {
      case WidgetKind::kButton:
      case WidgetKind::kCheckBox:
        return 0;
      case WidgetKind::kSpinBox:
      case WidgetKind::kDoubleSpinBox:
      case WidgetKind::kEdit:
        return 1;
      case WidgetKind::kGroupBox:
        return 2;
      default:
        return 3;
    }
  }

  void add(const Widget& widget, std::string path) {
    named_.push_back({widget.id, std::move(path), widget.kind});
  }

  const WidgetTree& tree_;
  std::vector<NamedWidget> named_;
};

}  // namespace

std::vector<NamedWidget> NameWidgets(const WidgetTree& tree, int32_t window) {
  const Widget* root = tree.find(window);
  if (root == nullptr) return {};
  Namer namer(tree);
  namer.nameChildren(*root, {}, 0);
  return namer.finish();
}

}  // namespace pavlex::host
