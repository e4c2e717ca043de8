// Widget paths: the main window's names, unique names in dialogs, and how
// the session resolves a path for each command.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "host/driver/host_driver.h"
#include "host/session/host_session.h"
#include "tests/widgets/widget_client.h"

namespace pavlex::testing {
namespace {

using host::WidgetKind;

int32_t AddGroup(int32_t parent, const char16_t* title, const char* alignment = nullptr,
                 int32_t columns = 0) {
  const int32_t group = Add(parent, "groupbox", title);
  SetBool(group, "canminimize", true);
  if (alignment != nullptr) SetKeyword(group, "alignment", alignment);
  if (columns > 0) SetInt(group, "matrixcolumn", columns);
  return group;
}

void AddButtons(int32_t parent, std::initializer_list<const char16_t*> texts) {
  for (const char16_t* text : texts) Add(parent, "button", text);
}

// The Pavlex window's tree, built with the same requests in the same order
// as the plug-in builds it.
int32_t BuildMainWindow() {
  const int32_t window = AddWindow(u"Pavlex");
  const int32_t top = AddFrame(window, "horz", 2);
  AddButtons(AddGroup(top, u"UV -> Object", "horz", 3), {u"V", u"L", u"F"});
  AddButtons(AddGroup(top, u"Object -> UV", "horz", 3), {u"V", u"L", u"F"});
  AddButtons(AddFrame(AddGroup(window, u"Select"), "horz"), {u"floating", u"group", u"same vertex"});
  const int32_t grab = AddGroup(window, u"Grab");
  AddButtons(AddFrame(grab, "horz"), {u"V", u"F", u"G", u"R", u"Sew"});
  const int32_t gather = AddFrame(grab, "horz");
  Add(gather, "button", u"Gather");
  Add(gather, "doublespinbox");
  Add(gather, "checkbox", u"selected");
  const int32_t pair = AddFrame(window, "horz");
  const int32_t invert = AddGroup(pair, u"Invert", "horz", 2);
  AddButtons(invert, {u"H", u"V"});
  Add(invert, "label", u"center");
  Add(invert, "checkbox");
  const int32_t turn = AddGroup(pair, u"Trun", "horz", 4);
  AddButtons(turn, {u"U", u"D", u"L", u"R"});
  Add(turn, "label", u"edge");
  Add(turn, "checkbox");
  AddButtons(AddGroup(window, u"Snap", "horz", 4), {u"T", u"B", u"L", u"R"});
  const int32_t manipulate = AddGroup(window, u"Manipulate");
  const int32_t first = AddFrame(manipulate, "horz", 2);
  Add(first, "button", u"Regularize");
  const int32_t nested = AddFrame(first, "horz");
  Add(nested, "button", u"Symmetrize");
  Add(nested, "label", u"wide");
  Add(nested, "checkbox");
  AddButtons(AddFrame(manipulate, "horz"), {u"Numerical", u"Equal Alloc"});
  const int32_t memory = AddGroup(window, u"Memory", "horz", 5);
  for (const char16_t* row : {u"Store", u"Restore", u"Lock"}) {
    Add(memory, "label", row);
    AddButtons(memory, {u"1", u"2", u"3", u"4"});
  }
  AddButtons(AddGroup(window, u"File"), {u"Output"});
  return window;
}

class WidgetPathTest : public ::testing::Test {
 protected:
  static host::HostSessionOptions MemoryOnly() {
    host::HostSessionOptions options;
    options.persistSettings = false;
    return options;
  }

  // Paths of one window's widgets of the given kinds, in tree order.
  std::vector<std::string> PathsOf(const std::string& window, std::set<WidgetKind> kinds) {
    std::vector<std::string> out;
    for (const auto& entry : driver_.listPaths()) {
      if (entry.window == window && kinds.count(entry.kind) > 0) out.push_back(entry.path);
    }
    return out;
  }

