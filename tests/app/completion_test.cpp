#include "app/completion.h"

#include <gtest/gtest.h>

namespace pavlex::app {
namespace {

CompletionSources Sources() {
  CompletionSources sources;
  sources.commands = {"check", "click", "close", "help", "layout", "open", "press", "print", "save", "set"};
  sources.widgetPaths = [] {
    return std::vector<WidgetName>{{"Grab", "groupbox"},          {"Grab/Gather", "button"},
                                   {"Grab/Gather", "doublespinbox"}, {"Grab/Sew", "button"},
                                   {"Grab/selected", "checkbox"},  {"UV -> Object/V", "button"},
                                   {"UV -> Object/F", "button"},   {"pivot U", "doublespinbox"},
                                   {"Move#2", "button"}};
  };
  sources.listFolder = [](const std::string& folder) {
    if (folder == "") return std::vector<FolderEntry>{{"art", true}, {"a b.obj", false}, {".hidden", false}};
    if (folder == "art/") return std::vector<FolderEntry>{{"chair.obj", false}, {"chairs", true}};
    return std::vector<FolderEntry>{};
  };
  return sources;
}

// The line after Tab.
std::string Tab(const std::string& line) {
  const Completion completion = CompleteAtCursor(line, Sources());
  return line.substr(0, completion.start) + completion.replacement;
}

TEST(Completion, CommandNamesAtTheStartOfEveryCommand) {
  EXPECT_EQ(Tab("pre"), "press ");
  EXPECT_EQ(Tab("pr"), "pr") << "press and print";
  EXPECT_EQ(CompleteAtCursor("pr", Sources()).choices, (std::vector<std::string>{"press", "print"}));
  EXPECT_EQ(Tab("print document; cl"), "print document; cl");
  EXPECT_EQ(Tab("print document;clo"), "print document;close ");
  EXPECT_EQ(Tab("help la"), "help layout ");
  EXPECT_EQ(Tab("bogus"), "bogus");
  EXPECT_TRUE(CompleteAtCursor("bogus", Sources()).choices.empty());
}

TEST(Completion, WidgetPathsOfTheKindTheCommandActsOn) {
  EXPECT_EQ(Tab("press Gr"), "press Grab/");
  EXPECT_EQ(CompleteAtCursor("press Grab/", Sources()).choices, (std::vector<std::string>{"Grab/Gather", "Grab/Sew"}));
  EXPECT_EQ(Tab("check Gr"), "check Grab/selected ");
  EXPECT_EQ(Tab("set Grab/G"), "set Grab/Gather ");
  EXPECT_EQ(Tab("press Mo"), "press Move#2 ");
  EXPECT_EQ(Tab("press Grab/Sew x"), "press Grab/Sew x") << "only the first argument is a path";
}

TEST(Completion, PathsWithBlanksAreQuoted) {
  EXPECT_EQ(Tab("press UV"), "press \"UV -> Object/");
  EXPECT_EQ(Tab("press \"UV -> Object/F"), "press \"UV -> Object/F\" ");
  EXPECT_EQ(Tab("press 'UV -> Object/V"), "press \"UV -> Object/V\" ");
  EXPECT_EQ(Tab("set piv"), "set \"pivot U\" ");
}

TEST(Completion, FileNamesAfterOpenSaveAndLayout) {
  EXPECT_EQ(Tab("open ar"), "open art/") << "a folder stays open for its files";
  EXPECT_EQ(Tab("save art/chair"), "save art/chair");
  EXPECT_EQ(CompleteAtCursor("save art/chair", Sources()).choices,
            (std::vector<std::string>{"art/chair.obj", "art/chairs/"}));
  EXPECT_EQ(Tab("layout art/chair."), "layout art/chair.obj ");
  EXPECT_EQ(Tab("open a "), "open a ") << "past the file name";
  EXPECT_EQ(Tab("open a"), "open a") << "'a b.obj' and 'art/': nothing shared beyond 'a'";
  EXPECT_EQ(Tab("open a\\ "), "open a\\ ");
  EXPECT_EQ(Tab("open \"a "), "open \"a b.obj\" ");
  EXPECT_EQ(Tab("open .h"), "open .hidden ");
  EXPECT_EQ(CompleteAtCursor("open ", Sources()).choices, (std::vector<std::string>{"a b.obj", "art/"}))
      << "hidden files only when asked for";
  EXPECT_EQ(Tab("print ar"), "print ar") << "print takes no file";
}

TEST(Completion, SharedPrefix) {
  EXPECT_EQ(SharedPrefix({}), "");
  EXPECT_EQ(SharedPrefix({"Grab/Sew", "Grab/Gather"}), "Grab/");
  EXPECT_EQ(SharedPrefix({"same"}), "same");
}

}  // namespace
}  // namespace pavlex::app
