// MQWidget_Value as plug-ins call it: typed properties, the tree's rules,
// and safe answers to everything the host does not know.
#include <gtest/gtest.h>

#include <cmath>

#include "host/driver/host_driver.h"
#include "host/session/host_session.h"
#include "tests/widgets/widget_client.h"

namespace pavlex::testing {
namespace {

host::HostSessionOptions MemoryOnly() {
  host::HostSessionOptions options;
  options.persistSettings = false;
  return options;
}

TEST(WidgetServiceWithoutHost, EveryServiceAnswersZeroAndWritesNothing) {
  ASSERT_EQ(host::HostSession::Current(), nullptr);
  int32_t id = 42;
  MQOptionPair list[] = {{"type", const_cast<char*>("button")}, {"id", &id}, {nullptr, nullptr}};
  EXPECT_EQ(MQWidget_Value(0, MQWIDGET_CREATE, list), 0);
  EXPECT_EQ(id, 42);
  MQXmlFindChildRecord find{"x", nullptr};
  EXPECT_EQ(MQXmlElem_Value(reinterpret_cast<MQXmlElement>(1), MQXML_FIND_CHILD, &find), 0);
  MQOptionPair none[] = {{nullptr, nullptr}};
  MQSendMessageInfo info{1, 2, 0, none};
  EXPECT_EQ(MQ_SendMessage(MQMESSAGE_GET_SETTINGS, &info), 0);
  MQ_RefreshView(nullptr);
}

class WidgetRequestTest : public ::testing::Test {
 protected:
  host::HostSession session_{MemoryOnly()};
  host::HostDriver driver_{session_};
};

TEST_F(WidgetRequestTest, UnknownCodesIdsTypesAndNullListsAreRefused) {
  const int32_t button = Create("button");
  ASSERT_GT(button, 0);
  EXPECT_EQ(MQWidget_Value(button, 0x999, nullptr), 0);
  for (int32_t code : {MQWIDGET_GET_SYSTEM, MQWIDGET_CREATE, MQWIDGET_ADD_CHILD, MQWIDGET_ADD_CHILD_WINDOW,
                       MQWIDGET_GET_PROPERTY, MQWIDGET_SET_PROPERTY, MQWIDGET_CALL_METHOD, MQWIDGET_ADD_EVENT,
                       MQWIDGET_EXECUTE}) {
    EXPECT_EQ(MQWidget_Value(button, code, nullptr), 0) << code;
  }
  EXPECT_EQ(Create("slider"), 0);  // a failed create writes 0
  EXPECT_EQ(GetInt(987654, "width"), -99);
  EXPECT_EQ(SetBool(987654, "visible", true), 0);
  EXPECT_EQ(MQWidget_Value(987654, MQWIDGET_DELETE, nullptr), 0);

  int32_t system = -5;
  MQOptionPair unknownSystem[] = {
      {"system", const_cast<char*>("taskbar")}, {"result", &system}, {nullptr, nullptr}};
  EXPECT_EQ(MQWidget_Value(0, MQWIDGET_GET_SYSTEM, unknownSystem), 0);
  EXPECT_EQ(system, -5);
  EXPECT_EQ(MQWidget_Value(MainWindow(), MQWIDGET_DELETE, nullptr), 0) << "the host's main window is its own";
}

TEST_F(WidgetRequestTest, PropertiesOutsideTheirWidgetOrDomainAreRefusedAndChangeNothing) {
  const int32_t button = Create("button");
  const int32_t frame = Create("frame");
  EXPECT_EQ(SetBool(button, "checked", true), 0) << "a button has no check mark";
  EXPECT_EQ(SetBool(button, "colour", true), 0);
  EXPECT_EQ(GetInt(button, "colour"), -99) << "an unknown property leaves the slot alone";
  EXPECT_EQ(SetInt(button, "justsize", 5), 0) << "computed";
  EXPECT_EQ(SetInt(button, "text.length", 5), 0) << "computed";
  EXPECT_EQ(SetRaw(button, "text", nullptr), 0) << "null value slot";
  EXPECT_EQ(GetInt(button, "down.length"), -99) << "only strings have a length";

  ASSERT_EQ(SetKeyword(frame, "alignment", "horz"), 1);
  EXPECT_EQ(SetKeyword(frame, "alignment", "diagonal"), 0);
  EXPECT_EQ(SetInt(frame, "matrixcolumn", -1), 0);
  EXPECT_EQ(SetDouble(frame, "inspace", std::nan("")), 0);
  EXPECT_EQ(SetDouble(frame, "outspace", -0.5), 0);
  int32_t badColour[4] = {0, 0, 256, 255};
  EXPECT_EQ(SetRaw(frame, "backcolor.rgba", badColour), 0);
  EXPECT_EQ(GetInt(frame, "alignment.length"), 4);
  char alignment[8] = {};
  MQOptionPair get[] = {{"alignment", alignment}, {nullptr, nullptr}};
  ASSERT_EQ(MQWidget_Value(frame, MQWIDGET_GET_PROPERTY, get), 1);
  EXPECT_STREQ(alignment, "horz");

  // One refused pair fails the request, and a request that mixes good and
  // bad pairs reports it.
  uint8_t on = 1;
  int32_t columns = 3;
  MQOptionPair mixed[] = {{"matrixcolumn", &columns}, {"checked", &on}, {nullptr, nullptr}};
  EXPECT_EQ(MQWidget_Value(frame, MQWIDGET_SET_PROPERTY, mixed), 0);
}

TEST_F(WidgetRequestTest, ValuesKeepTheTypeTheirWidgetGivesThem) {
  const int32_t spin = Create("spinbox");
  const int32_t doubleSpin = Create("doublespinbox");
  const int32_t window = Create("window");
  const int32_t button = Create("button");

  EXPECT_EQ(SetInt(spin, "position", 1023), 1);
  EXPECT_EQ(GetInt(spin, "position"), 1023);
  EXPECT_EQ(SetDouble(doubleSpin, "position", 0.001), 1);
  EXPECT_EQ(GetDouble(doubleSpin, "position"), 0.001);
  // The plug-in's own values are stored as given, even below "min": only a
  // user's typing is clamped.
  SetInt(spin, "min", 1);
  SetInt(spin, "position", 0);
  EXPECT_EQ(GetInt(spin, "position"), 0);

  EXPECT_FALSE(GetBool(window, "visible")) << "windows start hidden";
  EXPECT_TRUE(GetBool(button, "visible"));
  EXPECT_TRUE(GetBool(window, "closebutton"));
  EXPECT_EQ(SetBool(window, "closebutton", false), 1);
  EXPECT_FALSE(GetBool(window, "closebutton"));

  EXPECT_EQ(GetText(button), u"") << "an empty text has length 0";
  SetText(button, "text", u"Équal ✓");
  EXPECT_EQ(GetInt(button, "text.length"), 7);
  EXPECT_EQ(GetText(button), u"Équal ✓");

  int32_t colour[4] = {0, 0, 0, 255}, back[4] = {};
  const int32_t frame = Create("frame");
  EXPECT_EQ(SetRaw(frame, "backcolor.rgba", colour), 1);
  MQOptionPair get[] = {{"backcolor.rgba", back}, {nullptr, nullptr}};
  MQWidget_Value(frame, MQWIDGET_GET_PROPERTY, get);
  EXPECT_EQ(back[3], 255);

  const auto dump = driver_.snapshot(window);
  ASSERT_EQ(dump.properties.size(), 1u) << "only what was set is listed";
  EXPECT_EQ(dump.properties[0].first, "closebutton");
}

TEST_F(WidgetRequestTest, TheTreeRefusesSecondParentsWindowsAsChildrenAndCycles) {
  const int32_t window = Create("window");
  const int32_t outer = Create("frame");
  const int32_t inner = Create("frame");
  const int32_t button = Create("button");
  EXPECT_EQ(AddChild(window, outer), 1);
  EXPECT_EQ(AddChild(outer, inner), 1);
  EXPECT_EQ(AddChild(inner, button), 1);
  EXPECT_EQ(AddChild(outer, button), 0) << "one parent only";
  EXPECT_EQ(AddChild(inner, outer), 0) << "a cycle";
  EXPECT_EQ(AddChild(button, Create("label")), 0) << "a button holds nothing";
  EXPECT_EQ(AddChild(outer, Create("dialog")), 0) << "windows are attached, not added";
  EXPECT_EQ(AttachWindow(button, Create("dialog")), 0);

  const int32_t dialog = Create("dialog");
  EXPECT_EQ(AttachWindow(window, dialog), 1);
  EXPECT_EQ(AttachWindow(dialog, window), 0) << "a cycle of windows";

  // Deleting a widget takes its descendants and attached windows with it;
  // their ids stay dead and are not handed out again.
  EXPECT_EQ(MQWidget_Value(window, MQWIDGET_DELETE, nullptr), 1);
  for (int32_t gone : {window, outer, inner, button, dialog}) {
    EXPECT_EQ(GetInt(gone, "visible"), -99) << gone;
    EXPECT_EQ(MQWidget_Value(gone, MQWIDGET_DELETE, nullptr), 0) << gone;
  }
  EXPECT_GT(Create("button"), dialog);
}

// Event procs take the host's calling convention, which lambdas cannot on
// i686 Windows.
MQBOOL MQAPI IgnoreEvent(MQDocument, void*, void*) {
  return 0;
}

TEST_F(WidgetRequestTest, EventRegistrationNeedsAKnownEventAndAProc) {
  const int32_t button = Create("button");
  const MQWidgetEventProc proc = IgnoreEvent;
  EXPECT_EQ(Register(button, "execute", proc, nullptr), 1);
  EXPECT_EQ(Register(button, "explode", proc, nullptr), 0);
  EXPECT_EQ(Register(button, "execute", nullptr, nullptr), 0);
  EXPECT_EQ(Register(987654, "execute", proc, nullptr), 0);
  EXPECT_EQ(driver_.snapshot(button).events, std::vector<std::string>{"execute"});
}

TEST_F(WidgetRequestTest, ExecuteRequestsCheckTheirWidget) {
  const int32_t button = Create("button");
  int32_t result = -1;
  MQOptionPair modal[] = {{"type", const_cast<char*>("modal")}, {"result", &result}, {nullptr, nullptr}};
  EXPECT_EQ(MQWidget_Value(button, MQWIDGET_EXECUTE, modal), 0);
  EXPECT_EQ(result, -1);
  MQOptionPair unknown[] = {{"type", const_cast<char*>("popup")}, {"result", &result}, {nullptr, nullptr}};
  EXPECT_EQ(MQWidget_Value(Create("dialog"), MQWIDGET_EXECUTE, unknown), 0);
  MQOptionPair method[] = {{"explode", nullptr}, {nullptr, nullptr}};
  EXPECT_EQ(MQWidget_Value(Create("savefiledialog"), MQWIDGET_CALL_METHOD, method), 0);
}

}  // namespace
}  // namespace pavlex::testing
