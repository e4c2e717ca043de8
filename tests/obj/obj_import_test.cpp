// Importing OBJ files into the host, checked through the C functions a
// plug-in calls.
#include <gtest/gtest.h>

#include "tests/obj/obj_test_support.h"

namespace pavlex::testing {
namespace {

using host::ObjImport;

ObjImport Load(const std::string& name) {
  ObjImport import;
  std::string error;
  EXPECT_TRUE(host::LoadObjFile(ObjData(name), &import, &error)) << error;
  return import;
}

ObjImport LoadText(const std::string& text, const std::string& name = "inline.obj") {
  ObjImport import;
  std::string error;
  EXPECT_TRUE(host::LoadObjText(text, name, "", &import, &error)) << error;
  return import;
}

void ExpectUVs(const FaceView& face, const std::vector<MQCoordinate>& expected) {
  ASSERT_EQ(face.uvs.size(), expected.size());
  for (size_t c = 0; c < expected.size(); ++c) {
    EXPECT_EQ(Bits(face.uvs[c]), Bits(expected[c]))
        << "corner " << c << ": " << face.uvs[c].u << ", " << face.uvs[c].v;
  }
}

TEST(ObjImport, SeamCornersShareTheirVertexAndKeepTheirOwnUVs) {
  const ObjImport import = Load("seams.obj");
  ASSERT_EQ(MQDoc_GetObjectCount(Handle(import)), 1);
  const MQObject obj = ObjectAt(import, 0);
  ASSERT_EQ(MQObj_GetVertexCount(obj), 6);
  ASSERT_EQ(MQObj_GetFaceCount(obj), 2);
  const FaceView left = ReadFace(obj, 0), right = ReadFace(obj, 1);
  EXPECT_EQ(left.vertices, (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(right.vertices, (std::vector<int32_t>{1, 4, 5, 2}));
  ExpectUVs(left, {{0, 0}, {0.4f, 0}, {0.4f, 0.4f}, {0, 0.4f}});
  ExpectUVs(right, {{0.6f, 0}, {1, 0}, {1, 0.4f}, {0.6f, 0.4f}});
  EXPECT_EQ(MQObj_GetVertexRefCount(obj, 1), 2);
  EXPECT_EQ(MQObj_GetVertexRefCount(obj, 2), 2);
}

TEST(ObjImport, NgonsKeepEveryCorner) {
  const ObjImport import = Load("ngons.obj");
  const MQObject obj = ObjectAt(import, 0);
  ASSERT_EQ(MQObj_GetFaceCount(obj), 3);
  EXPECT_EQ(MQObj_GetFacePointCount(obj, 0), 3);
  EXPECT_EQ(MQObj_GetFacePointCount(obj, 1), 5);
  EXPECT_EQ(MQObj_GetFacePointCount(obj, 2), 6);
  ExpectUVs(ReadFace(obj, 1), {{0.3f, 0.1f}, {0.4f, 0.1f}, {0.43f, 0.2f}, {0.35f, 0.26f}, {0.27f, 0.2f}});
  // A file without o or g is one object named after the file.
  EXPECT_EQ(import.document->object(0)->name(), "ngons");
}

TEST(ObjImport, NegativeIndicesCountBackFromTheLastEntryRead) {
  const ObjImport import = Load("negative_indices.obj");
  const MQObject obj = ObjectAt(import, 0);
  ASSERT_EQ(MQObj_GetFaceCount(obj), 2);
  const FaceView first = ReadFace(obj, 0), second = ReadFace(obj, 1);
  EXPECT_EQ(first.vertices, (std::vector<int32_t>{0, 1, 2}));
  ExpectUVs(first, {{0.25f, 0.25f}, {0.75f, 0.25f}, {0.75f, 0.75f}});
  EXPECT_EQ(second.vertices, (std::vector<int32_t>{0, 1, 3}));
  ExpectUVs(second, {{0.25f, 0.25f}, {0.25f, 0.25f}, {0.25f, 0.75f}});
}

TEST(ObjImport, ObjectsFollowOAndGStatementsWithTheirOwnVertices) {
  const ObjImport import = Load("several_objects.obj");
  const host::HostDocument& doc = *import.document;
  ASSERT_EQ(MQDoc_GetObjectCount(Handle(import)), 3);
  EXPECT_EQ(doc.object(0)->name(), "left");
  EXPECT_EQ(doc.object(1)->name(), "right");
  EXPECT_EQ(doc.object(2)->name(), "far");
  EXPECT_EQ(MQDoc_GetCurrentObjectIndex(Handle(import)), 0);

  // "left" got its second face from the g after "right".
  const MQObject left = ObjectAt(import, 0);
  ASSERT_EQ(MQObj_GetFaceCount(left), 2);
  EXPECT_EQ(MQObj_GetVertexCount(left), 4);
  EXPECT_EQ(ReadFace(left, 1).vertices, (std::vector<int32_t>{0, 2, 3}));

  // "right" holds only the vertices it uses (file vertices 2, 3, 5, 6), in
  // file order; vertex 3 of the file is in both objects.
  const MQObject right = ObjectAt(import, 1);
  ASSERT_EQ(MQObj_GetVertexCount(right), 4);
  EXPECT_EQ(ReadFace(right, 0).vertices, (std::vector<int32_t>{0, 2, 3, 1}));
  EXPECT_EQ(Position(right, 1).x, 1.0f);
  EXPECT_EQ(Position(right, 1).y, 1.0f);

  // Faces without vt get UV (0, 0).
  ExpectUVs(ReadFace(ObjectAt(import, 2), 0), {{0, 0}, {0, 0}, {0, 0}});
}

TEST(ObjImport, GroupsNameTheEmptyObjectBeforeStartingNewOnes) {
  // The layout some modellers write: a default group around the vertices,
  // then the object's group before its faces.
  const ObjImport import = LoadText(
      "g default\nv 0 0 0\nv 1 0 0\nv 1 1 0\ng box\nusemtl x\nf 1 2 3\ng box\nf 3 2 1\ng\nf 1 3 2\n");
  ASSERT_EQ(import.document->objectSlotCount(), 2);
  EXPECT_EQ(import.document->object(0)->name(), "box");
  EXPECT_EQ(import.document->object(0)->faceCount(), 2);
  EXPECT_EQ(import.document->object(1)->name(), "default");
}

TEST(ObjImport, FileWithoutFacesGivesOneEmptyObject) {
  const ObjImport import = LoadText("# nothing but points\no cloud\nv 0 0 0\nv 1 1 1\n");
  ASSERT_EQ(import.document->objectSlotCount(), 1);
  EXPECT_EQ(import.document->object(0)->name(), "cloud");
  EXPECT_EQ(import.document->object(0)->faceCount(), 0);
  EXPECT_EQ(import.document->currentObject(), 0);
}

TEST(ObjImport, CornersWithoutVtGetUVZeroAlsoInMixedFaces) {
  const ObjImport import = Load("faces_without_vt.obj");
  const MQObject obj = ObjectAt(import, 0);
  ExpectUVs(ReadFace(obj, 0), {{0, 0}, {0, 0}, {0, 0}});
  ExpectUVs(ReadFace(obj, 1), {{0.5f, 0.5f}, {0.75f, 0.5f}, {0.5f, 0.5f}});
  ExpectUVs(ReadFace(obj, 2), {{0, 0}, {0.75f, 0.5f}, {0, 0}});
}

TEST(ObjImport, ThreeComponentVtGivesItsFirstTwo) {
  const ObjImport import = Load("vt_three_components.obj");
  ExpectUVs(ReadFace(ObjectAt(import, 0), 0), {{0.1f, 0.2f}, {0.3f, 0.4f}, {0.5f, 0.6f}});
}

TEST(ObjImport, LinesBecomeTwoCornerFacesAndSmoothingGroupsAreKept) {
  const ObjImport import = Load("lines_and_smoothing.obj");
  const host::HostObject& obj = *import.document->object(0);
  ASSERT_EQ(obj.faceCount(), 6);  // two quads, one line, a polyline of three segments
  EXPECT_EQ(obj.faceSmoothingGroup(0), 1);
  EXPECT_EQ(obj.faceSmoothingGroup(1), 2);
  const MQObject handle = ObjectAt(import, 0);
  EXPECT_EQ(ReadFace(handle, 2).vertices, (std::vector<int32_t>{0, 3}));
  ExpectUVs(ReadFace(handle, 2), {{0, 0}, {0, 1}});
  EXPECT_EQ(ReadFace(handle, 3).vertices, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(ReadFace(handle, 4).vertices, (std::vector<int32_t>{1, 4}));
  EXPECT_EQ(ReadFace(handle, 5).vertices, (std::vector<int32_t>{4, 5}));
  for (int32_t f = 2; f < 6; ++f) EXPECT_EQ(obj.faceSmoothingGroup(f), 0);
}

TEST(ObjImport, CrlfSpacingAndCommentsReadLikePlainLines) {
  const ObjImport crlf = Load("crlf.obj");
  EXPECT_EQ(crlf.document->object(0)->name(), "crlf");
  ExpectUVs(ReadFace(ObjectAt(crlf, 0), 0), {{0, 0}, {1, 0}, {1, 1}, {0, 1}});

  const ObjImport comments = Load("comments.obj");
  EXPECT_EQ(comments.document->object(0)->name(), "spaced  name");
  const MQObject obj = ObjectAt(comments, 0);
  ASSERT_EQ(MQObj_GetFaceCount(obj), 2);
  EXPECT_EQ(ReadFace(obj, 1).vertices, (std::vector<int32_t>{0, 2, 3}));
  ExpectUVs(ReadFace(obj, 0), {{0, 0}, {1, 0}, {1, 1}});
  EXPECT_TRUE(comments.warnings.empty());
}

TEST(ObjImport, ByteOrderMarkAndFinalCarriageReturnAreNoStatements) {
  const ObjImport import = LoadText("\xEF\xBB\xBFv 0 0 0\r\nv 1 0 0\r\nv 1 1 0\r\nf 1 2 3\r");
  EXPECT_EQ(import.document->object(0)->faceCount(), 1);
  EXPECT_TRUE(import.warnings.empty());
}

TEST(ObjImport, PositiveIndicesMayPointPastTheEntriesReadSoFar) {
  const ObjImport import =
      LoadText("v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1/4 2/5 3/4\nvt 0 0\nvt 0 0\nvt 0 0\nvt 0.5 0.25\nvt 1 1\n");
  ExpectUVs(ReadFace(ObjectAt(import, 0), 0), {{0.5f, 0.25f}, {1, 1}, {0.5f, 0.25f}});
}

TEST(ObjImport, UnsupportedStatementsWarnOnceAndAreIgnored) {
  const ObjImport import =
      LoadText("v 0 0 0\nv 1 0 0\nv 1 1 0\np 1\ncstype bspline\ncstype bezier\nf 1 2 3\n", "a.obj");
  ASSERT_EQ(import.warnings.size(), 2u);
  EXPECT_EQ(import.warnings[0], "a.obj:4: point elements ('p') are not loaded");
  EXPECT_EQ(import.warnings[1], "a.obj:5: statement 'cstype' is not supported; ignored");
  EXPECT_EQ(import.document->object(0)->faceCount(), 1);
}

TEST(ObjImport, NamesInLatin1AreRecodedToUtf8) {
  const ObjImport import = LoadText("o caf\xe9\nv 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\n", "l1.obj");
  EXPECT_EQ(import.document->object(0)->name(), "caf\xc3\xa9");
  ASSERT_EQ(import.warnings.size(), 1u);
  EXPECT_EQ(import.warnings[0], "l1.obj:1: a name is not UTF-8; read as Latin-1");
}

}  // namespace
}  // namespace pavlex::testing
