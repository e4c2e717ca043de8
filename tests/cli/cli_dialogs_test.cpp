// The plug-in's modal runs driven by pavlex commands: the Numerical
// Manipulate dialog, the "Overwrite?" message box of the Memory Store
// buttons, and the Lock buttons' modifier clicks.
//
// seams.obj, face 1: (0.6,0) (1,0) (1,0.4) (0.6,0.4); with all four
// corners selected the dialog opens on U 0.6..1, V 0..0.4, pivot (0.8, 0.2).
#include <gtest/gtest.h>

#include "tests/cli/pavlex_process.h"

namespace pavlex::cli_test {
namespace {

// The UVs of face 1 from `print uv`, "U V|" per corner.
std::string Face1(const std::string& out) {
  std::string uvs;
  for (size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string line = out.substr(at, end - at);
    if (line.rfind("uv 1 ", 0) == 0) uvs += line.substr(line.find(' ', 5) + 1) + "|";
  }
  return uvs;
}

struct DialogCase {
  const char* name;
  const char* inside;    // commands run inside the dialog, before Cancel
  const char* expected;  // Face1() afterwards
};

void PrintTo(const DialogCase& testCase, std::ostream* out) { *out << testCase.name; }

// Value buttons are seen through "Move", whose offsets follow the pivot:
// the selection's centre moves onto the pivot.
const DialogCase kDialogCases[] = {
    {"MoveOntoTheOpeningPivotChangesNothing", "press Move", "0.600000024 0|1 0|1 0.400000006|0.600000024 0.400000006|"},
    {"MoveByTypedOffsets", "set Move 0.1; set Move#2 -0.2; press Move",
     "0.700000048 -0.200000003|1.10000002 -0.200000003|1.10000002 0.200000003|0.700000048 0.200000003|"},
    {"PivotUHalf", "press 'pivot U/0.5'; press Move",
     "0.300000012 0|0.699999988 0|0.699999988 0.400000006|0.300000012 0.400000006|"},
    {"PivotUMinIsUMin", "press 'pivot U/min'; press Move",
     "0.400000036 0|0.800000012 0|0.800000012 0.400000006|0.400000036 0.400000006|"},
    {"PivotUMaxThenInit", "press 'pivot U/max'; press 'pivot U/Init'; press Move",
     "0.600000024 0|1 0|1 0.400000006|0.600000024 0.400000006|"},
    {"PivotVHalf", "press 'V/0.5'; press Move",
     "0.600000024 0.300000012|1 0.300000012|1 0.700000048|0.600000024 0.700000048|"},
    {"PivotVMin", "press 'V/min'; press Move",
     "0.600000024 -0.200000003|1 -0.200000003|1 0.200000003|0.600000024 0.200000003|"},
    {"PivotVMax", "press 'V/max'; press Move",
     "0.600000024 0.200000003|1 0.200000003|1 0.600000024|0.600000024 0.600000024|"},
    {"PivotVInit", "press 'V/0.5'; press 'V/Init'; press Move",
     "0.600000024 0|1 0|1 0.400000006|0.600000024 0.400000006|"},
    {"UMinZeroMovesThePivot", "press 'U min/0'; press Move",
     "0.300000012 0|0.699999988 0|0.699999988 0.400000006|0.300000012 0.400000006|"},
    {"UMinHalf", "press 'U min/0.5'; press Move",
     "0.550000012 0|0.949999988 0|0.949999988 0.400000006|0.550000012 0.400000006|"},
    {"UMinMaxIsUMax", "press 'U min/max'; press Move",
     "0.800000012 0|1.20000005 0|1.20000005 0.400000006|0.800000012 0.400000006|"},
    {"UMinInit", "press 'U min/0'; press 'U min/Init'; press Move",
     "0.600000024 0|1 0|1 0.400000006|0.600000024 0.400000006|"},
    {"UMaxOneAfterMin", "press 'U max/min'; press 'U max/1.0'; press Move",
     "0.600000024 0|1 0|1 0.400000006|0.600000024 0.400000006|"},
    {"UMaxHalf", "press 'U max/0.5'; press Move",
     "0.350000024 0|0.75 0|0.75 0.400000006|0.350000024 0.400000006|"},
    {"UMaxMinIsUMin", "press 'U max/min'; press Move",
     "0.400000036 0|0.800000012 0|0.800000012 0.400000006|0.400000036 0.400000006|"},
    {"UMaxInit", "press 'U max/0.5'; press 'U max/Init'; press Move",
     "0.600000024 0|1 0|1 0.400000006|0.600000024 0.400000006|"},
    {"VMinZeroAfterMax", "press 'V min/max'; press 'V min/0'; press Move",
     "0.600000024 0|1 0|1 0.400000006|0.600000024 0.400000006|"},
    {"VMinHalf", "press 'V min/0.5'; press Move",
     "0.600000024 0.249999985|1 0.249999985|1 0.649999976|0.600000024 0.649999976|"},
    {"VMinMaxIsVMax", "press 'V min/max'; press Move",
     "0.600000024 0.200000003|1 0.200000003|1 0.600000024|0.600000024 0.600000024|"},
    {"VMinInit", "press 'V min/0.5'; press 'V min/Init'; press Move",
     "0.600000024 0|1 0|1 0.400000006|0.600000024 0.400000006|"},
    {"VMaxOne", "press 'V max/1.0'; press Move",
     "0.600000024 0.300000012|1 0.300000012|1 0.700000048|0.600000024 0.700000048|"},
    {"VMaxHalf", "press 'V max/0.5'; press Move",
     "0.600000024 0.049999997|1 0.049999997|1 0.449999988|0.600000024 0.449999988|"},
    {"VMaxMinIsVMin", "press 'V max/min'; press Move",
     "0.600000024 -0.200000003|1 -0.200000003|1 0.200000003|0.600000024 0.200000003|"},
    {"VMaxInit", "press 'V max/0.5'; press 'V max/Init'; press Move",
     "0.600000024 0|1 0|1 0.400000006|0.600000024 0.400000006|"},
    // Mirrors and turns about the typed rectangle.
    {"InvertHorizontal", "press Invert/Horizontal", "1 0|0.600000024 0|0.600000024 0.400000006|1 0.400000006|"},
    {"InvertVertical", "press Invert/Vertical", "0.600000024 0.400000006|1 0.400000006|1 0|0.600000024 0|"},
    {"InvertAboutATypedRectangle", "set 'U min' 0; press Invert/Horizontal",
     "0.399999976 0|0 0|0 0.400000006|0.399999976 0.400000006|"},
    {"TurnU", "press Turn/U", "0.600000024 0|1 0|1 -0.400000006|0.600000024 -0.400000006|"},
    {"TurnD", "press Turn/D", "0.600000024 0.800000012|1 0.800000012|1 0.400000006|0.600000024 0.400000006|"},
    {"TurnL", "press Turn/L", "0.600000024 0|0.200000048 0|0.200000048 0.400000006|0.600000024 0.400000006|"},
    {"TurnR", "press Turn/R", "1.39999998 0|1 0|1 0.400000006|1.39999998 0.400000006|"},
    {"RotateAboutThePivot", "set Rotate 90; press Rotate",
     "1 2.98023224e-08|1 0.400000006|0.600000024 0.399999976|0.600000024 0|"},
    {"ScaleAboutThePivot", "set Scale 0.5; press Scale",
     "0.700000048 0.100000001|0.899999976 0.100000001|0.899999976 0.300000012|0.700000048 0.300000012|"},
};

class NumericalDialog : public ::testing::TestWithParam<DialogCase> {};

TEST_P(NumericalDialog, ActsOnTheSelectionUntilCancelled) {
  ScratchDir scratch;
  const std::string commands = std::string("select uv rect 0.5 -1 2 1; press Manipulate/Numerical; ") +
                               GetParam().inside + "; press Cancel; print uv";
  const PavlexRun run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c", commands});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Face1(run.out), GetParam().expected);
  EXPECT_TRUE(run.out.find("uv 0 1 0.400000006 0\n") != std::string::npos) << "face 0 is not selected";
}

INSTANTIATE_TEST_SUITE_P(Pavlex, NumericalDialog, ::testing::ValuesIn(kDialogCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// While the dialog runs only its widgets can be reached, and the commands
// after its Cancel reach the window again.
TEST(PavlexDialogs, OnlyTheRunningDialogCanBeReached) {
  ScratchDir scratch;
  PavlexRun run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c",
                                      "press Manipulate/Numerical; print widgets; press Cancel; print widgets"});
  ASSERT_EQ(run.status, 0) << run.err;
  const size_t cancel = run.out.find("Cancel\tbutton\n");
  ASSERT_NE(cancel, std::string::npos) << run.out;
  EXPECT_LT(run.out.find("Move#2\tdoublespinbox\n"), cancel);
  EXPECT_GT(run.out.find("Manipulate/Numerical\tbutton\n"), cancel) << run.out;

  run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c", "press Manipulate/Numerical; press Snap/T"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("-c:1: no button named 'Snap/T' (not in 'Numerical Manipulate'); nearest: 'Scale'"),
            std::string::npos)
      << run.err;
}

// A dialog works on the document it was opened on: commands that would
// change or replace that document under it are refused until it closes,
// and the output never renders a document that was closed meanwhile.
TEST(PavlexDialogs, DocumentCommandsWaitUntilTheDialogCloses) {
  ScratchDir scratch;
  const std::string picture = (scratch / "closed.png").string();
  const std::vector<std::string> refused = {"close",         "open " + TestData("obj/seams.obj"),
                                            "delete face 0", "compact",
                                            "save " + picture + ".obj", "hide object 0",
                                            "select uv all", "layout " + picture};
  for (const std::string& command : refused) {
    const std::string script = "press File/Output\n" + command + "\nset edit " + picture + "\npress OK";
    const PavlexRun run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c", script});
    EXPECT_EQ(run.status, 1) << command;
    const std::string verb = command.substr(0, command.find(' '));
    EXPECT_NE(run.err.find("-c:2: '" + verb + "' cannot run while the dialog 'FileOuput' is open"), std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(picture)) << command;
  }
  // Reading and the dialog's own widgets still work, and so does closing
  // the dialog by its close box.
  const PavlexRun run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c",
                                            "press File/Output; print object; set edit " + picture +
                                                "; press OK; press File/Output; hide window FileOuput; close"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(picture));
}

