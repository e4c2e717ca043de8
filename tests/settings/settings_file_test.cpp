// The settings file across host sessions: first run, round trip, damaged
// and missing files, atomic saves and the default location.
#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/api/host_exports.h"
#include "host/app/host_session.h"
#include "hostapi/mq_codes.h"

namespace pavlex::testing {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
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
    char pattern[] = "/tmp/pavlex-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    path_ = folder_ + "/settings.xml";
  }
  void TearDown() override {
    const std::string command = "rm -rf '" + folder_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  host::HostSessionOptions Options() {
    host::HostSessionOptions options;
    options.settingsPath = path_;
    options.diagnostics = &report_;
    return options;
  }

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

TEST_F(SettingsFileTest, ADamagedFileIsReportedOnceKeptAsideAndReplacedByFreshSettings) {
  for (const std::string damaged : {"<Settings><PluginSettings><Plugin-A>", "", "<Other/>"}) {
    SCOPED_TRACE(damaged);
    WriteFile(path_, damaged);
    report_.str("");
    {
      host::HostSession session(Options());
      const std::string report = report_.str();
      EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
      EXPECT_NE(report.find(path_), std::string::npos) << report;
      EXPECT_NE(report.find("damaged"), std::string::npos) << report;
      EXPECT_EQ(ReadFile(path_ + ".damaged"), damaged);
      EXPECT_EQ(Read("PosX"), "(none)");
      Write("PosX", "7");
    }
    report_.str("");
    host::HostSession again(Options());
    EXPECT_EQ(Read("PosX"), "7");
    EXPECT_EQ(report_.str(), "");
  }
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

TEST_F(SettingsFileTest, TheDefaultFileFollowsXdgConfigHomeAndFallsBackToHome) {
  const char* savedXdg = getenv("XDG_CONFIG_HOME");
  const std::string oldXdg = savedXdg != nullptr ? savedXdg : "";
  const std::string oldHome = getenv("HOME") != nullptr ? getenv("HOME") : "";

  setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
  EXPECT_EQ(host::DefaultSettingsPath(), folder_ + "/pavlex/settings.xml");
  {
    host::HostSessionOptions options;
    options.diagnostics = &report_;
    host::HostSession session(options);
    Write("PosX", "3");
  }
  EXPECT_NE(ReadFile(folder_ + "/pavlex/settings.xml").find("<PosX>3</PosX>"), std::string::npos);

  setenv("XDG_CONFIG_HOME", "relative/path", 1);
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(host::DefaultSettingsPath(), "/home/someone/.config/pavlex/settings.xml");

  if (savedXdg != nullptr)
    setenv("XDG_CONFIG_HOME", oldXdg.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", oldHome.c_str(), 1);
}

}  // namespace
}  // namespace pavlex::testing
