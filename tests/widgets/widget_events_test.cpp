// Widget events raised by the driving commands reach the registered procs
// with the keys a plug-in reads; modal runs go to the driver.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/driver/host_driver.h"
#include "host/session/host_session.h"
#include "hostapi/mq_codes.h"
#include "optionlist/option_list.h"
#include "tests/widgets/widget_client.h"

namespace pavlex::testing {
namespace {

struct Seen {
  std::string type;
  int32_t target = 0;
  int32_t sender = 0;
  std::optional<int32_t> buttonState;
  bool hasFinished = false;
  bool document = false;
};

// The pointer registered with a proc: what it saw, what it answers, and
// something to do while it runs.
struct Listener {
  std::vector<Seen> seen;
  MQBOOL answer = 0;
  std::function<void()> during;
};

MQBOOL MQAPI Listen(MQDocument doc, void* options, void* pointer) {
  const OptionListView list(options);
  Seen seen;
  if (const char* type = list.narrow("type")) seen.type = type;
  seen.target = list.intValue("target_id").value_or(0);
  seen.sender = list.intValue("sender_id").value_or(0);
  seen.buttonState = list.intValue("button_state");
  seen.hasFinished = list.has("finished");
  seen.document = doc != nullptr;
  auto* listener = static_cast<Listener*>(pointer);
  listener->seen.push_back(seen);
  if (listener->during) listener->during();
  return listener->answer;
}

std::vector<std::string> Types(const Listener& listener) {
  std::vector<std::string> out;
  for (const Seen& seen : listener.seen) out.push_back(seen.type);
  return out;
}

class WidgetEventTest : public ::testing::Test {
 protected:
  host::HostSessionOptions MemoryOnly() {
    host::HostSessionOptions options;
    options.persistSettings = false;
    options.diagnostics = &report_;
    return options;
  }

  void SetUp() override { window_ = AddWindow(u"Events"); }

  int32_t Listened(const char* type, const char16_t* text, std::initializer_list<const char*> events) {
    const int32_t id = Add(window_, type, text);
    for (const char* event : events) Register(id, event, Listen, &listener_);
    return id;
  }

