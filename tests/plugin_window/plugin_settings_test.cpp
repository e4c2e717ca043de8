// The four settings through the host's settings file: read at
// initialization, written at exit, read back by the next host session.
#include <fstream>
#include <sstream>

#include "host/plugin/plugin_loader.h"
#include "host/settings/settings_service.h"
#include "platform/module_loader.h"
#include "tests/plugin_window/pavlex_session.h"
#include "tests/support/temp_folder.h"

namespace pavlex::testing {
namespace {

class PavlexSettingsTest : public PavlexSessionTest {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    path_ = folder_.file("settings.xml");
  }

  host::HostSessionOptions OnFile() {
    host::HostSessionOptions options;
    options.settingsPath = path_;
    return options;
  }

  // A settings file whose plug-in element holds `children`.
  void WriteFile(const std::string& children) {
    std::ofstream(path_) << "<Settings><PluginSettings><Plugin-5A3C9E41-7D2B6F18>" << children
                         << "</Plugin-5A3C9E41-7D2B6F18></PluginSettings></Settings>\n";
  }
  std::string ReadFile() {
    std::stringstream text;
    text << std::ifstream(path_).rdbuf();
    return text.str();
  }
  // The plug-in element's children as "Key=text " in document order.
  static std::string PluginValues(const std::string& xml) {
    const std::string name = "Plugin-5A3C9E41-7D2B6F18";
    if (xml.find("<" + name + "/>") != std::string::npos) return "";
    const size_t open = xml.find("<" + name + ">");
    const size_t close = xml.find("</" + name + ">");
    if (open == std::string::npos || close == std::string::npos) return "(no plug-in element)";
    std::string out;
    for (size_t at = xml.find('<', open + name.size() + 2); at < close; at = xml.find('<', at + 1)) {
      const size_t tagEnd = xml.find('>', at);
      std::string tag = xml.substr(at + 1, tagEnd - at - 1);
      if (tag.empty() || tag[0] == '/') continue;
      if (tag.back() == '/') {
        out += tag.substr(0, tag.size() - 1) + "= ";
        continue;
      }
      const size_t textEnd = xml.find('<', tagEnd);
      out += tag + "=" + xml.substr(tagEnd + 1, textEnd - tagEnd - 1) + " ";
      at = textEnd;
    }
    return out;
  }
  // The window's position as the host has it.
  int32_t HostPosition(const char* key) {
    int32_t value = 0;
    MQOptionPair options[] = {{key, &value}, {nullptr, nullptr}};
    session().widgets().request(window(), MQWIDGET_GET_PROPERTY, options);
    return value;
  }
  static std::string Values(int32_t x, int32_t y, const std::string& width, const std::string& height) {
    return "PosX=" + std::to_string(x) + " PosY=" + std::to_string(y) + " TexWidth=" + width +
           " TexHeight=" + height + " ";
  }
  // Exits the host (the plug-in writes, the host saves the file).
  void Exit() { session_.reset(); }

