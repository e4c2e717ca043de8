// Every wired button of the Pavlex window, pressed through the pavlex
// command on a small OBJ file, with the UVs or selection it must leave.
//
// seams.obj: two quads sharing the model edge of vertices 1 and 2 (0-based),
// split in UV by a seam:
//   face 0  (0,0) (0.4,0) (0.4,0.4) (0,0.4)     vertices 0 1 2 3
//   face 1  (0.6,0) (1,0) (1,0.4) (0.6,0.4)     vertices 1 4 5 2
#include <gtest/gtest.h>

#include "tests/cli/pavlex_process.h"

namespace pavlex::cli_test {
namespace {

// The output with its lines joined by '|', so one expectation reads as one line.
std::string Joined(const std::string& out) {
  std::string joined = out;
  for (char& c : joined) c = c == '\n' ? '|' : c;
  return joined;
}

struct ButtonCase {
  const char* name;
  const char* commands;
  const char* expected;  // the output, lines joined by '|'
};

// Face 0 untouched, as it reads in every case that leaves it alone.
#define FACE0 "uv 0 0 0 0|uv 0 1 0.400000006 0|uv 0 2 0.400000006 0.400000006|uv 0 3 0 0.400000006|"

// Test names say which case failed; the case itself prints as its name.
void PrintTo(const ButtonCase& testCase, std::ostream* out) { *out << testCase.name; }

const ButtonCase kButtonCases[] = {
    // Selection transfer, both ways.
    {"UVToObjectVertex", "select uv 1:0 1:1; press 'UV -> Object/V'; print selection",
     "uv 1 0|uv 1 1|vertex 1|vertex 4|"},
    {"UVToObjectLine", "select uv 0:0 0:1; press 'UV -> Object/L'; print selection", "uv 0 0|uv 0 1|line 0 0|"},
    {"UVToObjectFace", "select uv 1:0 1:1 1:2 1:3; press 'UV -> Object/F'; print selection",
     "uv 1 0|uv 1 1|uv 1 2|uv 1 3|face 1|"},
    {"ObjectToUVVertexCrossesTheSeam", "select vertex 2; press 'Object -> UV/V'; print selection",
     "uv 0 2|uv 1 3|vertex 2|"},
    {"ObjectToUVLine", "select line 0:1; press 'Object -> UV/L'; print selection", "uv 0 1|uv 0 2|line 0 1|"},
    {"ObjectToUVFace", "select face 1; press 'Object -> UV/F'; print selection",
     "uv 1 0|uv 1 1|uv 1 2|uv 1 3|face 1|"},
    // Select group.
    {"SelectFloatingDropsPartFaces", "select uv 1:0 1:1; press Select/floating; print selection", ""},
    {"SelectGroupWidensToTheIsland", "select uv 1:0 1:1; press Select/group; print selection",
     "uv 1 0|uv 1 1|uv 1 2|uv 1 3|"},
    {"SelectSameVertexCrossesTheSeam", "select uv 1:0 1:1; press 'Select/same vertex'; print selection",
     "uv 0 1|uv 1 0|uv 1 1|"},
    // Grab: V and Sew join the two sides of the seam, Gather only within its distance.
    {"GrabVertexPullsTheOtherSide", "select uv 1:0 1:3; press Grab/V; print uv",
     "uv 0 0 0 0|uv 0 1 0.600000024 0|uv 0 2 0.600000024 0.400000006|uv 0 3 0 0.400000006|"
     "uv 1 0 0.600000024 0|uv 1 1 1 0|uv 1 2 1 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    {"SewMeetsHalfway", "select uv 0:1 0:2 1:0 1:3; press Grab/Sew; print uv",
     "uv 0 0 0 0|uv 0 1 0.5 0|uv 0 2 0.5 0.400000006|uv 0 3 0 0.400000006|"
     "uv 1 0 0.5 0|uv 1 1 1 0|uv 1 2 1 0.400000006|uv 1 3 0.5 0.400000006|"},
    {"GatherWithinTheSpinDistance", "select uv 0:1 1:0; set Grab/Gather 0.5; press Grab/Gather; print uv",
     FACE0 "uv 1 0 0.400000006 0|uv 1 1 1 0|uv 1 2 1 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    {"GatherBeyondTheDefaultDistanceKeepsUVs", "select uv 0:1 1:0; press Grab/Gather; print uv",
     FACE0 "uv 1 0 0.600000024 0|uv 1 1 1 0|uv 1 2 1 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    // Grab attaches the face across a selected UV edge (face 0's right edge).
    {"GrabFaceAttachesTheNeighbour", "select uv 0:1 0:2; press Grab/F; print uv",
     FACE0 "uv 1 0 0.400000006 0|uv 1 1 0.799999952 0|uv 1 2 0.799999952 0.400000006|uv 1 3 0.400000006 0.400000006|"},
    {"GrabGroupMovesTheIsland", "select uv 0:1 0:2; press Grab/G; print uv",
     FACE0 "uv 1 0 0.400000006 0|uv 1 1 0.799999952 0|uv 1 2 0.799999952 0.400000006|uv 1 3 0.400000006 0.400000006|"},
    {"GrabReshapeLaysOutFrom3D", "select uv 0:1 0:2; press Grab/R; print uv",
     FACE0 "uv 1 0 0.400000006 0|uv 1 1 0.800000012 0|uv 1 2 0.800000012 0.400000036|uv 1 3 0.400000006 0.400000006|"},
    {"GrabSelectedOnlyLeavesUnselectedFaces", "select uv 0:1 0:2; check Grab/selected on; press Grab/F; print uv",
     FACE0 "uv 1 0 0.600000024 0|uv 1 1 1 0|uv 1 2 1 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    {"RegularizeKeepsTheSelectedEdge", "select uv 1:0 1:1; press Manipulate/Regularize; print uv",
     FACE0 "uv 1 0 0.600000024 0|uv 1 1 1 0|uv 1 2 1 0.399999976|uv 1 3 0.600000024 0.399999976|"},
    // Invert, Trun and Snap on the selection (0.6,0) and (1,0.4) of face 1.
    {"InvertH", "select uv 1:0 1:2; press Invert/H; print uv",
     FACE0 "uv 1 0 1 0|uv 1 1 1 0|uv 1 2 0.600000024 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    {"InvertV", "select uv 1:0 1:2; press Invert/V; print uv",
     FACE0 "uv 1 0 0.600000024 0.400000006|uv 1 1 1 0|uv 1 2 1 0|uv 1 3 0.600000024 0.400000006|"},
    {"InvertHAboutTheUnitCentre", "select uv 1:0 1:2; check Invert/center on; press Invert/H; print uv",
     FACE0 "uv 1 0 0.399999976 0|uv 1 1 1 0|uv 1 2 0 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    {"TurnU", "select uv 1:0 1:2; press Trun/U; print uv",
     FACE0 "uv 1 0 0.600000024 0|uv 1 1 1 0|uv 1 2 1 -0.400000006|uv 1 3 0.600000024 0.400000006|"},
    {"TurnD", "select uv 1:0 1:2; press Trun/D; print uv",
     FACE0 "uv 1 0 0.600000024 0.800000012|uv 1 1 1 0|uv 1 2 1 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    {"TurnL", "select uv 1:0 1:2; press Trun/L; print uv",
     FACE0 "uv 1 0 0.600000024 0|uv 1 1 1 0|uv 1 2 0.200000048 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    {"TurnR", "select uv 1:0 1:2; press Trun/R; print uv",
     FACE0 "uv 1 0 1.39999998 0|uv 1 1 1 0|uv 1 2 1 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    {"TurnLAboutTheUnitSquareEdge", "select uv 1:0 1:2; check Trun/edge on; press Trun/L; print uv",
     FACE0 "uv 1 0 -0.600000024 0|uv 1 1 1 0|uv 1 2 -1 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    {"SnapT", "select uv 1:0 1:2; press Snap/T; print uv",
     FACE0 "uv 1 0 0.600000024 0|uv 1 1 1 0|uv 1 2 1 0|uv 1 3 0.600000024 0.400000006|"},
    {"SnapB", "select uv 1:0 1:2; press Snap/B; print uv",
     FACE0 "uv 1 0 0.600000024 0.400000006|uv 1 1 1 0|uv 1 2 1 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    {"SnapL", "select uv 1:0 1:2; press Snap/L; print uv",
     FACE0 "uv 1 0 0.600000024 0|uv 1 1 1 0|uv 1 2 0.600000024 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    {"SnapR", "select uv 1:0 1:2; press Snap/R; print uv",
     FACE0 "uv 1 0 1 0|uv 1 1 1 0|uv 1 2 1 0.400000006|uv 1 3 0.600000024 0.400000006|"},
    // Equal Alloc spaces the four distinct u values evenly.
    {"EqualAlloc", "select uv all; press 'Manipulate/Equal Alloc'; print uv",
     "uv 0 0 0 0|uv 0 1 0.333333343 0|uv 0 2 0.333333343 0.400000006|uv 0 3 0 0.400000006|"
     "uv 1 0 0.666666687 0|uv 1 1 1 0|uv 1 2 1 0.400000006|uv 1 3 0.666666687 0.400000006|"},
};

class WindowButton : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(WindowButton, LeavesTheExpectedUVsAndSelection) {
  ScratchDir scratch;
  const PavlexRun run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c", GetParam().commands});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Joined(run.out), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Pavlex, WindowButton, ::testing::ValuesIn(kButtonCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// The sample's Mask is symmetric about x = 0: its right faces (1, 3) take
// the mirror copies of the left ones' UVs, the left ones keep theirs, and
// every vertex that found a partner leaves the selection.
TEST(PavlexWindow, SymmetrizeCopiesTheLeftHalfOfTheSampleMask) {
  ScratchDir scratch;
  const PavlexRun run =
      RunPavlex(scratch, {"-c", "object Mask; select vertex all; select face 1 3; press Manipulate/Symmetrize; "
                                "print uv; print selection"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Joined(run.out),
            "uv 0 0 0.449999988 0.25|uv 0 1 0.600000024 0.25|uv 0 2 0.600000024 0.400000006|"
            "uv 0 3 0.449999988 0.400000006|"
            "uv 1 0 0.600000024 0.25|uv 1 1 0.449999988 0.25|uv 1 2 0.449999988 0.400000006|"
            "uv 1 3 0.600000024 0.400000006|"
            "uv 2 0 0.449999988 0.400000006|uv 2 1 0.600000024 0.400000006|uv 2 2 0.600000024 0.550000012|"
            "uv 2 3 0.449999988 0.550000012|"
            "uv 3 0 0.600000024 0.400000006|uv 3 1 0.449999988 0.400000006|uv 3 2 0.449999988 0.550000012|"
            "uv 3 3 0.600000024 0.550000012|"
            "face 1|face 3|");
}

// Folding a group hides its buttons from the user; unfolding brings them back.
TEST(PavlexWindow, MinimizedGroupsCannotBePressedUntilRestored) {
  ScratchDir scratch;
  PavlexRun run = RunPavlex(scratch, {"-c", "minimize Snap; press Snap/T"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("-c:1: 'Snap/T' is in a folded group"), std::string::npos) << run.err;

  run = RunPavlex(scratch, {"-c", "minimize Snap; restore Snap; select uv all; press Snap/T"});
  EXPECT_EQ(run.status, 0) << run.err;
}

// Switched off, the window is hidden and nothing in it can be reached;
// switched on again, it can.
TEST(PavlexWindow, DeactivateHidesTheWindowAndActivateShowsIt) {
  ScratchDir scratch;
  PavlexRun run = RunPavlex(scratch, {"-c", "deactivate; press Select/group"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("no window is shown"), std::string::npos) << run.err;

  run = RunPavlex(scratch, {"-c", "deactivate; activate; draw; press Select/group"});
  EXPECT_EQ(run.status, 0) << run.err;

  run = RunPavlex(scratch, {"-c", "hide window Pavlex; press Select/group"});
  EXPECT_EQ(run.status, 1);
}

}  // namespace
}  // namespace pavlex::cli_test
