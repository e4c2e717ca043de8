// undo and redo as commands of the language: their errors, what makes a
// step and what does not, structure edits and replaced documents as a
// whole, unique IDs, object attributes, dialogs as one step, and the
// plug-in's redraw after an undo.
#include <gtest/gtest.h>

#include <string>

#include "host/driver/host_driver.h"
#include "tests/history/history_session.h"

namespace pavlex::testing {
namespace {

class HistoryCommandsTest : public HistorySessionTest {};

TEST_F(HistoryCommandsTest, NothingToUndoOrRedoIsAClearErrorAndChangesNothing) {
  Do("open " + ObjData("seams.obj"));  // outside a step the history starts empty
  const std::string opened = State();
  EXPECT_EQ(Failure("redo"), "t:1: nothing to redo\n");
  Do("undo");  // the open itself
  EXPECT_EQ(Failure("undo"), "t:1: nothing to undo\n");
  Do("redo");
  EXPECT_EQ(State(), opened);
  EXPECT_EQ(Failure("redo"), "t:1: nothing to redo\n");
}

TEST_F(HistoryCommandsTest, CommandsThatChangeNothingMakeNoStepAndKeepTheRedoSteps) {
  Do("open " + ObjData("seams.obj") + "; select uv 0:0; select uv 0:1");
  ASSERT_EQ(UndoCount(), 3u);
  Do("undo");
  ASSERT_EQ(RedoCount(), 1u);
  // Reading, saving, redrawing, selecting what is selected, ticking a box:
  // nothing in the document changes.
  Do("print uv; print selection; help undo; save " + folder_.file("copy.obj") +
     "; draw; select uv 0:0; check \"Pavlex::Trun/edge\" on; minimize Select; restore Select");
  EXPECT_EQ(UndoCount(), 2u);
  EXPECT_EQ(RedoCount(), 1u);
  Do("redo");
  out_.clear();
  Do("print selection");
  EXPECT_EQ(out_, "uv 0 0\nuv 0 1\n");
}

TEST_F(HistoryCommandsTest, ANewCommandAfterUndoDropsTheRedoSteps) {
  Do("open " + ObjData("seams.obj") + "; select uv 0:0; select uv 1:0; undo; undo");
  EXPECT_EQ(RedoCount(), 2u);
  Do("select face 1");
  EXPECT_EQ(RedoCount(), 0u);
  EXPECT_EQ(Failure("redo"), "t:1: nothing to redo\n");
  out_.clear();
  Do("print selection");
  EXPECT_EQ(out_, "face 1\n");
}

TEST_F(HistoryCommandsTest, StructureEditsUndoWholeAndUniqueIdsStay) {
  Do("open " + GridFile(4, 2) + "; select uv 5:0 6:2; select face 5 9");
  const std::string before = State();
  Do("delete face 5 6");
  const std::string deleted = State();
  Do("compact");
  const std::string compacted = State();
  ASSERT_NE(compacted, deleted);
  Do("undo");
  EXPECT_EQ(State(), deleted) << "face slots and unique IDs back as they were before the compaction";
  Do("undo");
  EXPECT_EQ(State(), before) << "faces, corners, UVs, selections and the lossless save back";
  Do("redo; redo");
  EXPECT_EQ(State(), compacted);
  // Unique IDs resolve to the same faces after all that.
  const host::HostObject& grid = *session_->document().object(0);
  for (int32_t f = 0; f < grid.faceCount(); ++f) EXPECT_EQ(grid.faceFromUniqueId(grid.faceUniqueId(f)), f);
}

TEST_F(HistoryCommandsTest, OpenAndCloseUndoToTheOldDocumentWithItsFile) {
  const std::string grid = GridFile(3, 1);
  Do("open " + grid + "; select uv 0:0; press Invert/H");
  const std::string edited = State();
  const int32_t uid = session_->document().object(0)->uniqueId();
  Do("open " + ObjData("several_objects.obj"));
  const std::string other = State();
  Do("close");
  EXPECT_EQ(session_->document().objectSlotCount(), 0);
  Do("undo");
  EXPECT_EQ(State(), other);
  Do("undo");
  EXPECT_EQ(State(), edited) << "the edited grid, saved losslessly against its own file";
  EXPECT_EQ(session_->document().object(0)->uniqueId(), uid) << "the same object, not a copy";
  Do("redo; redo");
  EXPECT_EQ(session_->document().objectSlotCount(), 0);
}

TEST_F(HistoryCommandsTest, VisibilityLocksAndCurrentObjectAndMaterialUndo) {
  Do("open " + ObjData("materials.obj"));
  Do("open " + ObjData("several_objects.obj"));
  const std::string before = State();
  const size_t steps = UndoCount();
  Do("object far; hide object left right; lock object far; show object right");
  EXPECT_EQ(UndoCount(), steps + 4);
  const std::string after = State();
  Do("undo; undo; undo; undo");
  EXPECT_EQ(State(), before);
  Do("redo; redo; redo; redo");
  EXPECT_EQ(State(), after);
  Do("undo; undo; undo; undo; undo");  // back to materials.obj
  const std::string materials = State();
  Do("material 2");
  Do("undo");
  EXPECT_EQ(State(), materials);
}

TEST_F(HistoryCommandsTest, ADialogSessionIsOneStepAndUndoWaitsForItsEnd) {
  Do("open " + GridFile(3, 1) + "; select uv all");
  const std::string before = State();
  const size_t steps = UndoCount();
  Do("press Manipulate/Numerical\nset Move 0.125\npress Move\npress Move\nset Move#2 -0.5\npress Move\npress Cancel");
  EXPECT_EQ(UndoCount(), steps + 1);
  const std::string after = State();
  ASSERT_NE(after, before);
  Do("undo");
  EXPECT_EQ(State(), before) << "every press inside the dialog goes back at once";
  Do("redo");
  EXPECT_EQ(State(), after);

  EXPECT_EQ(Failure("press Manipulate/Numerical\nundo\npress Cancel"),
            "t:2: 'undo' cannot run while the dialog 'Numerical Manipulate' is open; finish it with its buttons first\n");
  EXPECT_EQ(State(), after);
}

TEST_F(HistoryCommandsTest, MemoryRestoreIsAStepAndStoreIsNot) {
  Do("open " + GridFile(3, 1) + "; select uv 0:0 4:2");
  const size_t steps = UndoCount();
  Do("press Memory/Store/1");
  EXPECT_EQ(UndoCount(), steps) << "the plug-in's slot is not the document";
  Do("select uv none");
  const std::string cleared = State();
  Do("press Memory/Restore/1");
  const std::string restored = State();
  ASSERT_NE(restored, cleared);
  Do("undo");
  EXPECT_EQ(State(), cleared);
  Do("redo");
  EXPECT_EQ(State(), restored);
}

// The plug-in gets its redraw (110) after an undo as after any command, so a
// UV lock set after a command pins its corner again once the command is
// undone.
TEST_F(HistoryCommandsTest, UVLocksApplyAgainAfterUndo) {
  Do("open " + GridFile(3, 1) + "; select uv 0:0");
  out_.clear();
  Do("print uv");
  const std::string original = out_;
  Do("press Manipulate/Numerical\nset Move 0.25\npress Move\npress Cancel");
  out_.clear();
  Do("print uv");
  const std::string moved = out_;
  ASSERT_NE(moved, original);
  Do("click Memory/Lock/1 ctrl");
  Do("undo");
  out_.clear();
  Do("print uv");
  EXPECT_EQ(out_, moved) << "the locked corner is pinned where it was locked";
  // With the slot emptied the step's own images come back exactly: the
  // redraw's pinning was taken back before the history moved again.
  Do("click Memory/Lock/1 shift; redo");
  out_.clear();
  Do("print uv");
  EXPECT_EQ(out_, moved);
  Do("undo");
  out_.clear();
  Do("print uv");
  EXPECT_EQ(out_, original);
}

TEST_F(HistoryCommandsTest, APressThroughTheDriverAloneIsAStepToo) {
  Do("open " + GridFile(3, 1) + "; select uv all");
  const std::string before = State();
  const size_t steps = UndoCount();
  host::HostDriver driver(*session_);
  ASSERT_TRUE(driver.press("Pavlex::Invert/H").done);
  EXPECT_EQ(UndoCount(), steps + 1);
  std::string error;
  ASSERT_TRUE(session_->undo(&error)) << error;
  EXPECT_EQ(State(), before);
}

TEST_F(HistoryCommandsTest, OpeningOutsideACommandClearsTheHistory) {
  Do("open " + GridFile(3, 1) + "; select uv all");
  ASSERT_GT(UndoCount(), 0u);
  std::string error;
  ASSERT_TRUE(session_->openDocument(ObjData("seams.obj"), &error)) << error;
  EXPECT_EQ(UndoCount(), 0u) << "no step may refer to the document that went";
  EXPECT_EQ(Failure("undo"), "t:1: nothing to undo\n");
}

}  // namespace
}  // namespace pavlex::testing