// A script must close what it opened, in the same script.
TEST(PavlexDialogs, AScriptThatEndsInsideADialogFailsAndSavesNothing) {
  ScratchDir scratch;
  const std::string out = (scratch / "out.obj").string();
  PavlexRun run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c", "select uv all; press Manipulate/Numerical; press Move",
                                      "-c", "press Cancel", "-o", out});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("pavlex: -c:1: the script ended while the dialog 'Numerical Manipulate' is open"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));

  WriteAll(scratch / "store.txt", "select uv 1:0\npress Memory/Store/1\npress Memory/Store/1\n");
  run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-s", (scratch / "store.txt").string(), "-o", out});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("store.txt:3: the script ended while the message box \"Overwrite?\" is open"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));
}

// "Overwrite?" takes `answer ok` or `answer cancel` and nothing else.
TEST(PavlexDialogs, StoreAsksBeforeOverwritingAMemorySlot) {
  ScratchDir scratch;
  const std::string prefix = "select uv 1:0; press Memory/Store/1; select uv 1:1; press Memory/Store/1; ";
  PavlexRun run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c",
                                      prefix + "answer cancel; select none; press Memory/Restore/1; print selection"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "uv 1 0\n") << "Cancel keeps the old content";

  run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c",
                            prefix + "answer ok; select none; press Memory/Restore/1; print selection"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "uv 1 0\nuv 1 1\n");

  run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c", prefix + "press Snap/L"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("-c:1: the message box \"Overwrite?\" is waiting for `answer ok` or `answer cancel`"),
            std::string::npos)
      << run.err;
}

