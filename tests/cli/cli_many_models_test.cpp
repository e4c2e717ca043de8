// One pavlex command over several models: every model in a process of its
// own, its output printed whole under its name, the names it writes
// checked before anything runs, and a failing model leaving the others be.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/cli/pavlex_process.h"

namespace pavlex::cli_test {
namespace {

// `count` copies of the shared two-quad model, "m1.obj"... in `folder`.
std::vector<std::string> CopyModels(const ScratchDir& scratch, const std::string& folder, int count) {
  std::filesystem::create_directories(scratch / folder);
  std::vector<std::string> models;
  for (int i = 1; i <= count; ++i) {
    models.push_back(scratch.file(folder + "/m" + std::to_string(i) + ".obj"));
    std::filesystem::copy_file(TestData("obj/seams.obj"), std::filesystem::u8path(models.back()));
  }
  return models;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(PavlexManyModels, EachModelIsSavedAndDrawnUnderItsPatternWithItsOutputTogether) {
  ScratchDir scratch;
  std::vector<std::string> args = CopyModels(scratch, "in", 4);
  std::filesystem::create_directories(scratch / "out");
  std::filesystem::create_directories(scratch / "png");
  const std::string out = scratch.file("out"), png = scratch.file("png");
  args.insert(args.end(), {"-j", "2", "-c",
                           "select uv 0:0; press Invert/H; print object; layout '" + png +
                               "/{stem}.png' 32x32 wireframe",
                           "-o", out + "/{stem}-uv.{ext}"});
  const PavlexRun run = RunPavlex(scratch, args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (int i = 1; i <= 4; ++i) {
    const std::string stem = "m" + std::to_string(i);
    EXPECT_TRUE(std::filesystem::exists(scratch / ("out/" + stem + "-uv.obj"))) << stem;
    EXPECT_TRUE(std::filesystem::exists(scratch / ("png/" + stem + ".png"))) << stem;
  }
  // Eight lines of `print object` per model, never two models' lines mixed.
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 32u) << run.out;
  for (size_t at = 0; at < lines.size(); at += 8) {
    const std::string name = lines[at].substr(0, lines[at].find(".obj: ") + 4);
    EXPECT_EQ(lines[at], name + ": object 0 seams");
    for (size_t i = at; i < at + 8; ++i) EXPECT_EQ(lines[i].rfind(name + ": ", 0), 0u) << lines[i];
  }
  // The models left the settings file as it was: none.
  EXPECT_FALSE(std::filesystem::exists(scratch / "settings.xml"));
}

TEST(PavlexManyModels, AFailingModelIsNamedAndTheOthersAreSaved) {
  ScratchDir scratch;
  std::vector<std::string> args = CopyModels(scratch, "in", 2);
  const std::string bad = scratch.file("in/bad.obj");
  std::filesystem::copy_file(TestData("obj/bad_number.obj"), std::filesystem::u8path(bad));
  args.insert(args.begin() + 1, bad);
  std::filesystem::create_directories(scratch / "out");
  args.insert(args.end(), {"-c", "select uv all", "-o", scratch.file("out") + "/{stem}.obj"});
  const PavlexRun run = RunPavlex(scratch, args);
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(std::filesystem::exists(scratch / "out/m1.obj"));
  EXPECT_TRUE(std::filesystem::exists(scratch / "out/m2.obj"));
  EXPECT_FALSE(std::filesystem::exists(scratch / "out/bad.obj"));
  EXPECT_NE(run.err.find("pavlex: " + bad + ": " + bad + ":2: malformed number"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("pavlex: 1 of 3 models failed"), std::string::npos) << run.err;
}

TEST(PavlexManyModels, NamesThatWouldCollideAreRefusedBeforeAnythingRuns) {
  ScratchDir scratch;
  std::vector<std::string> models = CopyModels(scratch, "a", 1);
  const std::vector<std::string> more = CopyModels(scratch, "b", 1);  // b/m1.obj: the same stem
  models.insert(models.end(), more.begin(), more.end());
  const std::string out = scratch.file("out");
  std::filesystem::create_directories(scratch / "out");
  struct Case {
    std::vector<std::string> options;
    std::string message;
  };
  const Case cases[] = {
      {{"-o", out + "/{stem}.obj"}, "would both write"},
      {{"-o", out + "/all.obj"}, "every one would write this file"},
      {{"-o", out + "/{name}.obj"}, "unknown placeholder {name}"},
      {{"-c", "layout " + out + "/all.png"}, "layout '" + out + "/all.png'"},
      {{"-o", "{dir}/{stem}.obj", "-j", "0"}, "-j needs"},
      {{"--list-widgets"}, "--list-widgets takes at most one model"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = models;
    args.insert(args.end(), c.options.begin(), c.options.end());
    const PavlexRun run = RunPavlex(scratch, args);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_TRUE(std::filesystem::is_empty(scratch / "out")) << c.message;
  }
}

TEST(PavlexManyModels, AScriptOnStandardInputReachesEveryModel) {
  ScratchDir scratch;
  std::vector<std::string> args = CopyModels(scratch, "in", 2);
  args.insert(args.end(), {"-s", "-"});
  const PavlexRun run = RunPavlex(scratch, args, "object 0\nprint document\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, args[0] + ": object 0 seams *\n" + args[1] + ": object 0 seams *\n") << run.out;
}

// With one model the patterns work too, in the same process as ever.
TEST(PavlexManyModels, OneModelTakesThePatterns) {
  ScratchDir scratch;
  const std::vector<std::string> models = CopyModels(scratch, "in", 1);
  const PavlexRun run =
      RunPavlex(scratch, {models[0], "-c", "layout '{dir}/{stem}.bmp' 16x16", "-o", "{dir}/{stem}-uv.{ext}"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(scratch / "in/m1-uv.obj"));
  EXPECT_TRUE(std::filesystem::exists(scratch / "in/m1.bmp"));
  EXPECT_TRUE(std::filesystem::exists(scratch / "settings.xml")) << "one model keeps its settings as ever";
}

}  // namespace
}  // namespace pavlex::cli_test