  std::ostringstream report_;
  host::HostSession session_{MemoryOnly()};
  host::HostDriver driver_{session_};
  int32_t window_ = 0;
  Listener listener_;
};

TEST_F(WidgetEventTest, PressRaisesExecuteWithTargetSenderTypeAndTheDocument) {
  const int32_t button = Listened("button", u"Go", {"execute", "leftdown"});
  const host::CommandResult pressed = driver_.press("Go");
  ASSERT_TRUE(pressed) << pressed.error;
  EXPECT_FALSE(pressed.handled);
  ASSERT_EQ(listener_.seen.size(), 1u);
  EXPECT_EQ(listener_.seen[0].type, "execute");
  EXPECT_EQ(listener_.seen[0].target, button);
  EXPECT_EQ(listener_.seen[0].sender, button);
  EXPECT_TRUE(listener_.seen[0].document);
  EXPECT_FALSE(listener_.seen[0].buttonState.has_value());

  listener_.answer = 1;
  EXPECT_TRUE(driver_.press("Go").handled);
}

TEST_F(WidgetEventTest, ClicksCarryTheirModifiersAndAHandledLeftDownTakesTheClick) {
  Listened("button", u"Lock", {"leftdown", "leftup", "execute"});
  ASSERT_TRUE(driver_.click("Lock", host::kCtrl));
  ASSERT_EQ(Types(listener_), (std::vector<std::string>{"leftdown", "leftup", "execute"}));
  EXPECT_EQ(listener_.seen[0].buttonState, 0x09) << "left and Ctrl";
  EXPECT_TRUE(listener_.seen[0].hasFinished);
  EXPECT_EQ(listener_.seen[1].buttonState, 0x08) << "the left button is up again";

  listener_.seen.clear();
  ASSERT_TRUE(driver_.click("Lock", host::kShift));
  EXPECT_EQ(listener_.seen[0].buttonState, 0x05);

  listener_.seen.clear();
  listener_.answer = 1;
  ASSERT_TRUE(driver_.click("Lock"));
  EXPECT_EQ(Types(listener_), (std::vector<std::string>{"leftdown", "leftup"}));
}

TEST_F(WidgetEventTest, CheckBoxesAndSpinBoxesRaiseTheirEventsOnlyForARealChange) {
  const int32_t box = Listened("checkbox", u"wide", {"execute"});
  EXPECT_TRUE(driver_.check("wide", false));
  EXPECT_TRUE(listener_.seen.empty()) << "already clear";
  EXPECT_TRUE(driver_.check("wide", true));
  EXPECT_TRUE(GetBool(box, "checked"));
  EXPECT_TRUE(driver_.click("wide"));
  EXPECT_FALSE(GetBool(box, "checked"));
  EXPECT_EQ(listener_.seen.size(), 2u);

  listener_.seen.clear();
  Add(window_, "label", u"Gather");
  const int32_t spin = Listened("doublespinbox", nullptr, {"changing", "execute"});
  SetDouble(spin, "max", 1.0);
  SetInt(spin, "decimaldigit", 4);
  ASSERT_TRUE(driver_.set("Gather", "0.00123"));
  EXPECT_EQ(Types(listener_), (std::vector<std::string>{"changing", "execute"}));
  EXPECT_EQ(GetDouble(spin, "position"), 0.0012) << "as many decimals as the box shows";
  ASSERT_TRUE(driver_.set("Gather", 7.5));
  EXPECT_EQ(GetDouble(spin, "position"), 1.0) << "a user cannot type past max";
  const host::CommandResult bad = driver_.set("Gather", "lots");
  EXPECT_FALSE(bad);
  EXPECT_NE(bad.error.find("'lots' is not a number"), std::string::npos) << bad.error;
  EXPECT_EQ(GetDouble(spin, "position"), 1.0);
}

TEST_F(WidgetEventTest, FoldingAGroupRaisesResizeOnceAndHidingAWindowRaisesHide) {
  const int32_t group = Listened("groupbox", u"Select", {"resize"});
  Add(group, "button", u"group");
  Register(window_, "hide", Listen, &listener_);

  EXPECT_FALSE(driver_.minimize("Select")) << "not foldable until canminimize is set";
  SetBool(group, "canminimize", true);
  EXPECT_TRUE(driver_.minimize("Select"));
  EXPECT_TRUE(driver_.minimize("Select"));
  EXPECT_TRUE(driver_.restore("Select"));
  EXPECT_EQ(Types(listener_), (std::vector<std::string>{"resize", "resize"}));

  listener_.seen.clear();
  ASSERT_TRUE(driver_.hideWindow("Events"));
  EXPECT_EQ(Types(listener_), std::vector<std::string>{"hide"});
  EXPECT_FALSE(GetBool(window_, "visible"));
  EXPECT_FALSE(driver_.hideWindow("Events")) << "already hidden";
  EXPECT_FALSE(driver_.press("Select/group")) << "a hidden window cannot be pressed";
}

TEST_F(WidgetEventTest, PriorHandlersRunFirstAndTheFirstTrueAnswerStopsTheRest) {
  const int32_t button = Add(window_, "button", u"Go");
  Listener late, early;
  early.answer = 1;
  Register(button, "execute", Listen, &late);
  Register(button, "execute", Listen, &early, /*prior=*/true);
  EXPECT_TRUE(driver_.press("Go").handled);
  EXPECT_EQ(early.seen.size(), 1u);
  EXPECT_TRUE(late.seen.empty());
}

TEST_F(WidgetEventTest, AHandlerThatDeletesItsWidgetEndsTheEventAndLaterEventsFindNothing) {
  const int32_t button = Add(window_, "button", u"Close");
  Listener first, second;
  first.during = [button] { MQWidget_Value(button, MQWIDGET_DELETE, nullptr); };
  Register(button, "execute", Listen, &first);
  Register(button, "execute", Listen, &second);
  EXPECT_TRUE(driver_.press("Close"));
  EXPECT_EQ(first.seen.size(), 1u);
  EXPECT_TRUE(second.seen.empty());
  EXPECT_FALSE(driver_.press("Close"));
  EXPECT_FALSE(driver_.click("Close"));
}

// A driver that presses one button of each dialog, and answers message
// boxes and file dialogs as told.
class ScriptedDriver : public host::ModalDriver {
 public:
  void runModal(host::HostSession& session, int32_t dialog) override {
    dialogs.push_back(dialog);
    host::HostDriver user(session);
    for (const std::string& path : presses) results.push_back(user.press(path));
  }
  int32_t messageBox(host::HostSession&, const host::MessageBoxRequest& box) override {
    boxes.push_back(box);
    return MQMODALRESULT_OK;
  }
  bool saveFile(host::HostSession&, host::SaveFileRequest& request) override {
    files.push_back(request);
    request.fileName = u"/tmp/chosen.png";
    request.filterIndex = 3;
    return true;
  }

