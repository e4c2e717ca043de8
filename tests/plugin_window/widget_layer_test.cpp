// The widget layer against the real host's widget service: a small window
// of the test's own, built with the plug-in's widget classes and driven by
// the host session as a user drives it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "host/driver/host_driver.h"
#include "host/session/host_session.h"
#include "host/widgets/widget_service.h"
#include "hostapi/mq_codes.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/widgets/dialog.h"
#include "plugin/widgets/event_callback.h"
#include "plugin/widgets/message_box.h"
#include "plugin/widgets/save_file_dialog.h"
#include "plugin/widgets/widget_events.h"
#include "plugin/widgets/widget_request.h"
#include "plugin/widgets/window.h"

namespace pavlex::testing {
namespace {

int g_presses = 0;  // handler calls of every probe window

class ProbeWindow : public MQWindow {
 public:
  ProbeWindow(const MQWindowBase& parent, const std::u16string& title) : MQWindow(parent) {
    SetWideString("title", title);
    SetBool("visible", true);
    MQFrame* row = CreateHorizontalFrame(this);
    press = CreateButton(row, u"press");
    AddExecuteEvent(*press, this, &ProbeWindow::OnPress);
    mouse = CreateButton(row, u"mouse");
    AddLeftDownEvent(*mouse, this, &ProbeWindow::OnLeftDown);
    edit = CreateEdit(row);
  }

  bool OnPress(MQWidgetBase* sender, MQDocument) {
    ++g_presses;
    senders.push_back(sender);
    if (onPress) onPress();  // may destroy this window
    return true;
  }
  bool OnLeftDown(MQWidgetBase*, MQDocument, MouseState& state) {
    mice.push_back(state);
    state.finished = true;
    return false;
  }

  MQButton* press;
  MQButton* mouse;
  MQEdit* edit;
  std::vector<MQWidgetBase*> senders;
  std::vector<MouseState> mice;
  std::function<void()> onPress;
};

class RecordingDriver : public host::ModalDriver {
 public:
  void runModal(host::HostSession& session, int32_t) override {
    if (pressInDialog) host::HostDriver(session).press("Dialog::OK");
  }
  int32_t messageBox(host::HostSession&, const host::MessageBoxRequest& box) override {
    boxes.push_back(box);
    return answer;
  }
  bool saveFile(host::HostSession&, host::SaveFileRequest& request) override {
    saves.push_back(request);
    request.fileName = u"/tmp/layout.png";
    return true;
  }

  bool pressInDialog = false;
  int32_t answer = MQMODALRESULT_OK;
  std::vector<host::MessageBoxRequest> boxes;
  std::vector<host::SaveFileRequest> saves;
};

class WidgetLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(BindHostFunctions(PAVLEX_HOST_LIBRARY).status, HostBindStatus::kBound);
    host::HostSessionOptions options;
    options.persistSettings = false;
    options.modalDriver = &dialogs_;
    session_ = std::make_unique<host::HostSession>(options);
    main_ = MQWindow::Wrap(GetSystemWidget("main_window"));
    registered_ = WidgetRegistry::Instance().size();
    probe_ = std::make_unique<ProbeWindow>(*main_, u"Probe");
  }
  void TearDown() override {
    probe_.reset();
    EXPECT_EQ(WidgetRegistry::Instance().size(), registered_);
    session_.reset();
  }

  host::Widget* hostWidget(int32_t id) { return session_->widgets().tree().find(id); }
  host::HostDriver driver() const { return host::HostDriver(*session_); }

  RecordingDriver dialogs_;
  std::unique_ptr<host::HostSession> session_;
  std::unique_ptr<MQWindow> main_;
  std::unique_ptr<ProbeWindow> probe_;
  size_t registered_ = 0;
};

TEST_F(WidgetLayerTest, MouseEventsDecodeButtonsAndModifiers) {
  ASSERT_TRUE(driver().click("Probe::mouse", host::kCtrl).done);  // button_state 0x09
  ASSERT_EQ(probe_->mice.size(), 1u);
  const MouseState& ctrl = probe_->mice[0];
  EXPECT_TRUE(ctrl.leftButton && ctrl.ctrl);
  EXPECT_FALSE(ctrl.shift || ctrl.rightButton || ctrl.middleButton || ctrl.extra);

  const host::EventDelivery all =
      session_->widgets().raiseMouse(probe_->mouse->GetID(), "leftdown", 0x3F, 0.5f);
  ASSERT_EQ(probe_->mice.size(), 2u);
  const MouseState& every = probe_->mice[1];
  EXPECT_TRUE(every.leftButton && every.middleButton && every.rightButton && every.shift && every.ctrl &&
              every.extra);
  EXPECT_EQ(every.pressure, 0.5f);
  EXPECT_TRUE(all.finished) << "the handler's finished flag goes back to the host";
}

// A host may send a mouse event with no mouse keys at all.
TEST_F(WidgetLayerTest, MouseEventWithoutButtonStateHasNoButtonOrKey) {
  int32_t id = probe_->mouse->GetID();
  MQOptionPair options[] = {
      {"type", const_cast<char*>("leftdown")}, {"target_id", &id}, {"sender_id", &id}, {nullptr, nullptr}};
  EventCallback(session_->documentHandle(), options, probe_->mouse->handlers()[0].get());
  ASSERT_EQ(probe_->mice.size(), 1u);
  const MouseState& none = probe_->mice[0];
  EXPECT_FALSE(none.leftButton || none.middleButton || none.rightButton || none.shift || none.ctrl ||
               none.extra);
  EXPECT_EQ(none.clientX, 0);
}

