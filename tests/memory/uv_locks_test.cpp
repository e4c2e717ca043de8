// The Lock row of the Memory group: Ctrl adds the selection at its present
// UVs, redraws put locked UVs back, Shift and plain clicks switch slots off,
// and the end of the document releases everything.
#include <gmock/gmock.h>

#include "hostapi/mq_codes.h"
#include "tests/memory/memory_session.h"

namespace pavlex::testing {
namespace {

class UVLocksTest : public MemorySessionTest {
 protected:
  static MQCoordinate UV(const host::HostObject& object, int32_t face, int32_t corner) {
    return object.faceUVs(face)[corner];
  }
  static void SetUV(host::HostObject& object, int32_t face, int32_t corner, float u, float v) {
    object.faceUVs(face)[corner] = {u, v};
  }
};

MATCHER_P2(IsUV, u, v, "") {
  return arg.u == static_cast<float>(u) && arg.v == static_cast<float>(v);
}

TEST_F(UVLocksTest, RedrawsPutLockedUVsBackAndLeaveOtherMovedUVs) {
  host::HostObject& strip = Strip();
  strip.setUVSelected(1, 0, true);  // (1, 0)
  strip.setUVSelected(1, 1, true);  // (2, 0)
  Click("Memory/Lock/1", host::kCtrl);
  EXPECT_TRUE(Down("Memory/Lock/1"));

  // Snap the bottom corners and one top corner of face 1 to the top: the
  // redraw after the command puts the locked two back.
  strip.setUVSelected(1, 2, true);
  Press("Snap/T");
  EXPECT_THAT(UV(strip, 1, 0), IsUV(1, 0));
  EXPECT_THAT(UV(strip, 1, 1), IsUV(2, 0));
  EXPECT_THAT(UV(strip, 1, 2), IsUV(2, 0));

  // Moved behind the plug-in's back: the next draw restores them.
  SetUV(strip, 1, 0, 5, 5);
  SetUV(strip, 1, 3, 6, 6);
  session().draw();
  EXPECT_THAT(UV(strip, 1, 0), IsUV(1, 0));
  EXPECT_THAT(UV(strip, 1, 3), IsUV(6, 6));

  // Faces that shift keep their locks; locks stay on the object they were
  // made on, and nothing is enforced while the window is switched off.
  strip.deleteFace(0, false);
  strip.compact();
  SetUV(strip, 0, 0, 5, 5);
  session().draw();
  EXPECT_THAT(UV(strip, 0, 0), IsUV(1, 0));
  host::HostObject& other = Strip();
  SetUV(strip, 0, 0, 5, 5);
  session().draw();
  EXPECT_THAT(UV(strip, 0, 0), IsUV(5, 5));
  EXPECT_THAT(UV(other, 1, 0), IsUV(1, 0));
  session().document().setCurrentObject(strip.slot());
  ASSERT_FALSE(session().deactivate(plugin()));
  session().draw();
  EXPECT_THAT(UV(strip, 0, 0), IsUV(5, 5));
  ASSERT_TRUE(session().activate(plugin()));
  session().draw();
  EXPECT_THAT(UV(strip, 0, 0), IsUV(1, 0));
}

TEST_F(UVLocksTest, LockingACornerAgainKeepsItsFirstPositionAndLaterSlotsWin) {
  host::HostObject& strip = Strip();
  strip.setUVSelected(0, 2, true);  // (1, 1)
  Click("Memory/Lock/1", host::kCtrl);
  SetUV(strip, 0, 2, 3, 3);
  Click("Memory/Lock/1", host::kCtrl);
  EXPECT_THAT(UV(strip, 0, 2), IsUV(1, 1));
  SetUV(strip, 0, 2, 3, 3);
  session().draw();
  EXPECT_THAT(UV(strip, 0, 2), IsUV(1, 1));

  // Slot 2 locks the same corner elsewhere; slot 2 is applied after slot 1.
  session().deactivate(plugin());
  SetUV(strip, 0, 2, 0.25f, 0.75f);
  session().activate(plugin());
  Click("Memory/Lock/2", host::kCtrl);
  SetUV(strip, 0, 2, 3, 3);
  session().draw();
  EXPECT_THAT(UV(strip, 0, 2), IsUV(0.25f, 0.75f));
}

TEST_F(UVLocksTest, ShiftPlainClicksAndDocumentEndReleaseLockButtons) {
  host::HostObject& strip = Strip();

  // Nothing to lock: Ctrl and plain clicks leave the button released.
  Click("Memory/Lock/1", host::kCtrl);
  EXPECT_FALSE(Down("Memory/Lock/1"));
  Click("Memory/Lock/1", host::kNoModifier);
  EXPECT_FALSE(Down("Memory/Lock/1"));

  // A plain click switches a slot with locks off and on again.
  strip.setUVSelected(0, 0, true);
  Click("Memory/Lock/1", host::kCtrl);
  Click("Memory/Lock/1", host::kNoModifier);
  EXPECT_FALSE(Down("Memory/Lock/1"));
  SetUV(strip, 0, 0, 4, 4);
  session().draw();
  EXPECT_THAT(UV(strip, 0, 0), IsUV(4, 4));
  Click("Memory/Lock/1", host::kNoModifier);
  EXPECT_TRUE(Down("Memory/Lock/1"));
  EXPECT_THAT(UV(strip, 0, 0), IsUV(0, 0));

  // Ctrl wins over Shift; Shift alone empties the slot for good.
  Click("Memory/Lock/1", host::kCtrl | host::kShift);
  EXPECT_TRUE(Down("Memory/Lock/1"));
  Click("Memory/Lock/1", host::kShift);
  EXPECT_FALSE(Down("Memory/Lock/1"));
  Click("Memory/Lock/1", host::kNoModifier);
  EXPECT_FALSE(Down("Memory/Lock/1"));
  SetUV(strip, 0, 0, 4, 4);
  session().draw();
  EXPECT_THAT(UV(strip, 0, 0), IsUV(4, 4));

  // The document ends: every Lock button releases, Store buttons stay.
  Click("Memory/Lock/3", host::kCtrl);
  Click("Memory/Lock/4", host::kCtrl);
  Press("Memory/Store/1");
  ASSERT_TRUE(Down("Memory/Lock/3") && Down("Memory/Lock/4"));
  NewDocument();
  for (const char* slot : {"1", "2", "3", "4"}) EXPECT_FALSE(Down(std::string("Memory/Lock/") + slot)) << slot;
  EXPECT_TRUE(Down("Memory/Store/1"));
  // And the emptied slots cannot be switched on again.
  Click("Memory/Lock/3", host::kNoModifier);
  EXPECT_FALSE(Down("Memory/Lock/3"));
}

}  // namespace
}  // namespace pavlex::testing
