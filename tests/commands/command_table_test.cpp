// The command table is what the interpreter runs, the dry-run check reads
// and help prints: a row that disagrees with itself breaks all three.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/commands/command_parser.h"
#include "host/commands/command_table.h"

namespace pavlex::commands {
namespace {

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at <= text.size()) {
    const size_t end = std::min(text.find('\n', at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

TEST(CommandTable, EveryRowNamesItselfInEachFormAndIsFoundByItsName) {
  const std::vector<std::string> names = CommandNames();
  for (const CommandRow& row : CommandTable()) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindCommand(row.name), &row) << "one row per name";
    EXPECT_NE(row.run, nullptr);
    EXPECT_GE(row.leastArguments, 0);
    EXPECT_TRUE(row.mostArguments == kAnyCount || row.mostArguments >= row.leastArguments);
    const std::vector<std::string> usage = LinesOf(row.usage), help = LinesOf(row.help);
    EXPECT_EQ(usage.size(), help.size()) << "one line of help per form";
    for (const std::string& form : usage) {
      EXPECT_EQ(form.rfind(std::string(row.name) + (form.size() > std::string(row.name).size() ? " " : ""), 0),
                0u)
          << form;
    }
    EXPECT_NE(std::find(names.begin(), names.end(), row.name), names.end());
  }
  EXPECT_EQ(FindCommand("exit"), FindCommand("quit"));
  EXPECT_EQ(FindCommand("pres"), nullptr);
}

TEST(CommandTable, HelpPrintsEveryFormToTheSinkAndOneCommandAlone) {
  std::string all;
  const TextSink sink([&](std::string_view text) { all.append(text); });
  ASSERT_TRUE(PrintCommandHelp(sink, std::string()));
  for (const CommandRow& row : CommandTable()) {
    for (const std::string& form : LinesOf(row.usage)) EXPECT_NE(all.find("  " + form), std::string::npos) << form;
  }
  EXPECT_NE(all.find("PATH is a widget path"), std::string::npos);

  std::string select;
  ASSERT_TRUE(PrintCommandHelp(TextSink([&](std::string_view text) { select.append(text); }), "select"));
  EXPECT_EQ(LinesOf(select).size(), 3u) << "two forms, then the end of the text:\n" << select;
  EXPECT_EQ(select.find("PATH is"), std::string::npos);
  EXPECT_FALSE(PrintCommandHelp(sink, "nonsense"));
  EXPECT_NE(CommandHelpText().find("  layout FILE [WxH]"), std::string::npos);
}

TEST(CommandTable, CountsOutsideARowsRangeQuoteItsFirstForm) {
  try {
    NeedCount({"select", "uv"}, 3, kAnyCount);
    FAIL() << "too few words";
  } catch (const CommandError& error) {
    EXPECT_STREQ(error.what(), "usage: select uv all|none | uv rect U0 V0 U1 V1 | uv F:C...");
  }
  EXPECT_NO_THROW(NeedCount({"select", "uv", "all", "x", "y"}, 3, kAnyCount));
  EXPECT_THROW(NeedCount({"press", "a", "b"}, 2, 2), CommandError);
}

}  // namespace
}  // namespace pavlex::commands
