#include "app/prompt_history.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/temp_folder.h"

namespace pavlex::app {
namespace {

TEST(PromptHistory, EntriesSkipBlanksAndRepeatsAndKeepTheNewest) {
  std::vector<std::string> entries = WithEntry({}, "draw", 3);
  entries = WithEntry(entries, "draw", 3);
  entries = WithEntry(entries, "  ", 3);
  entries = WithEntry(entries, "press Grab/Sew", 3);
  entries = WithEntry(entries, "draw", 3);
  EXPECT_EQ(entries, (std::vector<std::string>{"draw", "press Grab/Sew", "draw"}));
  entries = WithEntry(entries, "print uv", 3);
  EXPECT_EQ(entries, (std::vector<std::string>{"press Grab/Sew", "draw", "print uv"}));
}

TEST(PromptHistory, TheFileLivesBesideTheSettingsAndGrowsByWhatIsTyped) {
  testing::TempFolder scratch;
  const std::string path = HistoryPathBeside(scratch.file("config/pavlex/settings.xml"));
  EXPECT_EQ(std::filesystem::u8path(path), scratch / "config/pavlex/history");
  EXPECT_EQ(HistoryPathBeside(""), "");
  EXPECT_TRUE(ReadHistory(path).empty());

  std::string error;
  ASSERT_TRUE(AddToHistory(path, "print document", &error)) << error;  // makes the folder
  // Another prompt added a line meanwhile; neither is lost.
  std::ofstream(path, std::ios::app) << "select uv all\r\n\n";
  ASSERT_TRUE(AddToHistory(path, "press \"UV -> Object/F\"", &error)) << error;
  EXPECT_EQ(ReadHistory(path),
            (std::vector<std::string>{"print document", "select uv all", "press \"UV -> Object/F\""}));
}

TEST(PromptHistory, TheFileIsCappedAtItsNewestEntries) {
  testing::TempFolder scratch;
  const std::string path = scratch.file("history");
  {
    std::ofstream file(path);
    for (size_t i = 0; i < kHistoryEntries + 5; ++i) file << "set Grab/Gather " << i << "\n";
  }
  std::string error;
  ASSERT_TRUE(AddToHistory(path, "draw", &error)) << error;
  const std::vector<std::string> entries = ReadHistory(path);
  ASSERT_EQ(entries.size(), kHistoryEntries);
  EXPECT_EQ(entries.front(), "set Grab/Gather 6");
  EXPECT_EQ(entries.back(), "draw");
}

TEST(PromptHistory, AFileThatCannotBeWrittenSaysWhy) {
  testing::TempFolder scratch;
  std::ofstream(scratch.file("blocked")) << "a file where the folder should be";
  std::string error;
  EXPECT_FALSE(AddToHistory(scratch.file("blocked/history"), "draw", &error));
  EXPECT_NE(error, "");
}

}  // namespace
}  // namespace pavlex::app
