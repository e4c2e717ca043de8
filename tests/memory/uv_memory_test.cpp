// Store and Restore of the Memory group: what a slot remembers, how it
// survives mesh edits, and the overwrite confirmation.
#include <gmock/gmock.h>

#include "hostapi/mq_codes.h"
#include "tests/memory/memory_session.h"

namespace pavlex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Corner = std::pair<int32_t, int32_t>;

class UVMemoryTest : public MemorySessionTest {};

TEST_F(UVMemoryTest, RestoreFindsTheSameCornersAfterEarlierFacesWereDeleted) {
  host::HostObject& strip = Strip();
  strip.setUVSelected(1, 1, true);
  strip.setUVSelected(2, 0, true);
  strip.setUVSelected(2, 2, true);
  // Locked and hidden objects are not stored, whatever they have selected.
  host::HostObject& locked = Strip();
  locked.locked = true;
  locked.setUVSelected(0, 0, true);
  host::HostObject& hidden = Strip();
  hidden.visible = false;
  hidden.setUVSelected(0, 0, true);
  session().document().setCurrentObject(strip.slot());

  EXPECT_FALSE(Press("Memory/Store/1").handled);
  EXPECT_TRUE(Down("Memory/Store/1"));

  // Every face index above the deleted face shifts down by one.
  strip.deleteFace(0, false);
  strip.compact();
  session().document().clearSelection(MQCLEARSELECT_ALL);
  EXPECT_TRUE(Press("Memory/Restore/1").handled);
  EXPECT_THAT(SelectedUVs(strip), ElementsAre(Corner{0, 1}, Corner{1, 0}, Corner{1, 2}));
  EXPECT_THAT(SelectedUVs(locked), IsEmpty());
  EXPECT_THAT(SelectedUVs(hidden), IsEmpty());

  // Restore adds to the selection and leaves the slot as it was.
  session().document().clearSelection(MQCLEARSELECT_ALL);
  strip.setUVSelected(0, 3, true);
  EXPECT_TRUE(Press("Memory/Restore/1").handled);
  EXPECT_THAT(SelectedUVs(strip), ElementsAre(Corner{0, 1}, Corner{0, 3}, Corner{1, 0}, Corner{1, 2}));

  // The face holding two of the corners goes: the third still comes back.
  strip.deleteFace(1, false);
  session().document().clearSelection(MQCLEARSELECT_ALL);
  EXPECT_TRUE(Press("Memory/Restore/1").handled);
  EXPECT_THAT(SelectedUVs(strip), ElementsAre(Corner{0, 1}));
}

TEST_F(UVMemoryTest, RestoreAnswersFalseForEmptySlotsAndDeletedObjects) {
  host::HostObject& strip = Strip();
  EXPECT_FALSE(Press("Memory/Restore/2").handled);

  // Nothing selected: the slot stays empty and the button released.
  EXPECT_FALSE(Press("Memory/Store/2").handled);
  EXPECT_FALSE(Down("Memory/Store/2"));
  EXPECT_FALSE(Press("Memory/Restore/2").handled);

  strip.setUVSelected(0, 0, true);
  Press("Memory/Store/2");
  EXPECT_TRUE(Down("Memory/Store/2"));
  session().document().deleteObject(strip.slot());
  host::HostObject& other = Strip();
  EXPECT_FALSE(Press("Memory/Restore/2").handled);
  EXPECT_THAT(SelectedUVs(other), IsEmpty());
}

TEST_F(UVMemoryTest, StoringIntoAFullSlotAsksFirstAndReplacesItWhole) {
  host::HostObject& strip = Strip();
  strip.setUVSelected(0, 0, true);
  Press("Memory/Store/3");
  EXPECT_THAT(answers_.asked, IsEmpty());

  session().document().clearSelection(MQCLEARSELECT_ALL);
  strip.setUVSelected(2, 2, true);
  answers_.answer = MQMODALRESULT_CANCEL;
  Press("Memory/Store/3");
  ASSERT_EQ(answers_.asked.size(), 1u);
  EXPECT_EQ(answers_.asked[0].message, u"Overwrite?");
  EXPECT_EQ(answers_.asked[0].title, u"Pavlex");
  EXPECT_EQ(answers_.asked[0].type, "okcancel");
  EXPECT_EQ(answers_.asked[0].parent, window());
  EXPECT_TRUE(Down("Memory/Store/3"));
  session().document().clearSelection(MQCLEARSELECT_ALL);
  Press("Memory/Restore/3");
  EXPECT_THAT(SelectedUVs(strip), ElementsAre(Corner{0, 0}));

  session().document().clearSelection(MQCLEARSELECT_ALL);
  strip.setUVSelected(2, 2, true);
  answers_.answer = MQMODALRESULT_OK;
  Press("Memory/Store/3");
  session().document().clearSelection(MQCLEARSELECT_ALL);
  Press("Memory/Restore/3");
  EXPECT_THAT(SelectedUVs(strip), ElementsAre(Corner{2, 2}));

  // Confirmed with nothing selected: the slot empties, the button releases.
  session().document().clearSelection(MQCLEARSELECT_ALL);
  Press("Memory/Store/3");
  EXPECT_EQ(answers_.asked.size(), 3u);
  EXPECT_FALSE(Down("Memory/Store/3"));
  EXPECT_FALSE(Press("Memory/Restore/3").handled);
}

}  // namespace
}  // namespace pavlex::testing
