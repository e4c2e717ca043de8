// What the history keeps: only what a command changed, within its cap.
#include <gtest/gtest.h>

#include <string>

#include "tests/history/history_session.h"

namespace pavlex::testing {
namespace {

class HistoryMemoryTest : public HistorySessionTest {};

TEST_F(HistoryMemoryTest, AStepKeepsOnlyWhatChanged) {
  Do("open " + GridFile(100, 4));  // 10,000 faces, 40,000 corners
  const size_t object = session_->document().object(0)->memoryBytes();
  const size_t base = session_->history().bytes();
  Do("select uv 5000:0");
  const size_t oneCorner = session_->history().bytes() - base;
  EXPECT_LT(oneCorner, 512u) << "one corner's flag, not a block and not the object";
  Do("select uv 0:0 0:1 0:2 0:3; press Invert/H");
  const size_t oneFace = session_->history().bytes() - base - oneCorner;
  EXPECT_LT(oneFace, 2048u);
  Do("select uv all");
  EXPECT_LT(session_->history().bytes(), object / 4) << "a whole selection costs its flags, not the mesh";
}

TEST_F(HistoryMemoryTest, TheCapDropsTheOldestSteps) {
  StartSession(200 << 10);
  Do("open " + GridFile(100, 4));
  // Each step changes 40,000 corner flags: about 40 KB.
  for (int i = 0; i < 5; ++i) Do("select uv all; select uv none");
  EXPECT_LE(session_->history().bytes(), size_t{200} << 10);
  EXPECT_GE(UndoCount(), 3u);
  EXPECT_LE(UndoCount(), 5u);
  const size_t kept = UndoCount();
  for (size_t i = 0; i < kept; ++i) Do("undo");
  EXPECT_EQ(Failure("undo"), "t:1: nothing to undo\n");
  for (size_t i = 0; i < kept; ++i) Do("redo");
  out_.clear();
  Do("print selection");
  EXPECT_EQ(out_, "") << "the kept steps lead back to the last state";
}

TEST_F(HistoryMemoryTest, AStepBeyondTheCapClearsTheHistoryAndSaysSo) {
  StartSession(16 << 10);
  Do("open " + GridFile(100, 4) + "; select uv 0:0");
  ASSERT_GE(UndoCount(), 1u);
  messages_.clear();
  ASSERT_TRUE(Run("select uv all")) << messages_;
  EXPECT_EQ(messages_,
            "warning: the last command cannot be undone, nor anything before it: its changes need more than the "
            "history's limit of 16 KiB\n");
  EXPECT_EQ(UndoCount(), 0u);
  EXPECT_EQ(Failure("undo"), "t:1: nothing to undo\n");
  Do("deselect uv 1:1");
  EXPECT_EQ(UndoCount(), 1u) << "small steps are kept again";
}

// Writing the state that is already there is no change: a command that
// selects 40,000 corners of which one was not selected keeps that one
// corner's flag, and does not pass a cap that the whole selection would.
TEST_F(HistoryMemoryTest, RewritingWhatIsThereIsNoChangeToKeep) {
  StartSession(16 << 10);
  Do("open " + GridFile(100, 4));
  Do("select uv all");  // over the cap: the history is cleared
  Do("deselect uv 1:1");
  ASSERT_EQ(UndoCount(), 1u);
  messages_.clear();
  ASSERT_TRUE(Run("select uv all")) << messages_;
  EXPECT_EQ(messages_, "");
  EXPECT_EQ(UndoCount(), 2u);
  Do("select uv 0:0");
  EXPECT_EQ(UndoCount(), 2u) << "a corner selected again makes no step";
  Do("undo");
  const host::HostObject& grid = *session_->document().object(0);
  EXPECT_FALSE(grid.isUVSelected(1, 1));
  EXPECT_TRUE(grid.isUVSelected(1, 0) && grid.isUVSelected(9999, 3));
}

}  // namespace
}  // namespace pavlex::testing
