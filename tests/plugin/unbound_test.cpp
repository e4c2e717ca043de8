// Before any host is bound every table entry is null, so these tests prove
// that the code under test does not call the host at all.
#include <gtest/gtest.h>

#include <cstring>

#include "plugin/hostlink/host_functions.h"
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"
#include "plugin/model/cmq_vertex_range.h"

namespace pavlex {
namespace {

bool TableIsEmpty() {
  static const HostFunctions empty;
  return std::memcmp(&Host(), &empty, sizeof empty) == 0;
}

TEST(HostBindingRefusalTest, MissingModuleLeavesTableEmpty) {
  EXPECT_EQ(BindHostFunctions(PAVLEX_MISSING_MODULE).status, HostBindStatus::kModuleNotLoaded);
  EXPECT_EQ(BindHostFunctions(nullptr).status, HostBindStatus::kModuleNotLoaded);
  EXPECT_FALSE(HostFunctionsBound());
  EXPECT_TRUE(TableIsEmpty());
}

// Resolution stops at the first missing name, and what did resolve before it
// is never published.
TEST(HostBindingRefusalTest, ModuleLackingOneFunctionLeavesTableEmpty) {
  const HostBindResult withoutLast = BindHostFunctions(PAVLEX_HOST_WITHOUT_LAST);
  EXPECT_EQ(withoutLast.status, HostBindStatus::kFunctionMissing);
  EXPECT_STREQ(withoutLast.missingFunction, "MQSVGDraw_Value");
  const HostBindResult withoutFirst = BindHostFunctions(PAVLEX_HOST_WITHOUT_FIRST);
  EXPECT_EQ(withoutFirst.status, HostBindStatus::kFunctionMissing);
  EXPECT_STREQ(withoutFirst.missingFunction, "MQ_GetWindowHandle");
  EXPECT_FALSE(HostFunctionsBound());
  EXPECT_TRUE(TableIsEmpty());
}

TEST(NullObjectTest, BehavesAsEmptyWithoutCallingTheHost) {
  const cmq::CMQObject object(nullptr, nullptr);
  EXPECT_EQ(object.GetIndex(), -1);
  EXPECT_EQ(object.GetFaceCount(), 0);
  EXPECT_EQ(object.GetVertexCount(), 0);
  EXPECT_TRUE(object.GetFacePointArray(0).empty());
  EXPECT_TRUE(object.GetFaceCorners(0).empty());
  EXPECT_FALSE(object.SetFaceCorners(0, {{0, 0.5f, 0.5f}}));
  EXPECT_TRUE(object.GetVertexRelatedFaces(0).empty());
  EXPECT_TRUE(object.TriangulateFace(0).empty());
  const MQPoint edge = object.GetEdgeVector(0, 0);
  EXPECT_EQ(edge.x, 0.0f);
  EXPECT_FALSE(object.IsSelectUVVertex(UVVertexKey::Pack(0, 0)));
  EXPECT_FALSE(object.AddSelectUVVertex(UVVertexKey::Pack(0, 0)));
  EXPECT_FALSE(object.IsSelectVertex(0));
  EXPECT_FALSE(object.AddSelectVertex(0));
  EXPECT_FALSE(object.IsSelectLine(0, 0));
  EXPECT_FALSE(object.AddSelectLine(0, 0));
  EXPECT_FALSE(object.IsSelectFace(0));
  EXPECT_FALSE(object.AddSelectFace(0));

  int faces = 0;
  for (const auto& face : cmq::CMQFaceRange(object)) faces += face != nullptr;
  int vertices = 0;
  for (int32_t vertex : cmq::CMQVertexRange(object)) vertices += vertex >= 0;
  EXPECT_EQ(faces, 0);
  EXPECT_EQ(vertices, 0);
}

}  // namespace
}  // namespace pavlex
