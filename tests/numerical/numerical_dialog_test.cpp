// The Numerical Manipulate dialog opened from the Pavlex window's
// "Numerical" button, driven by a user while it is modal: its opening
// values, how the pivot and Move fields follow edits, and its operations.
#include <gmock/gmock.h>

#include <functional>
#include <map>
#include <string>
#include <utility>

#include "host/session/modal_driver.h"
#include "tests/plugin_window/pavlex_session.h"

namespace pavlex::testing {
namespace {

// Runs `script` inside the dialog while it is modal, then lets it close as
// its close box would, unless the script closed it.
class DialogScript : public host::ModalDriver {
 public:
  void runModal(host::HostSession& session, int32_t shown) override {
    ++runs;
    dialog = shown;
    host::HostDriver user(session);
    if (script) script(user);
  }
  std::function<void(host::HostDriver&)> script;
  int32_t runs = 0;
  int32_t dialog = 0;
};

class NumericalDialogTest : public PavlexSessionTest {
 protected:
  void SetUp() override {
    PavlexSessionTest::SetUp();
    session().setModalDriver(&dialogs_);
    ASSERT_TRUE(session().activate(plugin()));
  }
  void TearDown() override {
    if (session_ != nullptr) session().setModalDriver(nullptr);
    PavlexSessionTest::TearDown();
  }

  //  3---2
  //  |   |   one quad whose UVs span u 0.2..0.6, v 0.1..0.3, all selected
  //  0---1
  host::HostObject& SelectedQuad() {
    host::HostObject& quad = AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                                       {{{0, 1, 2, 3}, {{0.2f, 0.1f}, {0.6f, 0.1f}, {0.6f, 0.3f}, {0.2f, 0.3f}}}});
    for (int32_t c = 0; c < 4; ++c) quad.setUVSelected(0, c, true);
    return quad;
  }

  // Opens the dialog from the window and runs `script` in it.
  void Open(std::function<void(host::HostDriver&)> script) {
    dialogs_.script = std::move(script);
    const host::CommandResult result = driver().press("Pavlex::Manipulate/Numerical");
    EXPECT_TRUE(result.done) << result.error;
    EXPECT_FALSE(result.handled);
    EXPECT_EQ(dialogs_.runs, 1);
  }

  // The value of a dialog spin box, read as the user sees it.
  double Value(const std::string& path) {
    std::string error;
    const int32_t id = driver().findWidget(path, host::WidgetKind::kDoubleSpinBox, &error);
    EXPECT_NE(id, 0) << error;
    const double* position = property<double>(id, "position");
    return position != nullptr ? *position : -999.0;
  }
  void Set(const std::string& path, double value) {
    const host::CommandResult result = driver().set(path, value);
    EXPECT_TRUE(result.done) << result.error;
  }
  bool Press(const std::string& path) {
    const host::CommandResult result = driver().press(path);
    EXPECT_TRUE(result.done) << result.error;
    return result.handled;
  }