  host::HostSession session_{MemoryOnly()};
  host::HostDriver driver_{session_};
};

TEST_F(WidgetPathTest, TheMainWindowsControlsHaveExactlyTheirPublishedPaths) {
  BuildMainWindow();
  const std::vector<std::string> expected = {"UV -> Object/V",
                                             "UV -> Object/L",
                                             "UV -> Object/F",
                                             "Object -> UV/V",
                                             "Object -> UV/L",
                                             "Object -> UV/F",
                                             "Select/floating",
                                             "Select/group",
                                             "Select/same vertex",
                                             "Grab/V",
                                             "Grab/F",
                                             "Grab/G",
                                             "Grab/R",
                                             "Grab/Sew",
                                             "Grab/Gather",
                                             "Grab/Gather",
                                             "Grab/selected",
                                             "Invert/H",
                                             "Invert/V",
                                             "Invert/center",
                                             "Trun/U",
                                             "Trun/D",
                                             "Trun/L",
                                             "Trun/R",
                                             "Trun/edge",
                                             "Snap/T",
                                             "Snap/B",
                                             "Snap/L",
                                             "Snap/R",
                                             "Manipulate/Regularize",
                                             "Manipulate/Symmetrize",
                                             "Manipulate/wide",
                                             "Manipulate/Numerical",
                                             "Manipulate/Equal Alloc",
                                             "Memory/Store/1",
                                             "Memory/Store/2",
                                             "Memory/Store/3",
                                             "Memory/Store/4",
                                             "Memory/Restore/1",
                                             "Memory/Restore/2",
                                             "Memory/Restore/3",
                                             "Memory/Restore/4",
                                             "Memory/Lock/1",
                                             "Memory/Lock/2",
                                             "Memory/Lock/3",
                                             "Memory/Lock/4",
                                             "File/Output"};
  EXPECT_EQ(PathsOf("Pavlex", {WidgetKind::kButton, WidgetKind::kCheckBox, WidgetKind::kDoubleSpinBox}),
            expected);
  EXPECT_EQ(PathsOf("Pavlex", {WidgetKind::kGroupBox}),
            (std::vector<std::string>{"UV -> Object", "Object -> UV", "Select", "Grab", "Invert", "Trun",
                                      "Snap", "Manipulate", "Memory", "File"}));
  EXPECT_EQ(PathsOf("Pavlex", {WidgetKind::kLabel}),
            (std::vector<std::string>{"Invert/center", "Trun/edge", "Manipulate/wide", "Memory/Store",
                                      "Memory/Restore", "Memory/Lock"}));
}

// Event procs take the host's calling convention, which lambdas cannot on
// i686 Windows.
MQBOOL MQAPI CountPress(MQDocument, void*, void* count) {
  ++*static_cast<int*>(count);
  return 0;
}

TEST_F(WidgetPathTest, EachCommandTakesTheKindItActsOn) {
  BuildMainWindow();
  const int32_t button = driver_.findWidget("Grab/Gather", WidgetKind::kButton);
  const int32_t spin = driver_.findWidget("Grab/Gather", WidgetKind::kDoubleSpinBox);
  ASSERT_NE(button, 0);
  ASSERT_NE(spin, 0);
  EXPECT_NE(button, spin);

  int presses = 0;
  Register(button, "execute", CountPress, &presses);
  EXPECT_TRUE(driver_.press("Grab/Gather"));
  EXPECT_TRUE(driver_.set("Grab/Gather", "0.25"));
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(GetDouble(spin, "position"), 0.25);
  EXPECT_TRUE(driver_.check("Invert/center", true)) << "the check box, not the label";
  EXPECT_TRUE(driver_.minimize("Memory"));

  const host::CommandResult wrong = driver_.press("Invert/center");
  EXPECT_FALSE(wrong);
  EXPECT_NE(wrong.error.find("no button named 'Invert/center'"), std::string::npos) << wrong.error;
  EXPECT_FALSE(driver_.press("Grab/Nothing"));
  EXPECT_FALSE(driver_.press("Memory/Store/1")) << "its group is folded";
  EXPECT_TRUE(driver_.press("Pavlex::Select/group")) << "a window's title may lead the path";
}

TEST_F(WidgetPathTest, DialogPathsAreUniquePerClassAndFollowTheirCaptions) {
  const int32_t dialog = AddWindow(u"Numbers", "dialog");
  const int32_t rows = AddFrame(dialog, "vert");
  for (const char16_t* caption : {u"U min", u"U max"}) {
    const int32_t panel = AddFrame(rows, "vert");
    const int32_t head = AddFrame(panel, "horz");
    Add(head, "label", caption);
    Add(head, "doublespinbox");
    AddButtons(AddFrame(panel, "horz"), {u"Init", u"0.5"});
  }
  const int32_t move = AddFrame(dialog, "horz");
  Add(move, "button", u"Move");
  Add(move, "doublespinbox");
  Add(move, "doublespinbox");
  const int32_t size = AddFrame(dialog, "horz");
  Add(size, "spinbox");
  Add(size, "spinbox");
  Add(AddFrame(dialog, "horz"), "edit");

  EXPECT_EQ(PathsOf("Numbers", {WidgetKind::kButton, WidgetKind::kDoubleSpinBox, WidgetKind::kSpinBox,
                                WidgetKind::kEdit}),
            (std::vector<std::string>{"U min", "U min/Init", "U min/0.5", "U max", "U max/Init", "U max/0.5",
                                      "Move", "Move", "Move#2", "spinbox", "spinbox#2", "edit"}));
  EXPECT_NE(driver_.findWidget("Move#2", WidgetKind::kDoubleSpinBox), 0);
}

}  // namespace
}  // namespace pavlex::testing