  TempFolder folder_{"pavlex-settings"};
  std::string path_;
};

TEST_F(PavlexSettingsTest, FirstRunUsesDefaultsAndExitWritesTheFourSettingsInOrder) {
  Start(OnFile());
  EXPECT_EQ(PluginValues(session().settings().text()), "") << "the element is created empty";
  EXPECT_EQ(property<int32_t>(window(), "pos_x"), nullptr) << "the host's placement stands";
  EXPECT_EQ(property<int32_t>(window(), "pos_y"), nullptr);
  const int32_t x = HostPosition("pos_x"), y = HostPosition("pos_y");
  Exit();
  EXPECT_EQ(PluginValues(ReadFile()), Values(x, y, "1024", "1024"));
}

TEST_F(PavlexSettingsTest, MovedWindowReturnsThereInTheNextSession) {
  Start(OnFile());
  widget(window())->store("pos_x", int32_t{300});  // the user drags the window
  widget(window())->store("pos_y", int32_t{-20});  // partly off the top edge
  Exit();
  EXPECT_EQ(PluginValues(ReadFile()), "PosX=300 PosY=-20 TexWidth=1024 TexHeight=1024 ");
  // The next host process loads the library afresh.
  EXPECT_EQ(platform::FindLoadedModule(PAVLEX_PLUGIN_LIBRARY), nullptr);

  // A negative coordinate means "no position": the host places the window.
  Start(OnFile());
  EXPECT_EQ(property<int32_t>(window(), "pos_x"), nullptr);
  widget(window())->store("pos_x", int32_t{300});
  widget(window())->store("pos_y", int32_t{200});
  Exit();

  Start(OnFile());
  ASSERT_NE(property<int32_t>(window(), "pos_x"), nullptr);
  EXPECT_EQ(*property<int32_t>(window(), "pos_x"), 300);
  EXPECT_EQ(*property<int32_t>(window(), "pos_y"), 200);
  EXPECT_FALSE(visible());
  Exit();

  // A position off every screen is no position either.
  WriteFile("<PosX>2147483647</PosX><PosY>5</PosY>");
  Start(OnFile());
  EXPECT_EQ(property<int32_t>(window(), "pos_x"), nullptr);
}

// Stored texts are read as the C runtime's _wtoi reads them and written
// back at exit as "%d"; an empty text, and a size the Output dialog's spin
// boxes cannot take, is the default.
TEST_F(PavlexSettingsTest, SizesAreParsedLeniently) {
  struct Case {
    const char* stored;
    const char* written;
  };
  for (const Case& c :
       {Case{" 512abc", "512"}, Case{"abc", "1024"}, Case{"0", "1024"}, Case{"-4", "1024"}, Case{"-1", "1024"},
        Case{"", "1024"}, Case{"\t+77", "77"}, Case{"nan", "1024"}, Case{"1e9", "1"}, Case{"65535", "65535"},
        Case{"65536", "1024"}, Case{"2147483647", "1024"}, Case{"99999999999", "1024"},
        Case{"-2147483648", "1024"}}) {
    WriteFile(std::string("<PosX>12</PosX><PosY>34</PosY><TexWidth>") + c.stored + "</TexWidth><TexHeight>" +
              c.stored + "</TexHeight>");
    Start(OnFile());
    EXPECT_EQ(*property<int32_t>(window(), "pos_x"), 12) << c.stored;
    Exit();
    EXPECT_EQ(PluginValues(ReadFile()),
              std::string("PosX=12 PosY=34 TexWidth=") + c.written + " TexHeight=" + c.written + " ")
        << c.stored;
  }
}

// Each write replaces its key: a duplicated key is read from its first
// element and leaves a single element behind.
TEST_F(PavlexSettingsTest, WritesReplaceEveryKeyAtTheEnd) {
  WriteFile(
      "<TexHeight>640</TexHeight><Other>keep</Other><TexWidth>320</TexWidth><PosX/><TexWidth>9</TexWidth>");
  Start(OnFile());
  const int32_t x = HostPosition("pos_x"), y = HostPosition("pos_y");
  Exit();
  EXPECT_EQ(PluginValues(ReadFile()), "Other=keep " + Values(x, y, "320", "640"));
}

// An exit without a window (no initialization ran) keeps the stored values
// instead of writing the unset ones.
TEST_F(PavlexSettingsTest, ExitWithoutInitializationWritesNothing) {
  WriteFile("<PosX>5</PosX><PosY>6</PosY><TexWidth>512</TexWidth><TexHeight>256</TexHeight>");
  session_ = std::make_unique<host::HostSession>(OnFile());
  std::string error;
  std::unique_ptr<host::LoadedPlugin> loaded = host::LoadedPlugin::Load(PAVLEX_PLUGIN_LIBRARY, &error);
  ASSERT_NE(loaded, nullptr) << error;
  EXPECT_EQ(loaded->sendEvent(doc(), MQEVENT_EXIT, nullptr), 1);
  EXPECT_EQ(PluginValues(session().settings().text()), "PosX=5 PosY=6 TexWidth=512 TexHeight=256 ");
}

// Runs the Output dialog as the user does: reads the size it opens with,
// types a new one and a file name, and presses OK.
class OutputAtSize : public host::ModalDriver {
 public:
  void runModal(host::HostSession& session, int32_t) override {
    host::HostDriver user(session);
    for (const char* path : {"spinbox", "spinbox#2"}) {
      std::string error;
      const int32_t id = user.findWidget(path, host::WidgetKind::kSpinBox, &error);
      const host::Widget* spin = session.widgets().tree().find(id);
      const host::PropertyValue* position = spin != nullptr ? spin->stored("position") : nullptr;
      const int32_t* value = position != nullptr ? std::get_if<int32_t>(position) : nullptr;
      opened.push_back(value != nullptr ? *value : -1);
    }
    EXPECT_TRUE(user.set("spinbox", 512.0).done);
    EXPECT_TRUE(user.set("spinbox#2", 256.0).done);
    EXPECT_TRUE(user.set("edit", file).done);
    EXPECT_TRUE(user.press("OK").done);
  }
  std::string file;
  std::vector<int32_t> opened;
};

// A host whose message 505 hands out no element: the plug-in makes no
// settings request at all, starts from the defaults, and its window and
// output work as with settings; the user's file is left as it was.
TEST_F(PavlexSettingsTest, HostWithoutPluginSettingsGivesDefaultsAndWritesNothing) {
  WriteFile("<PosX>300</PosX><PosY>200</PosY><TexWidth>320</TexWidth><TexHeight>640</TexHeight>");
  const std::string stored = ReadFile();
  host::HostSessionOptions options = OnFile();
  options.offerPluginSettings = false;
  Start(options);
  EXPECT_EQ(session().messageCount(MQMESSAGE_GET_SETTINGS), 1);
  EXPECT_EQ(session().settings().requestCount(), 0);
  EXPECT_EQ(property<int32_t>(window(), "pos_x"), nullptr) << "no stored position: the host places the window";
  EXPECT_EQ(property<int32_t>(window(), "pos_y"), nullptr);

  ASSERT_TRUE(session().activate(plugin()));
  EXPECT_TRUE(visible());
  AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{{0, 1, 2, 3}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}}});
  OutputAtSize dialog;
  dialog.file = folder_.file("layout.tga");
  session().setModalDriver(&dialog);
  EXPECT_TRUE(driver().press("Pavlex::File/Output").done);
  session().setModalDriver(nullptr);
  EXPECT_EQ(dialog.opened, (std::vector<int32_t>{1024, 1024}));
  std::ifstream picture(dialog.file, std::ios::binary);
  EXPECT_TRUE(picture.good()) << "the output still writes its picture";
  picture.close();
  widget(window())->store("pos_x", int32_t{40});

  // The exit asks again and, given nothing, writes nothing.
  ASSERT_TRUE(session().unloadPlugin(plugin_));
  EXPECT_EQ(session().messageCount(MQMESSAGE_GET_SETTINGS), 2);
  EXPECT_EQ(session().settings().requestCount(), 0);
  EXPECT_FALSE(session().settings().changed());
  Exit();
  EXPECT_EQ(ReadFile(), stored);
}

}  // namespace
}  // namespace pavlex::testing
