// "justsize": the host's fixed layout, computed by hand for small trees.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <optional>

#include "host/driver/host_driver.h"
#include "host/session/host_session.h"
#include "host/widgets/widget_layout.h"
#include "host/widgets/widget_service.h"
#include "optionlist/option_list.h"
#include "tests/widgets/widget_client.h"

namespace pavlex::testing {
namespace {

std::array<int32_t, 4> JustSize(int32_t id) {
  std::array<int32_t, 4> size{0, 0, -1, -1};
  MQOptionPair list[] = {{"justsize", size.data()}, {nullptr, nullptr}};
  MQWidget_Value(id, MQWIDGET_GET_PROPERTY, list);
  return size;
}

class WidgetLayoutTest : public ::testing::Test {
 protected:
  static host::HostSessionOptions MemoryOnly() {
    host::HostSessionOptions options;
    options.persistSettings = false;
    return options;
  }

  // A window with no spacing, so only the widgets' own sizes count.
  int32_t TightWindow() {
    const int32_t window = AddWindow(u"Layout");
    SetDouble(window, "inspace", 0.0);
    SetDouble(window, "outspace", 0.0);
    return window;
  }

  host::HostSession session_{MemoryOnly()};
  host::HostDriver driver_{session_};
};

TEST_F(WidgetLayoutTest, HorizontalGridsWrapAfterMatrixColumnChildren) {
  const int32_t window = TightWindow();
  const int32_t frame = AddFrame(window, "horz", 2);
  SetDouble(frame, "inspace", 0.5);     // 4 pixels
  Add(frame, "button", u"Regularize");  // 96
  Add(frame, "button", u"V");           // 24
  Add(frame, "button", u"Numerical");   // 88
  // Columns 96 and 24 wide, two rows of 24, 4 apart.
  EXPECT_EQ(JustSize(frame)[0], 96 + 4 + 24);
  EXPECT_EQ(JustSize(frame)[1], 24 + 4 + 24);
  EXPECT_EQ(JustSize(window)[0], 124);

  SetBool(frame, "multicolumn", true);
  EXPECT_EQ(JustSize(frame)[0], 96 + 4 + 96);

  // A vertical grid fills columns instead.
  SetKeyword(frame, "alignment", "vert");
  SetBool(frame, "multicolumn", false);
  EXPECT_EQ(JustSize(frame)[0], 96 + 4 + 88);
  EXPECT_EQ(JustSize(frame)[1], 24 + 4 + 24);
}

TEST_F(WidgetLayoutTest, GroupsAddTitleBarAndBorderAndFoldToTheirTitleBar) {
  const int32_t window = TightWindow();
  const int32_t group = Add(window, "groupbox", u"Grab");
  SetDouble(group, "outspace", 0.0);
  SetDouble(group, "inspace", 0.0);
  SetBool(group, "canminimize", true);
  const int32_t row = AddFrame(group, "horz");
  for (const char16_t* text : {u"V", u"F", u"G", u"R", u"Sew"}) Add(row, "button", text);
  // Buttons 4 x 24 + 40 = 136 wide and, by the frame's default spacing, 4
  // apart; border 2 on each side, title bar 20 above and border 2 below.
  EXPECT_EQ(JustSize(group)[0], 136 + 4 * 4 + 2 * 2);
  EXPECT_EQ(JustSize(group)[1], 20 + 24 + 2);
  EXPECT_EQ(GetInt(window, "height"), 46) << "an unsized window has its fitted size";

  ASSERT_TRUE(driver_.minimize("Grab"));
  EXPECT_EQ(JustSize(group)[0], 32 + 16 + 16) << "title, padding and fold button";
  EXPECT_EQ(JustSize(group)[1], 20);
  ASSERT_TRUE(driver_.restore("Grab"));
  EXPECT_EQ(JustSize(group)[1], 46);
}

TEST_F(WidgetLayoutTest, HiddenChildrenTakeNoRoomAndSpacingSurroundsTheContent) {
  const int32_t window = AddWindow(u"Spaced");  // inspace and outspace 0.5: 4 pixels
  Add(window, "button", u"Output");             // 64 x 24
  const int32_t hidden = Add(window, "button", u"A much wider button");
  SetBool(hidden, "visible", false);
  Add(window, "label", u"ok");  // 16 x 24
  EXPECT_EQ(JustSize(window)[0], 4 + 64 + 4);
  EXPECT_EQ(JustSize(window)[1], 4 + 24 + 4 + 24 + 4);
}


// Spacings, column counts and texts a plug-in may set can be far larger
// than any screen; sizes stop at the layout's bound instead of wrapping
// round to negative numbers (found by widget_options_fuzzer).
TEST_F(WidgetLayoutTest, SizesStopAtTheLayoutBoundInsteadOfOverflowing) {
  const int32_t bound = static_cast<int32_t>(host::kMaxLayoutExtent);
  const int32_t empty = TightWindow();
  ASSERT_TRUE(SetDouble(empty, "outspace", 1e300));
  EXPECT_EQ(JustSize(empty)[0], bound);
  EXPECT_EQ(JustSize(empty)[1], bound);

  const int32_t window = TightWindow();
  const int32_t frame = AddFrame(window, "horz");
  ASSERT_TRUE(SetDouble(frame, "inspace", 1e12));
  Add(frame, "button", u"A");
  Add(frame, "button", u"B");
  EXPECT_EQ(JustSize(frame)[0], bound);
  EXPECT_EQ(JustSize(frame)[1], 24);

  const int32_t edit = Add(window, "edit");
  ASSERT_TRUE(SetInt(edit, "visiblecolumn", INT32_MAX));
  const int32_t spin = Add(window, "spinbox");
  ASSERT_TRUE(SetInt(spin, "visiblecolumn", INT32_MAX));
  EXPECT_EQ(JustSize(edit)[0], bound);
  EXPECT_EQ(JustSize(spin)[0], bound);

  const int32_t group = Add(window, "groupbox", u"G");
  ASSERT_TRUE(SetDouble(group, "outspace", 1e300));
  Add(group, "label", u"x");
  EXPECT_EQ(JustSize(group)[0], bound);
  EXPECT_EQ(JustSize(group)[1], bound);
  EXPECT_EQ(JustSize(window)[0], bound);
  EXPECT_EQ(JustSize(window)[1], bound);
  EXPECT_EQ(GetInt(window, "width"), bound) << "an unsized window has its fitted size";
}

// Where a mouse event says it happened on the screen. A named function in
// the host's calling convention, as every event procedure is.
struct ScreenPosition {
  std::optional<int32_t>* x;
  std::optional<int32_t>* y;
};
MQBOOL MQAPI RecordScreenPosition(MQDocument, void* options, void* pointer) {
  const pavlex::OptionListView list(options);
  *static_cast<ScreenPosition*>(pointer)->x = list.intValue("screen_x");
  *static_cast<ScreenPosition*>(pointer)->y = list.intValue("screen_y");
  return 1;
}

// A window at the far end of the 32-bit range: the pointer's screen
// position stops at that end too.
TEST_F(WidgetLayoutTest, MouseScreenPositionsStopAtTheEndOfTheirRange) {
  const int32_t window = TightWindow();
  const int32_t button = Add(window, "button", u"Far");
  std::optional<int32_t> screenX, screenY;
  ScreenPosition seen{&screenX, &screenY};
  ASSERT_TRUE(Register(button, "leftdown", RecordScreenPosition, &seen));
  ASSERT_TRUE(SetInt(window, "pos_x", INT32_MAX));
  ASSERT_TRUE(SetInt(window, "pos_y", INT32_MIN));
  session_.widgets().raiseMouse(button, "leftdown", 1, 1.0f);
  EXPECT_EQ(screenX, INT32_MAX);
  EXPECT_EQ(screenY, INT32_MIN + 12) << "half the button's height below the window's top";
}

}  // namespace
}  // namespace pavlex::testing
