// What a user sees when something is wrong: one message naming the script
// and line, the exit status, and nothing saved.
#include <gtest/gtest.h>

#include "tests/cli/pavlex_process.h"

namespace pavlex::cli_test {
namespace {

struct ErrorCase {
  const char* name;
  std::vector<std::string> args;  // after the model (seams.obj)
  int status;
  const char* message;  // a part of stderr
};

// Test names say which case failed; the case itself prints as its name.
void PrintTo(const ErrorCase& testCase, std::ostream* out) { *out << testCase.name; }

const ErrorCase kErrorCases[] = {
    {"UnknownCommandSuggestsTheNearest", {"-c", "pres Select/group"}, 1,
     "pavlex: -c:1: unknown command 'pres' (did you mean 'press'?"},
    {"UnknownPathSuggestsTheNearestButtons", {"-c", "select uv all; press Select/grop"}, 1,
     "pavlex: -c:1: no button named 'Select/grop' (not in 'Pavlex'); nearest: 'Select/group', 'Select/floating'"},
    {"UnknownCheckBoxSuggestsCheckBoxes", {"-c", "check Invert/centre on"}, 1,
     "nearest: 'Invert/center', 'Trun/edge' or 'Grab/selected'"},
    {"BadNumberInARectangle", {"-c", "draw\nselect uv rect 0 0 x 1"}, 1, "-c:2: 'x' is not a number for the rectangle"},
    {"NonFiniteNumber", {"-c", "select uv rect 0 0 inf 1"}, 1, "'inf' is not a number"},
    {"BadNumberForASpinBox", {"-c", "set Grab/Gather abc"}, 1, "'abc' is not a number for 'Grab/Gather'"},
    {"BadFaceCorner", {"-c", "select uv 1"}, 1, "'1' is not a UV corner (FACE:CORNER"},
    {"FaceOutOfRange", {"-c", "select face 9"}, 1, "-c:1: no face 9 in seams (it has 2)"},
    {"CornerOutOfRange", {"-c", "select uv 0:4"}, 1, "face 0 has 4 corners, no corner 4"},
    {"VertexOutOfRange", {"-c", "select vertex 6"}, 1, "no vertex 6 in seams (it has 6)"},
    {"FaceDeletedTwice", {"-c", "delete face 1; delete face 1"}, 1, "face 1 is already deleted"},
    {"SelectOnADeletedFace", {"-c", "delete face 1; select uv 1:0"}, 1, "face 1 of seams is deleted"},
    {"UnknownObject", {"-c", "object Nope"}, 1, "no object Nope in the document (0 seams)"},
    {"WrongArgumentCount", {"-c", "press"}, 1, "-c:1: usage: press PATH"},
    {"OpenQuote", {"-c", "press \"Select/group"}, 1, "a double quote is not closed"},
    {"BadModifier", {"-c", "click Memory/Lock/1 alt"}, 1, "'alt' is not a key to hold (ctrl or shift)"},
    {"AnswerWithNothingOpen", {"-c", "answer ok"}, 1, "nothing is waiting for an answer"},
    {"MissingFileToOpen", {"-c", "open /nonexistent/x.obj"}, 1, "-c:1: /nonexistent/x.obj: cannot read"},
    {"SaveWithoutAName", {"-c", "close; save"}, 1, "the document came from no file"},
    {"ErrorsInTheSecondCommandOption", {"-c", "draw", "-c", "draw; bogus"}, 1, "-c#2:1: unknown command 'bogus'"},
    {"MissingScript", {"-s", "/nonexistent/script.txt"}, 1, "/nonexistent/script.txt: cannot read the script"},
    {"MissingPlugin", {"--plugin", "/nonexistent/libpavlex.so"}, 1, "/nonexistent/libpavlex.so"},
    {"UnknownOption", {"--bogus"}, 2, "--bogus"},
    {"OptionWithoutItsValue", {"-j"}, 2, "pavlex: Could not convert: --jobs"},
    {"TwoModelsSavedToOneFile", {"other.obj"}, 2, "with several models every one would write this file"},
    {"EmptySettingsName", {"--settings", ""}, 2, "pavlex: --settings needs a file name"},
    {"EmptyScriptName", {"-s", ""}, 2, "pavlex: -s needs a file name"},
    {"OutputOkWithoutAnImageExtension", {"-c", "press File/Output; set edit picture; press OK"}, 1,
     "-c:1: Cannot write picture: the name does not end in .bmp, .jpg, .jpeg, .png or .tga"},
};

class PavlexError : public ::testing::TestWithParam<ErrorCase> {};

// Each case also asks for a save: nothing may be written after an error.
TEST_P(PavlexError, ReportsWhereAndWhyAndSavesNothing) {
  ScratchDir scratch;
  std::vector<std::string> args = {TestData("obj/seams.obj")};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  args.push_back("-o");
  args.push_back((scratch / "out.obj").string());
  const PavlexRun run = RunPavlex(scratch, args);
  EXPECT_EQ(run.status, GetParam().status) << run.err;
  EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(scratch / "out.obj"));
}

INSTANTIATE_TEST_SUITE_P(Pavlex, PavlexError, ::testing::ValuesIn(kErrorCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// Every command is checked before the first runs: a typo on the last
// line leaves the files the earlier lines would have written alone.
TEST(PavlexErrors, AScriptWithABadLineRunsNothing) {
  ScratchDir scratch;
  WriteAll(scratch / "fix.txt", "select uv all\nsave " + (scratch / "early.obj").string() + "\n\npress Snap/Q x\n");
  const PavlexRun run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-s", (scratch / "fix.txt").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find((scratch / "fix.txt").string() + ":4: usage: press PATH"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(scratch / "early.obj"));
}

// A command that fails while running stops the script there: later
// commands do not run, and an existing output file keeps its content.
TEST(PavlexErrors, AFailingCommandStopsTheScriptAndKeepsOldFiles) {
  ScratchDir scratch;
  WriteAll(scratch / "out.obj", "old\n");
  const PavlexRun run = RunPavlex(
      scratch, {TestData("obj/seams.obj"), "-c", "print object; press Nowhere; print uv", "-o",
                (scratch / "out.obj").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.find("uv "), std::string::npos) << run.out;
  EXPECT_EQ(ReadAll(scratch / "out.obj"), "old\n");
}

// Runs that would claim work they did not do: an empty save name saves
// nothing, a folder as a script runs nothing, an endless script never ends.
TEST(PavlexErrors, NothingDoneIsNeverAnExitZero) {
  ScratchDir scratch;
  PavlexRun run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-o", ""});
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_NE(run.err.find("pavlex: -o needs a file name"), std::string::npos) << run.err;

  const std::string folder = TestData("obj");
  run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-s", folder, "-o", (scratch / "out.obj").string()});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find(folder + ": cannot read the script: is a folder"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(scratch / "out.obj"));

  run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-s", "-"}, std::string(17 << 20, '#'));
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("<stdin>: cannot read the script: larger than 16 MiB"), std::string::npos) << run.err;
#ifndef _WIN32
  run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-s", "/dev/zero"});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("/dev/zero: cannot read the script: not a regular file"), std::string::npos) << run.err;
#endif
}

// A model that is not an OBJ at all, or a script of binary junk, is a
// clean error, never a crash.
TEST(PavlexErrors, JunkInputIsAnErrorNotACrash) {
  ScratchDir scratch;
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919) % 256);
  WriteAll(scratch / "junk.obj", junk);
  WriteAll(scratch / "junk.txt", junk);
  PavlexRun run = RunPavlex(scratch, {(scratch / "junk.obj").string()});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("junk.obj"), std::string::npos) << run.err;
  run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-s", (scratch / "junk.txt").string()});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("junk.txt:1: "), std::string::npos) << run.err;
  run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c", ";;;\n\n;", "-c", "'"});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("-c#2:1: a single quote is not closed"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace pavlex::cli_test