  DialogScript dialogs_;
};

MATCHER_P2(IsNearUV, u, v, "") {
  return std::abs(arg.u - static_cast<float>(u)) < 1e-6f && std::abs(arg.v - static_cast<float>(v)) < 1e-6f;
}

// Opening values as the user sees them: the bounds of the selection, their
// centre as pivot, offsets of exactly 0; every widget reachable by a path.
TEST_F(NumericalDialogTest, OpensWithTheSelectionRectanglePivotAndZeroOffsets) {
  SelectedQuad();
  std::map<std::pair<std::string, host::WidgetKind>, int> seen;
  Open([&](host::HostDriver& s) {
    EXPECT_EQ(Value("U min"), 0.2f);
    EXPECT_EQ(Value("U max"), 0.6f);
    EXPECT_EQ(Value("V min"), 0.1f);
    EXPECT_EQ(Value("V max"), 0.3f);
    // The opening pivot is the centre of the boxes, in double precision.
    EXPECT_EQ(Value("pivot U"), (static_cast<double>(0.2f) + static_cast<double>(0.6f)) * 0.5);
    EXPECT_EQ(Value("V"), (static_cast<double>(0.1f) + static_cast<double>(0.3f)) * 0.5);
    EXPECT_EQ(Value("Move"), 0.0);
    EXPECT_EQ(Value("Move#2"), 0.0);
    EXPECT_EQ(Value("Rotate"), 0.0);
    EXPECT_EQ(Value("Scale"), 1.0);
    for (const host::WidgetPathEntry& entry : s.listPaths()) {
      if (entry.window == "Numerical Manipulate") ++seen[{entry.path, entry.kind}];
    }
    const int32_t cancel = s.findWidget("Cancel", host::WidgetKind::kButton);
    EXPECT_THAT(property<int32_t>(cancel, "modalresult"), ::testing::Pointee(2));
    EXPECT_THAT(property<bool>(cancel, "cancel"), ::testing::Pointee(true));
    EXPECT_TRUE(s.press("Cancel").done);
  });
  // 6 rows of label, spin box and 4 buttons; 2 labels and 6 buttons of
  // Invert and Turn; Rotate, Move, Scale with their 4 spin boxes; Cancel.
  EXPECT_EQ(seen.size(), 6u * 6u + 8u + 3u + 4u + 1u);
  for (const auto& [key, count] : seen) EXPECT_EQ(count, 1) << key.first;
  // Closed and destroyed with the handler.
  EXPECT_EQ(driver().findWindow("Numerical Manipulate"), 0);
}

TEST_F(NumericalDialogTest, MoveOffsetsFollowThePivotAndMoveAppliesEachPress) {
  host::HostObject& quad = SelectedQuad();
  Open([&](host::HostDriver&) {
    Set("pivot U", 0.5);
    EXPECT_EQ(Value("Move"), 0.5f - (0.6f + 0.2f) * 0.5f);
    EXPECT_EQ(Value("Move#2"), 0.0);
    EXPECT_TRUE(Press("Move"));
    EXPECT_TRUE(Press("Move"));
    EXPECT_THAT(quad.faceUVs(0)[0], IsNearUV(0.4, 0.1));
    EXPECT_THAT(quad.faceUVs(0)[2], IsNearUV(0.8, 0.3));

    // A rectangle edit recentres the pivot and the offsets follow it.
    Set("U max", 1.0);
    // The pivot from the boxes in double precision; the offset from it in
    // single precision, less the opening centre.
    const double pivot = (static_cast<double>(0.2f) + 1.0) * 0.5;
    EXPECT_EQ(Value("pivot U"), pivot);
    EXPECT_EQ(Value("Move"), static_cast<float>(pivot) - (0.6f + 0.2f) * 0.5f);
    EXPECT_EQ(Value("Move#2"), 0.0);

    // "Init" brings back what the dialog opened with, the pivot following.
    EXPECT_FALSE(Press("U max/Init"));
    EXPECT_EQ(Value("U max"), 0.6f);
    EXPECT_EQ(Value("pivot U"), (static_cast<double>(0.2f) + static_cast<double>(0.6f)) * 0.5);
    EXPECT_EQ(Value("Move"), 0.0);
    Set("V", 0.9);
    EXPECT_FALSE(Press("V/Init"));
    // "Init" takes the centre of the opening bounds, their sum in single
    // precision: one step off the opening value above.
    EXPECT_EQ(Value("V"), (0.1f + 0.3f) * 0.5f);
    EXPECT_NE(Value("V"), (static_cast<double>(0.1f) + static_cast<double>(0.3f)) * 0.5);
    EXPECT_EQ(Value("Move#2"), 0.0);

    // Value buttons: the pivot goes to the rectangle's sides, "0.5" to 0.5.
    Press("pivot U/max");
    EXPECT_EQ(Value("pivot U"), 0.6f);
    Press("V min/0.5");
    EXPECT_EQ(Value("V min"), 0.5);
    EXPECT_EQ(Value("V"), (0.5 + static_cast<double>(0.3f)) * 0.5);
  });
}

TEST_F(NumericalDialogTest, RotateTurnsAboutThePivotOncePerPress) {
  host::HostObject& quad = AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                                     {{{0, 1, 2, 3}, {{0, 0}, {1, 0.5f}, {1, 1}, {0, 1}}}});
  quad.setUVSelected(0, 1, true);
  Open([&](host::HostDriver&) {
    Press("pivot U/0.5");
    Press("V/0.5");
    Set("Rotate", 90.0);
    EXPECT_TRUE(Press("Rotate"));
    EXPECT_THAT(quad.faceUVs(0)[1], IsNearUV(0.5, 1.0));
    EXPECT_TRUE(Press("Rotate"));
    EXPECT_THAT(quad.faceUVs(0)[1], IsNearUV(0.0, 0.5));
  });
  EXPECT_THAT(quad.faceUVs(0)[0], IsNearUV(0, 0));
  EXPECT_THAT(quad.faceUVs(0)[2], IsNearUV(1, 1));
}

TEST_F(NumericalDialogTest, ScaleMirrorsThroughThePivotAndReflectionsUseTheTypedRectangle) {
  host::HostObject& quad = SelectedQuad();
  Open([&](host::HostDriver&) {
    Set("Scale", -1.0);
    EXPECT_TRUE(Press("Scale"));
    EXPECT_THAT(quad.faceUVs(0)[0], IsNearUV(0.6, 0.3));
    EXPECT_THAT(quad.faceUVs(0)[2], IsNearUV(0.2, 0.1));
    Set("Scale", 1.0);
    Press("Scale");
    EXPECT_THAT(quad.faceUVs(0)[0], IsNearUV(0.6, 0.3));

    // Mirror about the typed rectangle's centre (u 0.5), not the pivot.
    Set("U max", 0.8);
    Set("pivot U", 0.0);
    EXPECT_TRUE(Press("Invert/Horizontal"));
    EXPECT_THAT(quad.faceUVs(0)[0], IsNearUV(0.4, 0.3));
    // "Turn" "U" across the typed V min, here 0.
    Press("V min/0");
    EXPECT_TRUE(Press("Turn/U"));
    EXPECT_THAT(quad.faceUVs(0)[0], IsNearUV(0.4, -0.3));
  });
}

}  // namespace
}  // namespace pavlex::testing