// Memory slots are keyed by unique IDs: after the face before it is
// deleted and compacted away, a stored corner comes back at its new index.
TEST(PavlexDialogs, RestoredSelectionsFollowFacesThroughCompact) {
  ScratchDir scratch;
  const PavlexRun run = RunPavlex(
      scratch, {TestData("obj/seams.obj"), "-c",
                "select uv 1:2; press Memory/Store/2; select none; delete face 0; compact; press Memory/Restore/2; "
                "print selection; print tree"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, run.out.find("window")), "uv 0 2\n");
  EXPECT_NE(run.out.find("\"Memory/Store/2\" {text=\"2\", down=true}"), std::string::npos) << run.out;
}

// Ctrl-click locks the selected UVs in slot 1: every redraw puts them
// back. Shift-click releases the slot.
TEST(PavlexDialogs, LockedUVsReturnUntilTheLockIsReleased) {
  ScratchDir scratch;
  const PavlexRun run = RunPavlex(
      scratch, {TestData("obj/seams.obj"), "-c",
                "select uv 1:0 1:1; click Memory/Lock/1 ctrl; select uv all; press Snap/L; print uv; "
                "click Memory/Lock/1 shift; press Snap/R; draw; print uv"});
  ASSERT_EQ(run.status, 0) << run.err;
  const size_t second = run.out.find("uv 0 0", 1);
  ASSERT_NE(second, std::string::npos) << run.out;
  EXPECT_EQ(Face1(run.out.substr(0, second)), "0.600000024 0|1 0|0 0.400000006|0 0.400000006|");
  EXPECT_EQ(Face1(run.out.substr(second)), "1 0|1 0|1 0.400000006|1 0.400000006|");
}

}  // namespace
}  // namespace pavlex::cli_test
