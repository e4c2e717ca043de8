// Every button of the Pavlex window, pressed on a small real model: a
// press that changed the document is one undo step, its undo brings back
// the state before it byte for byte (saved OBJ, UVs, selections, unique
// IDs), and its redo the state after it; a press that made no step changed
// nothing.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "host/driver/host_driver.h"
#include "tests/history/history_session.h"

namespace pavlex::testing {
namespace {

class HistoryButtonsTest : public HistorySessionTest {};

// What a person does inside the dialogs some buttons open, so that the
// whole dialog session is the press's one step.
const std::map<std::string, std::string>& DialogWork() {
  static const std::map<std::string, std::string> work = {
      {"Manipulate/Numerical", "set Move 0.125\npress Move\nset Move#2 -0.25\npress Move\npress Cancel"},
      {"File/Output", "press Cancel"},
  };
  return work;
}

std::vector<std::string> PavlexButtons(host::HostSession& session) {
  std::vector<std::string> buttons;
  for (const host::WidgetPathEntry& entry : host::HostDriver(session).listPaths()) {
    if (entry.window == "Pavlex" && entry.kind == host::WidgetKind::kButton) buttons.push_back(entry.path);
  }
  return buttons;
}

TEST_F(HistoryButtonsTest, EveryButtonUndoesAndRedoesExactly) {
  // 6 x 6 quads in 2 x 2 islands: symmetric, with seams, islands and edges
  // to grab across. The selection gives every tool something to act on: a
  // UV edge on the seam after face 2, corners nearby, faces, vertices and a line.
  const std::string model = GridFile(6, 2);
  const std::string setup = "open " + model +
                            "\nselect uv 2:1 2:2 7:1 14:1\nselect face 7 8 9 21\nselect vertex 8 9\nselect line 7:1";
  const std::vector<std::string> buttons = PavlexButtons(*session_);
  ASSERT_GT(buttons.size(), 40u) << "the window lists its buttons";

  int stepped = 0;
  for (const std::string& button : buttons) {
    SCOPED_TRACE(button);
    Do(setup);
    const std::string before = State();
    const size_t steps = UndoCount();

    const auto work = DialogWork().find(button);
    const std::string press = "press \"Pavlex::" + button + "\"" + (work != DialogWork().end() ? "\n" + work->second : "");
    messages_.clear();
    ASSERT_TRUE(Run(press)) << messages_;
    const std::string after = State();

    if (UndoCount() == steps) {
      EXPECT_EQ(after, before) << "a press that made no step changed nothing";
      continue;
    }
    ++stepped;
    ASSERT_EQ(UndoCount(), steps + 1) << "one press, one step";
    EXPECT_NE(after, before);
    Do("undo");
    EXPECT_EQ(State(), before) << "undo brings back the state before the press";
    Do("redo");
    EXPECT_EQ(State(), after) << "redo brings back the state after it";
  }
  EXPECT_GE(stepped, 15) << "most tools change this model";
}

}  // namespace
}  // namespace pavlex::testing
