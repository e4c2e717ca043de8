// The plug-in's life in the host: initialization, activation, the user
// hiding the window, the end of a document, exit, and the answers to every
// host event.
#include "host/plugin/plugin_loader.h"
#include "tests/plugin_window/pavlex_session.h"

namespace pavlex::testing {
namespace {

using PavlexLifecycleTest = PavlexSessionTest;

TEST_F(PavlexLifecycleTest, InitializationBuildsTheWindowHiddenAndActivationShowsIt) {
  ASSERT_NE(window(), 0);
  EXPECT_FALSE(visible());
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_IS_ACTIVATED, nullptr), 0);

  EXPECT_TRUE(session().activate(plugin()));
  EXPECT_TRUE(visible());
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_IS_ACTIVATED, nullptr), 1);

  EXPECT_FALSE(session().deactivate(plugin()));
  EXPECT_FALSE(visible());
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_IS_ACTIVATED, nullptr), 0);

  int32_t on = 1, off = 0;
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_ACTIVATE, &on), 1);
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_ACTIVATE, &off), 0);
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_ACTIVATE, nullptr), 0);  // no flag reads as off
}

TEST_F(PavlexLifecycleTest, HidingTheWindowTwiceSendsMessage100Once) {
  ASSERT_TRUE(session().activate(plugin()));
  ASSERT_TRUE(driver().hideWindow("Pavlex").done);
  EXPECT_EQ(session().messageCount(MQMESSAGE_SWITCHED_OFF), 1);
  EXPECT_FALSE(session().isActive(plugin()));
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_IS_ACTIVATED, nullptr), 0);

  // A hide while switched off sends nothing and changes nothing.
  session().widgets().raise(window(), "hide");
  EXPECT_EQ(session().messageCount(MQMESSAGE_SWITCHED_OFF), 1);
  EXPECT_FALSE(session().isActive(plugin()));

  // The host switching the plug-in off is no news to the host either.
  ASSERT_TRUE(session().activate(plugin()));
  EXPECT_TRUE(visible());
  EXPECT_FALSE(session().deactivate(plugin()));
  session().widgets().raise(window(), "hide");
  EXPECT_EQ(session().messageCount(MQMESSAGE_SWITCHED_OFF), 1);

  // Each later switch-on arms exactly one more message.
  ASSERT_TRUE(session().activate(plugin()));
  ASSERT_TRUE(driver().hideWindow("Pavlex").done);
  session().widgets().raise(window(), "hide");
  EXPECT_EQ(session().messageCount(MQMESSAGE_SWITCHED_OFF), 2);
  EXPECT_FALSE(session().isActive(plugin()));
}

TEST_F(PavlexLifecycleTest, ExitDestroysTheWindowAndAnotherInitializationRebuildsIt) {
  ASSERT_TRUE(session().activate(plugin()));
  const size_t hostWidgets = session().widgets().tree().ids().size();
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_EXIT, nullptr), 1);
  EXPECT_EQ(window(), 0);
  EXPECT_EQ(session().widgets().tree().ids(), std::vector<int32_t>{session().mainWindow()});

  // Without a window the plug-in answers off and creates nothing.
  int32_t on = 1;
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_ACTIVATE, &on), 0);
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_IS_ACTIVATED, nullptr), 0);
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_EXIT, nullptr), 1);

  // The activation outlives the window: a new initialization shows it.
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_INITIALIZE, nullptr), 1);
  ASSERT_NE(window(), 0);
  EXPECT_TRUE(visible());
  EXPECT_EQ(session().widgets().tree().ids().size(), hostWidgets);
  EXPECT_TRUE(driver().press("Pavlex::Select/group").handled);
}

// A second initialization keeps the window the first one built.
TEST_F(PavlexLifecycleTest, SecondInitializationKeepsTheWindow) {
  const int32_t first = window();
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_INITIALIZE, nullptr), 1);
  EXPECT_EQ(window(), first);
  EXPECT_EQ(session().widgets().tree().windows().size(), 2u);
}

