// The four settings through the host's settings file: read at
// initialization, written at exit, read back by the next host session.
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "host/plugin/plugin_loader.h"
#include "host/settings/settings_service.h"
#include "tests/plugin_window/pavlex_session.h"

namespace pavlex::testing {
namespace {

class PavlexSettingsTest : public PavlexSessionTest {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pavlex-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    path_ = folder_ + "/settings.xml";
  }
  void TearDown() override {
    PavlexSessionTest::TearDown();
    std::remove(path_.c_str());
    std::remove((path_ + ".damaged").c_str());
    rmdir(folder_.c_str());
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
  // The plug-in element's children as "Key=text" in document order.
  static std::string PluginValues(const std::string& xml) {
    const std::regex element("<Plugin-5A3C9E41-7D2B6F18>([^]*?)</Plugin-5A3C9E41-7D2B6F18>");
    std::smatch found;
    if (xml.find("<Plugin-5A3C9E41-7D2B6F18/>") != std::string::npos) return "";
    if (!std::regex_search(xml, found, element)) return "(no plug-in element)";
    const std::string inner = found[1];
    const std::regex child("<(\\w+)>([^<]*)</\\1>|<(\\w+)/>");
    std::string out;
    for (auto it = std::sregex_iterator(inner.begin(), inner.end(), child); it != std::sregex_iterator();
         ++it) {
      out += (*it)[1].matched ? (*it)[1].str() + "=" + (*it)[2].str() + " " : (*it)[3].str() + "= ";
    }
    return out;
  }
  // Exits the host (the plug-in writes, the host saves the file).
  void Exit() { session_.reset(); }

  std::string folder_, path_;
};

TEST_F(PavlexSettingsTest, FirstRunUsesDefaultsAndExitWritesTheFourSettingsInOrder) {
  Start(OnFile());
  EXPECT_EQ(PluginValues(session().settings().text()), "") << "the element is created empty";
  EXPECT_EQ(property<int32_t>(window(), "pos_x"), nullptr) << "the host's placement stands";
  EXPECT_EQ(property<int32_t>(window(), "pos_y"), nullptr);
  Exit();
  const std::regex written("PosX=-?\\d+ PosY=-?\\d+ TexWidth=1024 TexHeight=1024 ");
  EXPECT_TRUE(std::regex_match(PluginValues(ReadFile()), written)) << ReadFile();
}

TEST_F(PavlexSettingsTest, MovedWindowReturnsThereInTheNextSession) {
  Start(OnFile());
  widget(window())->store("pos_x", int32_t{300});  // the user drags the window
  widget(window())->store("pos_y", int32_t{-20});  // partly off the top edge
  Exit();
  EXPECT_EQ(PluginValues(ReadFile()), "PosX=300 PosY=-20 TexWidth=1024 TexHeight=1024 ");
  // The next host process loads the library afresh.
  EXPECT_EQ(dlopen(PAVLEX_PLUGIN_LIBRARY, RTLD_NOW | RTLD_NOLOAD), nullptr);

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
}

// Stored texts are read as the C runtime's _wtoi reads them and written
// back at exit as "%d"; an empty text is the default.
TEST_F(PavlexSettingsTest, SizesAreParsedLeniently) {
  struct Case {
    const char* stored;
    const char* written;
  };
  for (const Case& c :
       {Case{" 512abc", "512"}, Case{"abc", "0"}, Case{"-1", "-1"}, Case{"", "1024"}, Case{"\t+77", "77"},
        Case{"99999999999", "2147483647"}, Case{"-2147483648", "-2147483648"}}) {
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
  Exit();
  const std::regex written("Other=keep PosX=-?\\d+ PosY=-?\\d+ TexWidth=320 TexHeight=640 ");
  EXPECT_TRUE(std::regex_match(PluginValues(ReadFile()), written)) << ReadFile();
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

}  // namespace
}  // namespace pavlex::testing
