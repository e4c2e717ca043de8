// The live face and vertex walks against the real host.
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_vertex_range.h"
#include "tests/support/host_document_fixture.h"

namespace pavlex {
namespace {

using testing::HostDocumentTest;
using FaceWalkTest = HostDocumentTest;

std::vector<int32_t> WalkFaces(const cmq::CMQObject& object) {
  std::vector<int32_t> visited;
  for (const std::shared_ptr<cmq::CMQFace>& face : cmq::CMQFaceRange(object))
    visited.push_back(face->index());
  return visited;
}

TEST_F(FaceWalkTest, SkipsDeletedFacesAnywhere) {
  host::HostObject& strip = AddStrip();
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  EXPECT_EQ(WalkFaces(object), (std::vector<int32_t>{0, 1, 2}));
  strip.deleteFace(1, false);
  EXPECT_EQ(WalkFaces(object), (std::vector<int32_t>{0, 2}));
  strip.deleteFace(0, false);
  EXPECT_EQ(WalkFaces(object), (std::vector<int32_t>{2}));
  strip.deleteFace(2, false);
  EXPECT_TRUE(WalkFaces(object).empty());
}

TEST_F(FaceWalkTest, ObjectWithoutFacesGivesEmptyWalk) {
  AddObject({{0, 0, 0}}, {});
  EXPECT_TRUE(WalkFaces(cmq::CMQObject::Current(document())).empty());
}

// The walk asks the host at every step, so it sees edits made while it runs.
TEST_F(FaceWalkTest, SeesFacesDeletedAndAddedDuringTheWalk) {
  host::HostObject& strip = AddStrip();
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  std::vector<int32_t> visited;
  for (const std::shared_ptr<cmq::CMQFace>& face : cmq::CMQFaceRange(object)) {
    visited.push_back(face->index());
    if (face->index() == 0) {
      strip.deleteFace(1, false);
      const int32_t tri[3] = {0, 1, 2};
      strip.addFace(3, tri);
    }
  }
  EXPECT_EQ(visited, (std::vector<int32_t>{0, 2, 3}));
}

// Handles a caller keeps past their step stay intact: the storage kept for
// the next handle is only ever one that was given back.
TEST_F(FaceWalkTest, KeptHandlesStayDistinctWhileTheWalkGoesOn) {
  AddStrip();
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  std::vector<std::shared_ptr<cmq::CMQFace>> kept;
  for (const std::shared_ptr<cmq::CMQFace>& face : cmq::CMQFaceRange(object)) kept.push_back(face);
  ASSERT_EQ(kept.size(), 3u);
  for (size_t i = 0; i < kept.size(); ++i) {
    EXPECT_EQ(kept[i]->index(), static_cast<int32_t>(i));
    EXPECT_EQ(kept[i]->object(), &object);
  }
  kept.clear();
  EXPECT_EQ(WalkFaces(object), (std::vector<int32_t>{0, 1, 2}));
}

// Compaction shrinks the face count below the walk's index; the walk ends.
TEST_F(FaceWalkTest, EndsWhenTheObjectShrinksBelowTheIndex) {
  host::HostObject& strip = AddStrip();
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  std::vector<int32_t> visited;
  for (const std::shared_ptr<cmq::CMQFace>& face : cmq::CMQFaceRange(object)) {
    visited.push_back(face->index());
    if (face->index() == 1) {
      strip.deleteFace(0, false);
      strip.deleteFace(2, false);
      strip.compact();
    }
  }
  EXPECT_EQ(visited, (std::vector<int32_t>{0, 1}));
}

TEST_F(FaceWalkTest, VertexWalkSkipsUnreferencedAndDeletedVertices) {
  host::HostObject& strip = AddStrip();
  const int32_t loose = strip.addVertex({5, 5, 5});
  strip.deleteFace(0, true);  // vertices 0 and 1 lose their only face
  ASSERT_EQ(loose, 8);
  std::vector<int32_t> visited;
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  for (int32_t vertex : cmq::CMQVertexRange(object)) visited.push_back(vertex);
  EXPECT_EQ(visited, (std::vector<int32_t>{2, 3, 4, 5, 6, 7}));
}

}  // namespace
}  // namespace pavlex
