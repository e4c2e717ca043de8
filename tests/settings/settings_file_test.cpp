// The settings file across host sessions: first run, round trip, damaged
// and missing files, atomic saves and the default location.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/api/host_exports.h"
#include "host/session/host_session.h"
#include "hostapi/mq_codes.h"
#include "tests/support/environment.h"
#include "tests/support/temp_folder.h"

namespace pavlex::testing {
namespace {

// File names are UTF-8, as the host takes them.
std::string ReadFile(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code failure;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder), failure)) {
    names.push_back(entry.path().filename().u8string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

MQXmlElement PluginSettings() {
  MQOptionPair options[] = {{"root", nullptr}, {"pluginsettings", nullptr}, {nullptr, nullptr}};
  MQSendMessageInfo info{1, 2, 0, options};
  MQ_SendMessage(MQMESSAGE_GET_SETTINGS, &info);
  return static_cast<MQXmlElement>(options[1].value);
}

MQXmlElement Child(MQXmlElement parent, const char* name, bool create) {
  MQXmlFindChildRecord find{name, nullptr};
  MQXmlElem_Value(parent, MQXML_FIND_CHILD, &find);
  if (find.result != nullptr || !create) return find.result;
  MQXmlAddChildRecord add{name, nullptr};
  MQXmlElem_Value(parent, MQXML_ADD_CHILD, &add);
  return add.result;
}

void Write(const char* key, const char* text) {
  MQXmlSetTextRecord set{text};
  MQXmlElem_Value(Child(Child(PluginSettings(), "Plugin-A", true), key, true), MQXML_SET_TEXT, &set);
}

// The text of a key, "(none)" when the key or its text is absent.
std::string Read(const char* key) {
  const MQXmlElement element = Child(Child(PluginSettings(), "Plugin-A", false), key, false);
  MQXmlGetTextRecord get{nullptr};
  MQXmlElem_Value(element, MQXML_GET_TEXT, &get);
  return get.result != nullptr ? get.result : "(none)";
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.path().empty());
    folder_ = temp_.path().u8string();
    path_ = folder_ + "/settings.xml";
  }

  host::HostSessionOptions Options() {
    host::HostSessionOptions options;
    options.settingsPath = path_;
    options.diagnostics = &report_;
    return options;
  }

  TempFolder temp_{"pavlex-settings"};
  std::string folder_, path_;
  std::ostringstream report_;
};

TEST_F(SettingsFileTest, ValuesWrittenInOneSessionAreReadInTheNext) {
  {
    host::HostSession first(Options());
    EXPECT_EQ(Read("PosX"), "(none)");
    Write("PosX", "100");
    Write("TexWidth", " 512abc ");
    Write("Blank", "  ");
    Write("Marks", "<&>\"'");
    Write("Empty", "");
  }
  EXPECT_EQ(FilesIn(folder_), std::vector<std::string>{"settings.xml"}) << "no temporary file stays";
  const std::string saved = ReadFile(path_);
  {
    host::HostSession second(Options());
    EXPECT_EQ(Read("PosX"), "100");
    EXPECT_EQ(Read("TexWidth"), " 512abc ");
    EXPECT_EQ(Read("Blank"), "  ");
    EXPECT_EQ(Read("Marks"), "<&>\"'");
    EXPECT_EQ(Read("Empty"), "(none)") << "an empty text reads as none";
  }
  EXPECT_EQ(ReadFile(path_), saved) << "an unchanged session leaves the file alone";
  EXPECT_EQ(report_.str(), "");
}

TEST_F(SettingsFileTest, AFirstRunCreatesTheFileAndItsFoldersOnlyWhenSomethingWasWritten) {
  path_ = folder_ + "/config/pavlex/settings.xml";
  { host::HostSession untouched(Options()); }
  EXPECT_TRUE(FilesIn(folder_).empty());
  {
    host::HostSession session(Options());
    Write("PosY", "-1");
  }
  EXPECT_NE(ReadFile(path_).find("<PosY>-1</PosY>"), std::string::npos) << ReadFile(path_);
}

