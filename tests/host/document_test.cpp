// The host's document model through its C++ classes: invariants that the
// C functions rely on (api_test.cpp checks them again through the C API).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/document/host_document.h"
#include "hostapi/mq_codes.h"

namespace pavlex::host {
namespace {

std::vector<int32_t> Related(const HostObject& o, int32_t v) {
  int32_t n = -1;
  const int32_t* p = o.relatedFaces(v, &n);
  return std::vector<int32_t>(p, p + n);
}

// A 3x1 strip of quads over 8 vertices: faces 0, 1, 2 share edges.
std::unique_ptr<HostObject> Strip() {
  auto o = std::make_unique<HostObject>();
  for (int i = 0; i < 4; ++i) {
    o->addVertex({static_cast<float>(i), 0, 0});
    o->addVertex({static_cast<float>(i), 1, 0});
  }
  for (int32_t q = 0; q < 3; ++q) {
    const int32_t v[4] = {2 * q, 2 * q + 2, 2 * q + 3, 2 * q + 1};
    EXPECT_EQ(o->addFace(4, v), q);
  }
  return o;
}

TEST(HostObjectTest, AddFaceCountsReferencesAndRejectsBadInput) {
  auto o = Strip();
  EXPECT_EQ(o->vertexRefCount(0), 1);
  EXPECT_EQ(o->vertexRefCount(2), 2);
  const int32_t bad[3] = {0, 1, 99};
  EXPECT_EQ(o->addFace(3, bad), -1);
  EXPECT_EQ(o->addFace(1, bad), -1);
  EXPECT_EQ(o->addFace(3, nullptr), -1);
  EXPECT_EQ(o->faceCount(), 3);
  EXPECT_EQ(o->cornerCount(1), 4);
  EXPECT_EQ(o->faceMaterial(1), -1);
  EXPECT_TRUE(o->faceVisible(1));
}

TEST(HostObjectTest, RelatedFacesFollowEdits) {
  auto o = Strip();
  EXPECT_EQ(Related(*o, 2), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(Related(*o, 0), (std::vector<int32_t>{0}));
  o->deleteFace(0, false);
  EXPECT_EQ(Related(*o, 2), (std::vector<int32_t>{1}));
  EXPECT_TRUE(Related(*o, 0).empty());
  const int32_t twice[4] = {2, 4, 2, 5};  // degenerate: vertex 2 twice
  EXPECT_EQ(o->insertFace(0, 4, twice), 0);
  EXPECT_EQ(Related(*o, 2), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(o->vertexRefCount(2), 3);
  const int32_t v = o->addVertex({9, 9, 9});
  EXPECT_TRUE(Related(*o, v).empty());
  o->compact();  // drops face slot 1 (deleted) and vertices 0, 1, v
  EXPECT_EQ(o->vertexCount(), 6);
  EXPECT_EQ(Related(*o, 0), (std::vector<int32_t>{0, 1}));  // old vertex 2
}

TEST(HostObjectTest, DeleteVertexWithAndWithoutFaces) {
  auto o = Strip();
  EXPECT_FALSE(o->deleteVertex(2, false));
  EXPECT_TRUE(o->deleteVertex(2, true));
  EXPECT_EQ(o->cornerCount(0), 0);
  EXPECT_EQ(o->cornerCount(1), 0);
  EXPECT_EQ(o->cornerCount(2), 4);
  EXPECT_TRUE(o->vertexDeleted(2));
  EXPECT_EQ(o->vertexRefCount(3), 0);
  const int32_t uses2[3] = {2, 4, 5};
  EXPECT_EQ(o->addFace(3, uses2), -1);
  const int32_t uid7 = o->vertexUniqueId(7);
  EXPECT_TRUE(o->deleteFace(2, true));
  EXPECT_TRUE(o->vertexDeleted(7));
  EXPECT_EQ(o->vertexFromUniqueId(uid7), -1);
}

TEST(HostObjectTest, InvertFaceCarriesUVAndLineSelections) {
  auto o = Strip();
  MQCoordinate* uv = o->faceUVs(0);
  for (int c = 0; c < 4; ++c) uv[c] = {static_cast<float>(c), 0};
  o->setUVSelected(0, 1, true);
  o->setLineSelected(0, 0, true);  // corners 0 -> 1, vertices 0 -> 2
  const uint64_t rev = o->structureRevision();
  EXPECT_TRUE(o->invertFace(0));
  EXPECT_GT(o->structureRevision(), rev);
  EXPECT_EQ(o->faceVertices(0)[0], 1);
  EXPECT_EQ(o->faceUVs(0)[0].u, 3.0f);
  EXPECT_TRUE(o->isUVSelected(0, 2));  // old corner 1 is now corner 2
  // The edge between vertices 0 and 2 is now corners 2 -> 3: line 2.
  EXPECT_TRUE(o->isLineSelected(0, 2));
  EXPECT_FALSE(o->isLineSelected(0, 0));
  EXPECT_EQ(o->faceVertices(0)[2], 2);
  EXPECT_EQ(o->faceVertices(0)[3], 0);
}

TEST(HostObjectTest, RevisionIgnoresUVsAndSelections) {
  auto o = Strip();
  const uint64_t rev = o->structureRevision();
  o->faceUVs(1)[0] = {0.5f, 0.5f};
  o->setFaceSelected(1, true);
  o->setVertexSelected(1, true);
  o->clearSelection(MQCLEARSELECT_ALL);
  EXPECT_EQ(o->structureRevision(), rev);
  o->setFaceMaterial(1, 0);
  EXPECT_GT(o->structureRevision(), rev);
}

TEST(HostObjectTest, CompactKeepsSelectionsAndCloneGetsFreshIds) {
  auto o = Strip();
  o->setFaceSelected(2, true);
  o->setUVSelected(2, 3, true);
  o->setVertexSelected(7, true);
  o->deleteFace(0, false);
  o->compact();
  EXPECT_TRUE(o->isFaceSelected(1));
  EXPECT_TRUE(o->isUVSelected(1, 3));
  EXPECT_TRUE(o->isVertexSelected(5));
  std::unique_ptr<HostObject> c(o->clone());
  EXPECT_NE(c->uniqueId(), o->uniqueId());
  EXPECT_EQ(c->faceCount(), 2);
  EXPECT_FALSE(c->isFaceSelected(1));
  EXPECT_EQ(c->faceFromUniqueId(c->faceUniqueId(1)), 1);
  c->merge(*c);
  EXPECT_EQ(c->faceCount(), 4);
  EXPECT_EQ(c->vertexCount(), 12);
}

TEST(HostDocumentTest, SlotsGraveyardAndCurrent) {
  HostDocument doc;
  EXPECT_EQ(doc.currentObject(), -1);
  auto* a = new HostObject();
  EXPECT_EQ(doc.adoptObject(a), 0);
  EXPECT_EQ(doc.adoptObject(a), -1);  // already owned
  EXPECT_EQ(doc.addObject(std::make_unique<HostObject>()), 1);
  EXPECT_EQ(doc.currentObject(), 0);
  const int32_t uid = a->uniqueId();
  EXPECT_EQ(doc.objectFromUniqueId(uid), a);
  doc.deleteObject(0);
  EXPECT_EQ(doc.object(0), nullptr);
  EXPECT_EQ(a->slot(), -1);  // stale handle stays readable
  EXPECT_TRUE(doc.ownsObject(a));
  EXPECT_EQ(doc.objectFromUniqueId(uid), nullptr);
  EXPECT_EQ(doc.currentObject(), 1);
  EXPECT_EQ(doc.objectSlotCount(), 2);
  EXPECT_EQ(doc.scene().lights.size(), 1u);
}

TEST(HostDocumentTest, DeletingAMaterialClearsFaceMaterials) {
  HostDocument doc;
  auto o = Strip();
  o->setFaceMaterial(1, 1);
  HostObject* obj = o.get();
  doc.addObject(std::move(o));
  const auto m0 = std::make_unique<HostMaterial>();
  EXPECT_EQ(doc.addMaterial(std::make_unique<HostMaterial>()), 0);
  EXPECT_EQ(doc.addMaterial(std::make_unique<HostMaterial>()), 1);
  HostMaterial* m1 = doc.material(1);
  EXPECT_NE(m1->uniqueId, doc.material(0)->uniqueId);
  EXPECT_EQ(doc.materialFromUniqueId(m1->uniqueId), m1);
  doc.deleteMaterial(1);
  EXPECT_EQ(obj->faceMaterial(1), -1);
  EXPECT_EQ(m1->slot, -1);
  EXPECT_TRUE(doc.ownsMaterial(m1));
  EXPECT_EQ(doc.materialFromUniqueId(m1->uniqueId), nullptr);
  EXPECT_FALSE(doc.ownsMaterial(m0.get()));
}

}  // namespace
}  // namespace pavlex::host