TEST_F(WidgetLayerTest, TextsRoundTripThroughTheHost) {
  EXPECT_EQ(probe_->edit->GetText(), u"");
  hostWidget(probe_->edit->GetID())->store("text", std::u16string(u"Pfad/\u00FCber \u2713 \U0001F600"));
  EXPECT_EQ(probe_->edit->GetText(), u"Pfad/\u00FCber \u2713 \U0001F600");
  EXPECT_EQ(probe_->press->GetText(), u"press");
}

// Destroying a window deletes every host widget it created, and events
// that still name one of them, or a closure of theirs, reach nothing.
TEST_F(WidgetLayerTest, DestroyedWidgetsTakeNoEvents) {
  int32_t pressId = probe_->press->GetID();
  void* closure = probe_->press->handlers()[0].get();
  const std::vector<int32_t> before = session_->widgets().tree().ids();
  const int32_t windowId = probe_->GetID();
  probe_.reset();
  for (const int32_t id : before) {
    if (id != session_->mainWindow()) {
      EXPECT_EQ(hostWidget(id), nullptr) << id;
    }
  }
  EXPECT_EQ(driver().findWindow("Probe"), 0);
  EXPECT_NE(windowId, 0);

  const int presses = g_presses;
  MQOptionPair options[] = {{"type", const_cast<char*>("execute")},
                            {"target_id", &pressId},
                            {"sender_id", &pressId},
                            {nullptr, nullptr}};
  EXPECT_EQ(EventCallback(session_->documentHandle(), options, closure), 0);
  EXPECT_EQ(g_presses, presses);
}

// A handler bound to a window that is gone calls nothing, even though the
// widget it was registered on lives on.
TEST_F(WidgetLayerTest, ClosureOfADestroyedOwnerCallsNothing) {
  auto owner = std::make_unique<ProbeWindow>(*main_, u"Owner");
  AddExecuteEvent(*probe_->mouse, owner.get(), &ProbeWindow::OnPress);
  ASSERT_TRUE(driver().press("Probe::mouse").handled);
  owner.reset();
  const int presses = g_presses;
  const host::CommandResult result = driver().press("Probe::mouse");
  EXPECT_TRUE(result.done);
  EXPECT_FALSE(result.handled);
  EXPECT_EQ(g_presses, presses);
}

// The running closure is held by the event, not only by the widget's list,
// so a handler may destroy its own window.
TEST_F(WidgetLayerTest, HandlerMayDestroyItsOwnWindow) {
  probe_->onPress = [this] { probe_.reset(); };
  EXPECT_TRUE(driver().press("Probe::press").handled);
  EXPECT_EQ(probe_, nullptr);
  EXPECT_EQ(driver().findWindow("Probe"), 0);
}

TEST_F(WidgetLayerTest, MessageBoxAsksOkCancelOverItsParent) {
  EXPECT_TRUE(ConfirmOkCancel(*probe_, u"Overwrite?", u"Pavlex"));
  dialogs_.answer = MQMODALRESULT_CANCEL;
  EXPECT_FALSE(ConfirmOkCancel(*probe_, u"Overwrite?", u"Pavlex"));
  ASSERT_EQ(dialogs_.boxes.size(), 2u);
  EXPECT_EQ(dialogs_.boxes[0].type, "okcancel");
  EXPECT_EQ(dialogs_.boxes[0].parent, probe_->GetID());
  EXPECT_EQ(dialogs_.boxes[0].message, u"Overwrite?");
  EXPECT_EQ(dialogs_.boxes[0].title, u"Pavlex");
}

TEST_F(WidgetLayerTest, DialogRunsModallyUntilAButtonClosesIt) {
  MQDialog dialog(*probe_);
  dialog.SetWideString("title", u"Dialog");
  MQButton* ok = dialog.CreateButton(&dialog, u"OK");
  ok->SetInt("modalresult", 1);
  EXPECT_EQ(dialog.Execute(), 2) << "closed without a button: cancel";
  dialogs_.pressInDialog = true;
  EXPECT_EQ(dialog.Execute(), 1);
}

TEST_F(WidgetLayerTest, SaveFileDialogHandsBackTheChosenName) {
  MQSaveFileDialog dialog(*probe_);
  dialog.SetTitle(u"Save");
  dialog.AddFilter(u"PNG (*.png)|*.png");
  dialog.SetFileName(u"layout");
  ASSERT_NE(dialog.GetID(), 0);
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.GetFileName(), u"/tmp/layout.png");
  ASSERT_EQ(dialogs_.saves.size(), 1u);
  EXPECT_EQ(dialogs_.saves[0].title, u"Save");
  EXPECT_EQ(dialogs_.saves[0].filters, std::vector<std::u16string>{u"PNG (*.png)|*.png"});
  EXPECT_EQ(dialogs_.saves[0].fileName, u"layout");
}

}  // namespace
}  // namespace pavlex::testing