// A later damaged file never takes the place of an earlier one's copy.
TEST_F(SettingsFileTest, ADamagedFileIsReportedOnceKeptAsideAndReplacedByFreshSettings) {
  // Text or a second element beside <Settings> is not a settings document
  // either, though the XML parser lets both pass: text there would not
  // print back as itself, and the file would grow a line at every save.
  const std::vector<std::string> damages = {
      "<Settings><PluginSettings><Plugin-A>",
      "",
      "<Other/>",
      "<?xml version=\"1.0\"?>-8\"F\n<Settings><PluginSettings/></Settings>\n",
      "stray<Settings><PluginSettings/></Settings>",
      "<Settings><PluginSettings/></Settings><Settings/>"};
  for (size_t n = 0; n < damages.size(); ++n) {
    const std::string& damaged = damages[n];
    const std::string kept = path_ + (n == 0 ? ".damaged" : ".damaged-" + std::to_string(n + 1));
    SCOPED_TRACE(damaged);
    WriteFile(path_, damaged);
    report_.str("");
    {
      host::HostSession session(Options());
      const std::string report = report_.str();
      EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
      EXPECT_NE(report.find(path_), std::string::npos) << report;
      EXPECT_NE(report.find("damaged"), std::string::npos) << report;
      EXPECT_NE(report.find(kept), std::string::npos) << report;
      EXPECT_EQ(ReadFile(kept), damaged);
      EXPECT_EQ(ReadFile(path_ + ".damaged"), damages[0]);
      EXPECT_EQ(Read("PosX"), "(none)");
      Write("PosX", "7");
    }
    report_.str("");
    host::HostSession again(Options());
    EXPECT_EQ(Read("PosX"), "7");
    EXPECT_EQ(report_.str(), "");
  }
}

// Writing back the values that were read leaves the user's file as it was,
// its own layout included; a real change is saved.
TEST_F(SettingsFileTest, TheFileIsWrittenOnlyWhenASettingChanged) {
  const std::string handWritten =
      "<Settings>\n\t<PluginSettings><Plugin-A>  <PosX>7</PosX></Plugin-A></PluginSettings>\n</Settings>\n";
  WriteFile(path_, handWritten);
  {
    host::HostSession session(Options());
    Write("PosX", "7");
  }
  EXPECT_EQ(ReadFile(path_), handWritten);
  {
    host::HostSession session(Options());
    Write("PosX", "8");
  }
  EXPECT_NE(ReadFile(path_).find("<PosX>8</PosX>"), std::string::npos) << ReadFile(path_);
}

TEST_F(SettingsFileTest, AFailedSaveIsReportedAndWritesNothing) {
  WriteFile(folder_ + "/blocker", "a file where a folder should be");
  path_ = folder_ + "/blocker/settings.xml";
  {
    host::HostSession session(Options());
    Write("PosX", "1");
    std::string error;
    EXPECT_FALSE(session.saveSettings(&error));
    EXPECT_NE(error.find("cannot create the folder"), std::string::npos) << error;
  }
  EXPECT_NE(report_.str().find("settings not saved"), std::string::npos) << report_.str();
  EXPECT_EQ(FilesIn(folder_), std::vector<std::string>{"blocker"});
}

#ifdef _WIN32
TEST_F(SettingsFileTest, TheDefaultFileIsInTheRoamingApplicationData) {
  {
    const ScopedEnvironment appData("APPDATA", folder_);
    EXPECT_EQ(host::DefaultSettingsPath(), folder_ + "\\pavlex\\settings.xml");
    {
      host::HostSessionOptions options;
      options.diagnostics = &report_;
      host::HostSession session(options);
      Write("PosX", "3");
    }
    EXPECT_NE(ReadFile(folder_ + "/pavlex/settings.xml").find("<PosX>3</PosX>"), std::string::npos);
  }
  // Without a usable variable the shell still knows the folder.
  for (const std::optional<std::string>& value : {std::optional<std::string>("relative\\path"),
                                                   std::optional<std::string>()}) {
    const ScopedEnvironment appData("APPDATA", value);
    const std::string path = host::DefaultSettingsPath();
    ASSERT_GT(path.size(), 3u);
    EXPECT_TRUE(std::filesystem::u8path(path).is_absolute()) << path;
    EXPECT_EQ(path.find("relative"), std::string::npos) << path;
    EXPECT_EQ(path.substr(path.size() - 20), "\\pavlex\\settings.xml") << path;
  }
}
#else
TEST_F(SettingsFileTest, TheDefaultFileFollowsXdgConfigHomeAndFallsBackToHome) {
  const ScopedEnvironment xdg("XDG_CONFIG_HOME", folder_);
  const ScopedEnvironment home("HOME", std::string("/home/someone"));
  EXPECT_EQ(host::DefaultSettingsPath(), folder_ + "/pavlex/settings.xml");
  {
    host::HostSessionOptions options;
    options.diagnostics = &report_;
    host::HostSession session(options);
    Write("PosX", "3");
  }
  EXPECT_NE(ReadFile(folder_ + "/pavlex/settings.xml").find("<PosX>3</PosX>"), std::string::npos);

  SetEnvironment("XDG_CONFIG_HOME", "relative/path");
  EXPECT_EQ(host::DefaultSettingsPath(), "/home/someone/.config/pavlex/settings.xml");
}
#endif

}  // namespace
}  // namespace pavlex::testing
