// The Pavlex window as the host holds it after initialization: every
// widget's kind, order, texts, every property the plug-in set (with its
// value type) and the events it listens to.
#include <cstdio>
#include <string>
#include <variant>

#include "tests/plugin_window/pavlex_session.h"

namespace pavlex::testing {
namespace {

// One widget a line, two spaces of indent per level:
//   kind {name=value, ...} [event, ...]
// Values show their type: true/false, 3 (int), 0.5 (double, always with a
// point), 'horz' (narrow string), "V" (wide string).
std::string Value(const host::PropertyValue& value) {
  struct Format {
    std::string operator()(bool v) const { return v ? "true" : "false"; }
    std::string operator()(int32_t v) const { return std::to_string(v); }
    std::string operator()(double v) const {
      char text[32];
      std::snprintf(text, sizeof text, "%g", v);
      std::string s = text;
      if (s.find_first_of(".e") == std::string::npos) s += ".0";
      return s;
    }
    std::string operator()(const std::string& v) const { return "'" + v + "'"; }
    std::string operator()(const std::u16string& v) const {
      return "\"" + std::string(v.begin(), v.end()) + "\"";
    }
    std::string operator()(const host::Int4& v) const {
      return "(" + std::to_string(v[0]) + "," + std::to_string(v[1]) + "," + std::to_string(v[2]) + "," +
             std::to_string(v[3]) + ")";
    }
  };
  return std::visit(Format{}, value);
}

void Render(const host::WidgetSnapshot& node, int depth, std::string& out) {
  out += std::string(static_cast<size_t>(depth) * 2, ' ') + host::WidgetKindName(node.kind);
  if (!node.properties.empty()) {
    out += " {";
    for (size_t i = 0; i < node.properties.size(); ++i) {
      out += (i > 0 ? ", " : "") + node.properties[i].first + "=" + Value(node.properties[i].second);
    }
    out += "}";
  }
  if (!node.events.empty()) {
    out += " [";
    for (size_t i = 0; i < node.events.size(); ++i) out += (i > 0 ? ", " : "") + node.events[i];
    out += "]";
  }
  out += "\n";
  for (const host::WidgetSnapshot& child : node.children) Render(child, depth + 1, out);
}

// Every group box: the title, then these, in this order.
#define GROUP "canminimize=true, outspace=0.0, inspace=0.0"

const char kExpectedContent[] =
    "frame {alignment='horz', matrixcolumn=2}\n"
    "  groupbox {text=\"UV -> Object\", " GROUP
    ", alignment='horz', matrixcolumn=3} [resize]\n"
    "    button {text=\"V\"} [execute]\n"
    "    button {text=\"L\"} [execute]\n"
    "    button {text=\"F\"} [execute]\n"
    "  groupbox {text=\"Object -> UV\", " GROUP
    ", alignment='horz', matrixcolumn=3} [resize]\n"
    "    button {text=\"V\"} [execute]\n"
    "    button {text=\"L\"} [execute]\n"
    "    button {text=\"F\"} [execute]\n"
    "groupbox {text=\"Select\", " GROUP
    "} [resize]\n"
    "  frame {alignment='horz'}\n"
    "    button {text=\"floating\"} [execute]\n"
    "    button {text=\"group\"} [execute]\n"
    "    button {text=\"same vertex\"} [execute]\n"
    "groupbox {text=\"Grab\", " GROUP
    "} [resize]\n"
    "  frame {alignment='horz'}\n"
    "    button {text=\"V\"} [execute]\n"
    "    button {text=\"F\"} [execute]\n"
    "    button {text=\"G\"} [execute]\n"
    "    button {text=\"R\"} [execute]\n"
    "    button {text=\"Sew\"} [execute]\n"
    "  frame {alignment='horz'}\n"
    "    button {text=\"Gather\"} [execute]\n"
    "    doublespinbox {visiblecolumn=6, decimaldigit=4, position=0.001, min=0.0, max=1.0, "
    "increment=0.0002}\n"
    "    checkbox {text=\"selected\"}\n"
    "frame {alignment='horz'}\n"
    "  groupbox {text=\"Invert\", " GROUP
    ", alignment='horz', matrixcolumn=2} [resize]\n"
    "    button {text=\"H\"} [execute]\n"
    "    button {text=\"V\"} [execute]\n"
    "    label {text=\"center\"}\n"
    "    checkbox {text=\"\"}\n"
    "  groupbox {text=\"Trun\", " GROUP
    ", alignment='horz', matrixcolumn=4} [resize]\n"
    "    button {text=\"U\"} [execute]\n"
    "    button {text=\"D\"} [execute]\n"
    "    button {text=\"L\"} [execute]\n"
    "    button {text=\"R\"} [execute]\n"
    "    label {text=\"edge\"}\n"
    "    checkbox {text=\"\"}\n"
    "groupbox {text=\"Snap\", " GROUP
    ", alignment='horz', matrixcolumn=4} [resize]\n"
    "  button {text=\"T\"} [execute]\n"
    "  button {text=\"B\"} [execute]\n"
    "  button {text=\"L\"} [execute]\n"
    "  button {text=\"R\"} [execute]\n"
    "groupbox {text=\"Manipulate\", " GROUP
    "}\n"
    "  frame {alignment='horz', matrixcolumn=2}\n"
    "    button {text=\"Regularize\"} [execute]\n"
    "    frame {alignment='horz'}\n"
    "      button {text=\"Symmetrize\"} [execute]\n"
    "      label {text=\"wide\"}\n"
    "      checkbox {text=\"\"}\n"
    "  frame {alignment='horz'}\n"
    "    button {text=\"Numerical\"} [execute]\n"
    "    button {text=\"Equal Alloc\"} [execute]\n"
    "groupbox {text=\"Memory\", " GROUP
    ", alignment='horz', matrixcolumn=5} [resize]\n"
    "  label {text=\"Store\"}\n"
    "  button {text=\"1\"} [execute]\n"
    "  button {text=\"2\"} [execute]\n"
    "  button {text=\"3\"} [execute]\n"
    "  button {text=\"4\"} [execute]\n"
    "  label {text=\"Restore\"}\n"
    "  button {text=\"1\"} [execute]\n"
    "  button {text=\"2\"} [execute]\n"
    "  button {text=\"3\"} [execute]\n"
    "  button {text=\"4\"} [execute]\n"
    "  label {text=\"Lock\"}\n"
    "  button {text=\"1\"} [leftdown]\n"
    "  button {text=\"2\"} [leftdown]\n"
    "  button {text=\"3\"} [leftdown]\n"
    "  button {text=\"4\"} [leftdown]\n"
    "groupbox {text=\"File\", " GROUP
    "} [resize]\n"
    "  button {text=\"Output\"} [execute]\n";

using PavlexWindowTreeTest = PavlexSessionTest;

TEST_F(PavlexWindowTreeTest, HoldsEveryGroupWidgetAndPropertyInOrder) {
  ASSERT_NE(window(), 0);
  const host::WidgetSnapshot tree = driver().snapshot(window());
  EXPECT_EQ(tree.kind, host::WidgetKind::kWindow);
  EXPECT_EQ(widget(window())->ownerWindow, session().mainWindow());

  // The window's own properties come first; then activation (hidden) and
  // fitting to the content add "visible", "width" and "height".
  EXPECT_EQ(Size(), JustSize());
  std::string own;
  for (const auto& [name, value] : tree.properties) {
    own += name + "=" + (name == "width" || name == "height" ? std::string("#") : Value(value)) + " ";
  }
  EXPECT_EQ(own,
            "title=\"Pavlex\" closebutton=false canresize=false inspace=0.0 outspace=0.0 visible=false "
            "width=# height=# ");
  EXPECT_EQ(tree.events, std::vector<std::string>{"hide"});

  std::string content;
  for (const host::WidgetSnapshot& child : tree.children) Render(child, 0, content);
  EXPECT_EQ(content, kExpectedContent);
}

}  // namespace
}  // namespace pavlex::testing