  std::vector<std::string> presses;
  std::vector<int32_t> dialogs;
  std::vector<host::CommandResult> results;
  std::vector<host::MessageBoxRequest> boxes;
  std::vector<host::SaveFileRequest> files;
};

int32_t RunModal(int32_t dialog) {
  int32_t result = -1;
  MQOptionPair list[] = {{"type", const_cast<char*>("modal")}, {"result", &result}, {nullptr, nullptr}};
  EXPECT_EQ(MQWidget_Value(dialog, MQWIDGET_EXECUTE, list), 1);
  return result;
}

TEST_F(WidgetEventTest, ModalRunsAnswerTheModalResultOfTheButtonThatClosedThem) {
  const int32_t dialog = Create("dialog");
  AttachWindow(window_, dialog);
  SetText(dialog, "title", u"Ask");
  const int32_t ok = Add(dialog, "button", u"OK");
  SetInt(ok, "modalresult", 1);
  Add(dialog, "button", u"Apply");
  Listened("button", u"Elsewhere", {"execute"});

  EXPECT_EQ(RunModal(dialog), 2) << "the default driver closes it: cancel";

  ScriptedDriver driver;
  session_.setModalDriver(&driver);
  driver.presses = {"Elsewhere", "Apply", "OK", "Apply"};
  EXPECT_EQ(RunModal(dialog), 1);
  ASSERT_EQ(driver.results.size(), 4u);
  EXPECT_FALSE(driver.results[0]) << "only the running dialog can be reached";
  EXPECT_TRUE(driver.results[1]);
  EXPECT_TRUE(driver.results[2]);
  EXPECT_FALSE(driver.results[3]) << "the dialog is closed";
  EXPECT_TRUE(listener_.seen.empty());
  EXPECT_FALSE(GetBool(dialog, "visible"));
  session_.setModalDriver(nullptr);
}

TEST_F(WidgetEventTest, AFailingDriverClosesTheDialogAsCancelledWithoutUnwindingIntoThePlugIn) {
  struct Throwing : host::ModalDriver {
    void runModal(host::HostSession&, int32_t) override { throw std::runtime_error("script error"); }
  } driver;
  const int32_t dialog = Create("dialog");
  session_.setModalDriver(&driver);
  EXPECT_EQ(RunModal(dialog), 2);
  EXPECT_NE(report_.str().find("modal driver failed"), std::string::npos) << report_.str();
  session_.setModalDriver(nullptr);
}

struct ReplaceDuringHandler {
  host::HostSession* session;
  int32_t objectsAfter = -1;
};

// An event proc has the host's calling convention, which a lambda cannot
// take on i686 Windows.
MQBOOL MQAPI ReplaceDocumentAndCount(MQDocument doc, void*, void* pointer) {
  auto* r = static_cast<ReplaceDuringHandler*>(pointer);
  r->session->closeDocument();
  r->objectsAfter = MQDoc_GetObjectCount(doc);  // the old document, still alive
  return 1;
}

TEST_F(WidgetEventTest, ADocumentReplacedDuringAHandlerStaysValidUntilTheHandlerReturns) {
  Add(window_, "button", u"New");
  ReplaceDuringHandler replace{&session_};
  Register(driver_.findWidget("New", host::WidgetKind::kButton), "execute", ReplaceDocumentAndCount,
           &replace);
  session_.document().addObject(std::make_unique<host::HostObject>());
  ASSERT_TRUE(driver_.press("New"));
  EXPECT_EQ(replace.objectsAfter, 1);
  EXPECT_EQ(session_.document().objectSlotCount(), 0);
}

TEST_F(WidgetEventTest, MessageBoxesAndFileDialogsGoToTheDriver) {
  int32_t result = -1;
  uint8_t confirmed = 7;
  MQOptionPair box[] = {{"type", const_cast<char*>("messagebox")},
                        {"messagetype", const_cast<char*>("okcancel")},
                        {"parent", &window_},
                        {"message", const_cast<char16_t*>(u"Overwrite?")},
                        {"title", const_cast<char16_t*>(u"Pavlex")},
                        {"result", &result},
                        {nullptr, nullptr}};
  ASSERT_EQ(MQWidget_Value(0, MQWIDGET_EXECUTE, box), 1);
  EXPECT_EQ(result, 2) << "by default: Cancel, which loses nothing";

  ScriptedDriver driver;
  session_.setModalDriver(&driver);
  ASSERT_EQ(MQWidget_Value(0, MQWIDGET_EXECUTE, box), 1);
  EXPECT_EQ(result, 1);
  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_EQ(driver.boxes[0].message, u"Overwrite?");
  EXPECT_EQ(driver.boxes[0].type, "okcancel");

  int32_t parent = window_, fileDialog = 0;
  MQOptionPair create[] = {{"type", const_cast<char*>("savefiledialog")},
                           {"id", &fileDialog},
                           {"parent", &parent},
                           {nullptr, nullptr}};
  ASSERT_EQ(MQWidget_Value(0, MQWIDGET_CREATE, create), 1);
  int32_t index = -1;
  MQOptionPair filter[] = {{"addfilter", nullptr},
                           {"text", const_cast<char16_t*>(u"PNG file (*.png)|*.png")},
                           {"result", &index},
                           {nullptr, nullptr}};
  ASSERT_EQ(MQWidget_Value(fileDialog, MQWIDGET_CALL_METHOD, filter), 1);
  EXPECT_EQ(index, 0);
  SetText(fileDialog, "filename", u"old.bmp");
  MQOptionPair save[] = {{"type", const_cast<char*>("filesave")}, {"result", &confirmed}, {nullptr, nullptr}};
  ASSERT_EQ(MQWidget_Value(fileDialog, MQWIDGET_EXECUTE, save), 1);
  EXPECT_EQ(confirmed, 1);
  ASSERT_EQ(driver.files.size(), 1u);
  EXPECT_EQ(driver.files[0].fileName, u"old.bmp");
  EXPECT_EQ(driver.files[0].filters, std::vector<std::u16string>{u"PNG file (*.png)|*.png"});
  EXPECT_EQ(GetText(fileDialog, "filename"), u"/tmp/chosen.png");
  EXPECT_EQ(GetInt(fileDialog, "filterindex"), 3);

  // The file dialog goes with the window it was shown over.
  MQWidget_Value(window_, MQWIDGET_DELETE, nullptr);
  EXPECT_EQ(MQWidget_Value(fileDialog, MQWIDGET_EXECUTE, save), 0);
  session_.setModalDriver(nullptr);
}

}  // namespace
}  // namespace pavlex::testing
