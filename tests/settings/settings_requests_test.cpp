// Message 505 and the element requests of MQXmlElem_Value, called as a
// plug-in calls them.
#include <gtest/gtest.h>

#include <string>

#include "host/api/host_exports.h"
#include "host/session/host_session.h"
#include "host/settings/settings_service.h"
#include "hostapi/mq_codes.h"

namespace pavlex::testing {
namespace {

MQXmlElement Find(MQXmlElement parent, const char* name) {
  MQXmlFindChildRecord record{name, nullptr};
  MQXmlElem_Value(parent, MQXML_FIND_CHILD, &record);
  return record.result;
}

MQXmlElement AddElement(MQXmlElement parent, const char* name) {
  MQXmlAddChildRecord record{name, nullptr};
  MQXmlElem_Value(parent, MQXML_ADD_CHILD, &record);
  return record.result;
}

MQBOOL SetText(MQXmlElement element, const char* text) {
  MQXmlSetTextRecord record{text};
  return MQXmlElem_Value(element, MQXML_SET_TEXT, &record);
}

const char* Text(MQXmlElement element) {
  MQXmlGetTextRecord record{nullptr};
  MQXmlElem_Value(element, MQXML_GET_TEXT, &record);
  return record.result;
}

class SettingsRequestTest : public ::testing::Test {
 protected:
  static host::HostSessionOptions MemoryOnly() {
    host::HostSessionOptions options;
    options.persistSettings = false;
    return options;
  }

  // Message 505 exactly as the plug-in sends it.
  MQXmlElement PluginSettings() {
    MQOptionPair options[] = {{"root", nullptr}, {"pluginsettings", nullptr}, {nullptr, nullptr}};
    MQSendMessageInfo info{0x5A3C9E41, 0x7D2B6F18, 0, options};
    EXPECT_EQ(MQ_SendMessage(MQMESSAGE_GET_SETTINGS, &info), 1);
    EXPECT_EQ(options[0].value, nullptr) << "the host keeps its root to itself";
    return static_cast<MQXmlElement>(options[1].value);
  }

  host::HostSession session_{MemoryOnly()};
};

TEST_F(SettingsRequestTest, Message505NeedsItsRecordAndItsKey) {
  EXPECT_NE(PluginSettings(), nullptr);
  EXPECT_EQ(PluginSettings(), PluginSettings()) << "one element, one handle";
  EXPECT_EQ(MQ_SendMessage(MQMESSAGE_GET_SETTINGS, nullptr), 0);
  MQOptionPair noKey[] = {{"root", nullptr}, {nullptr, nullptr}};
  MQSendMessageInfo info{1, 2, 0, noKey};
  EXPECT_EQ(MQ_SendMessage(MQMESSAGE_GET_SETTINGS, &info), 0);
  info.option = nullptr;
  EXPECT_EQ(MQ_SendMessage(MQMESSAGE_GET_SETTINGS, &info), 0);
  EXPECT_EQ(MQ_SendMessage(12345, &info), 0);
}

TEST_F(SettingsRequestTest, ThePlugInsReadAndWriteCycleWorks) {
  const MQXmlElement root = PluginSettings();
  EXPECT_EQ(Find(root, "Plugin-5A3C9E41-7D2B6F18"), nullptr) << "first run";
  const MQXmlElement mine = AddElement(root, "Plugin-5A3C9E41-7D2B6F18");
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(Find(root, "Plugin-5A3C9E41-7D2B6F18"), mine);

  const MQXmlElement posX = AddElement(mine, "PosX");
  EXPECT_EQ(Text(posX), nullptr) << "no text yet";
  ASSERT_EQ(SetText(posX, "-1"), 1);
  EXPECT_STREQ(Text(posX), "-1");

  // A write replaces the key: remove, then append.
  int32_t removed = 0;
  MQXmlRemoveChildRecord remove{posX, &removed};
  ASSERT_EQ(MQXmlElem_Value(mine, MQXML_REMOVE_CHILD, &remove), 1);
  EXPECT_EQ(removed, 1);
  EXPECT_EQ(Find(mine, "PosX"), nullptr);
  ASSERT_EQ(SetText(AddElement(mine, "PosX"), "100"), 1);
  EXPECT_STREQ(Text(Find(mine, "PosX")), "100");
}

TEST_F(SettingsRequestTest, RemovedElementsLeaveNoHandleThatStillWorks) {
  const MQXmlElement mine = AddElement(PluginSettings(), "Plugin-1");
  const MQXmlElement inner = AddElement(mine, "Group");
  const MQXmlElement leaf = AddElement(inner, "Leaf");
  int32_t removed = 0;
  MQXmlRemoveChildRecord remove{inner, &removed};
  ASSERT_EQ(MQXmlElem_Value(mine, MQXML_REMOVE_CHILD, &remove), 1);

  for (MQXmlElement stale : {inner, leaf}) {
    MQXmlFindChildRecord find{"Leaf", nullptr};
    EXPECT_EQ(MQXmlElem_Value(stale, MQXML_FIND_CHILD, &find), 0);
    EXPECT_EQ(SetText(stale, "1"), 0);
    EXPECT_EQ(Text(stale), nullptr);
    EXPECT_EQ(AddElement(stale, "Child"), nullptr);
  }
  removed = 0;
  EXPECT_EQ(MQXmlElem_Value(mine, MQXML_REMOVE_CHILD, &remove), 0) << "removed twice";
  EXPECT_EQ(removed, 0);
  // A new element never takes an old handle.
  EXPECT_NE(AddElement(mine, "Group"), inner);
}

TEST_F(SettingsRequestTest, BadHandlesRecordsNamesAndTextsAreRefused) {
  const MQXmlElement root = PluginSettings();
  const MQXmlElement mine = AddElement(root, "Plugin-2");
  EXPECT_EQ(MQXmlElem_Value(nullptr, MQXML_FIND_CHILD, nullptr), 0);
  EXPECT_EQ(MQXmlElem_Value(mine, MQXML_FIND_CHILD, nullptr), 0);
  EXPECT_EQ(MQXmlElem_Value(reinterpret_cast<MQXmlElement>(0xDEADBEEF), MQXML_GET_TEXT, nullptr), 0);
  MQXmlGetTextRecord get{nullptr};
  EXPECT_EQ(MQXmlElem_Value(mine, 0x999, &get), 0);
  MQXmlFindChildRecord nameless{nullptr, nullptr};
  EXPECT_EQ(MQXmlElem_Value(mine, MQXML_FIND_CHILD, &nameless), 0);

  for (const char* bad : {"", "1st", "-x", "two words", "a<b", "bad\xff"}) {
    EXPECT_EQ(AddElement(mine, bad), nullptr) << bad;
  }
  EXPECT_NE(AddElement(mine, "Größe_2.x-y"), nullptr);

  const MQXmlElement key = AddElement(mine, "Key");
  EXPECT_EQ(SetText(key, "bell\a"), 0);
  EXPECT_EQ(SetText(key, "\xc3("), 0) << "not UTF-8";
  EXPECT_EQ(SetText(key, nullptr), 1) << "null clears the text";

  // Only a direct child can be removed.
  const MQXmlElement grandchild = AddElement(key, "Deep");
  MQXmlRemoveChildRecord remove{grandchild, nullptr};
  EXPECT_EQ(MQXmlElem_Value(mine, MQXML_REMOVE_CHILD, &remove), 0);
  EXPECT_EQ(Find(key, "Deep"), grandchild);
}

}  // namespace
}  // namespace pavlex::testing