TEST_F(PavlexLifecycleTest, EventsBeforeInitializationCreateNothing) {
  session_.reset();
  session_ = std::make_unique<host::HostSession>(InMemory());
  std::string error;
  std::unique_ptr<host::LoadedPlugin> loaded = host::LoadedPlugin::Load(PAVLEX_PLUGIN_LIBRARY, &error);
  ASSERT_NE(loaded, nullptr) << error;

  int32_t on = 1;
  EXPECT_EQ(loaded->sendEvent(doc(), MQEVENT_ACTIVATE, &on), 0);
  EXPECT_EQ(loaded->sendEvent(doc(), MQEVENT_IS_ACTIVATED, nullptr), 0);
  EXPECT_EQ(loaded->sendEvent(doc(), MQEVENT_DRAW, nullptr), 1);
  EXPECT_EQ(loaded->sendEvent(doc(), MQEVENT_END_DOCUMENT, nullptr), 1);
  EXPECT_EQ(session().widgets().tree().ids(), std::vector<int32_t>{session().mainWindow()});
}

TEST_F(PavlexLifecycleTest, DocumentEndReleasesEveryLockButton) {
  ASSERT_TRUE(session().activate(plugin()));
  std::vector<int32_t> locks;
  for (const char* path : {"Memory/Lock/1", "Memory/Lock/2", "Memory/Lock/3", "Memory/Lock/4"}) {
    locks.push_back(button(path));
    ASSERT_NE(widget(locks.back()), nullptr);
    widget(locks.back())->store("down", true);
  }
  session().closeDocument();
  for (const int32_t id : locks) {
    ASSERT_NE(property<bool>(id, "down"), nullptr);
    EXPECT_FALSE(*property<bool>(id, "down"));
  }
}

// Events the plug-in leaves at their defaults: queries answer 0, the rest
// 1, and answers that go into "result" are 0 (or null for a name).
TEST_F(PavlexLifecycleTest, AnswersEveryHostEventAsTheProtocolSays) {
  int32_t index = 0, result = 7;
  MQOptionPair query[] = {{"index", &index}, {"result", &result}, {nullptr, nullptr}};
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_ENUM_SUBCOMMAND, query), 1);
  EXPECT_EQ(result, 0);

  const MQWChar* name = u"preset";
  MQOptionPair nameQuery[] = {{"index", &index}, {"result", &name}, {nullptr, nullptr}};
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_SUBCOMMAND_STRING, nameQuery), 1);
  EXPECT_EQ(name, nullptr);

  uint32_t product = 1, id = 2;
  result = 7;
  MQOptionPair message[] = {
      {"src_product", &product}, {"src_id", &id},     {"description", const_cast<char*>("hi")},
      {"message", nullptr},      {"result", &result}, {nullptr, nullptr}};
  EXPECT_EQ(plugin().sendEvent(doc(), MQEVENT_USER_MESSAGE, message), 1);
  EXPECT_EQ(result, 0);

  for (const int32_t query_code : {MQEVENT_MINIMIZE, MQEVENT_UNDO_STATE, MQEVENT_UNDO, MQEVENT_REDO}) {
    EXPECT_EQ(plugin().sendEvent(doc(), query_code, nullptr), 0) << query_code;
  }
  for (const int32_t notice :
       {MQEVENT_ENUM_SUBCOMMAND_EX, MQEVENT_NEW_DOCUMENT, MQEVENT_SAVE_DOCUMENT, MQEVENT_SAVE_PAST_DOCUMENT,
        MQEVENT_MERGE_DOCUMENT, MQEVENT_UNDO_UPDATED, MQEVENT_OBJECT_MODIFIED, MQEVENT_OBJECT_SELECTED,
        MQEVENT_OBJECT_LIST, MQEVENT_MATERIAL_MODIFIED, MQEVENT_MATERIAL_LIST, MQEVENT_SCENE,
        MQEVENT_EDIT_OPTION, MQEVENT_SNAP_GRID, MQEVENT_SNAP_LAST, MQEVENT_DRAW}) {
    EXPECT_EQ(plugin().sendEvent(doc(), notice, nullptr), 1) << notice;
  }
  // Mouse and key events belong to command plug-ins; unknown codes to nobody.
  for (const int32_t other :
       {MQEVENT_MOUSE_FIRST, MQEVENT_MOUSE_LAST, MQEVENT_KEY_DOWN, MQEVENT_KEY_UP, 0, 5, 106, 263, 999, -1}) {
    EXPECT_EQ(plugin().sendEvent(doc(), other, nullptr), 0) << other;
  }
  EXPECT_NE(window(), 0);
  EXPECT_FALSE(visible());
}

}  // namespace
}  // namespace pavlex::testing
