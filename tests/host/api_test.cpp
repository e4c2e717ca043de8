// The host's exported C functions, called in the real host library.
// Documents are created with the host's C++ class, exactly as the host
// program does, and handed over as MQDocument handles.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "host/api/handles.h"
#include "host/api/host_exports.h"
#include "hostapi/mq_codes.h"
#include "platform/module_loader.h"

namespace {

using pavlex::host::HostDocument;
using pavlex::host::api::ToHandle;

struct TestDoc {
  HostDocument host;
  MQDocument doc = ToHandle(&host);
};

// A row of `n` unit quads in the xy-plane over 2n + 2 vertices, added to
// the document; answers its slot. Face q uses vertices 2q, 2q+2, 2q+3, 2q+1.
int32_t AddStrip(MQDocument doc, int32_t n) {
  MQObject o = MQ_CreateObject();
  for (int32_t i = 0; i <= n; ++i) {
    const MQPoint bottom{static_cast<float>(i), 0, 0}, top{static_cast<float>(i), 1, 0};
    MQObj_AddVertex(o, &bottom);
    MQObj_AddVertex(o, &top);
  }
  for (int32_t q = 0; q < n; ++q) {
    const int32_t v[4] = {2 * q, 2 * q + 2, 2 * q + 3, 2 * q + 1};
    EXPECT_EQ(MQObj_AddFace(o, 4, v), q);
  }
  return MQDoc_AddObject(doc, o);
}

std::vector<int32_t> Related(MQObject o, int32_t v) {
  std::vector<int32_t> faces(static_cast<size_t>(MQObj_GetVertexRelatedFaces(o, v, nullptr)), -1);
  EXPECT_EQ(MQObj_GetVertexRelatedFaces(o, v, faces.data()), static_cast<int32_t>(faces.size()));
  return faces;
}

// --- every name, and the unsupported ones ------------------------------------

// By their plain names, as a plug-in asks for them: on i686 Windows a
// decorated export (Name@8) would not be found.
TEST(HostExportsTest, All193NamesResolveByPlainName) {
  pavlex::platform::ModuleHandle lib = pavlex::platform::LoadModule(PAVLEX_HOST_LIBRARY);
  ASSERT_NE(lib, nullptr) << pavlex::platform::LastModuleError();
  int resolved = 0;
#define PAVLEX_CHECK_NAME(ret, name, params)                                                    \
  {                                                                                             \
    void* sym = pavlex::platform::FindSymbol(lib, #name);                                       \
    EXPECT_NE(sym, nullptr) << #name;                                                           \
    EXPECT_EQ(reinterpret_cast<void (*)()>(sym), reinterpret_cast<void (*)()>(&name)) << #name; \
    resolved += sym != nullptr;                                                                 \
  }
  MQ_HOST_FUNCTIONS(PAVLEX_CHECK_NAME)
#undef PAVLEX_CHECK_NAME
  EXPECT_EQ(resolved, 193);
  EXPECT_EQ(MQ_HOST_FUNCTION_COUNT, 193);
  pavlex::platform::ReleaseModule(lib);
}

// Arguments for a sweep: mode 0 passes null and zero, mode 1 garbage
// pointers (to a sentinel block that must stay untouched) and wild numbers.
alignas(64) unsigned char g_sentinel[4096];

template <typename T>
T SweepArg(int mode) {
  if constexpr (std::is_pointer_v<T> && std::is_function_v<std::remove_pointer_t<T>>) {
    return nullptr;
  } else if constexpr (std::is_pointer_v<T>) {
    return mode == 0 ? nullptr : reinterpret_cast<T>(g_sentinel);
  } else if constexpr (std::is_floating_point_v<T>) {
    return mode == 0 ? T{0} : T{NAN};
  } else {
    return mode == 0 ? T{0} : static_cast<T>(-123457);
  }
}

// Calls f with sweep arguments; answers whether the result was 0 (or -1
// when `minusOneOk`), and for void functions true. MQAPI: the host
// functions are __stdcall on i686 Windows.
template <typename R, typename... A>
bool SweepCall(R(MQAPI* f)(A...), int mode, bool minusOneOk) {
  if constexpr (std::is_void_v<R>) {
    f(SweepArg<A>(mode)...);
    return true;
  } else {
    const R r = f(SweepArg<A>(mode)...);
    if constexpr (std::is_pointer_v<R>) {
      return r == nullptr;
    } else if constexpr (std::is_floating_point_v<R>) {
      return r == R{0};
    } else {
      return r == R{0} || (minusOneOk && r == static_cast<R>(-1));
    }
  }
}

// The names the table marks "unsupported".
// clang-format off
const std::set<std::string> kUnsupported = {
    "MQ_GetWindowHandle", "MQ_ShowFileDialog", "MQ_ImportAxis", "MQ_ExportAxis", "MQ_LoadImage",
    "MQ_LoadImageW", "MQ_GetSystemPath", "MQ_GetSystemPathW", "MQ_StationCallback",
    "MQDoc_FindMappingFile", "MQDoc_FindMappingFileW", "MQDoc_GetMappingImage", "MQDoc_GetMappingImageW",
    "MQDoc_GetParentObject", "MQDoc_GetChildObjectCount", "MQDoc_GetChildObject", "MQDoc_GetGlobalMatrix",
    "MQDoc_GetGlobalInverseMatrix", "MQDoc_InsertObject", "MQDoc_RemoveObject", "MQDoc_CreateUserData",
    "MQDoc_DeleteUserData", "MQScene_InitSize", "MQScene_GetProjMatrix", "MQScene_GetViewMatrix",
    "MQScene_ValueArray", "MQScene_GetVisibleFace", "MQObj_Freeze", "MQObj_GetFaceChannelCoordinate",
    "MQObj_GetVertexWeight", "MQObj_SetVertexWeight", "MQObj_CopyVertexAttribute",
    "MQObj_SetFaceChannelCoordinate", "MQObj_GetFaceVertexColor", "MQObj_SetFaceVertexColor",
    "MQObj_GetFaceEdgeCrease", "MQObj_SetFaceEdgeCrease", "MQObj_GetFaceVertexNormal",
    "MQObj_SetFaceVertexNormal", "MQObj_OptimizeVertex", "MQObj_GetPatchType", "MQObj_SetPatchType",
    "MQObj_GetPatchSegment", "MQObj_SetPatchSegment", "MQObj_GetMirrorType", "MQObj_SetMirrorType",
    "MQObj_GetMirrorAxis", "MQObj_SetMirrorAxis", "MQObj_GetMirrorDistance", "MQObj_SetMirrorDistance",
    "MQObj_GetLatheType", "MQObj_SetLatheType", "MQObj_GetLatheAxis", "MQObj_SetLatheAxis",
    "MQObj_GetLatheSegment", "MQObj_SetLatheSegment", "MQObj_PointerArray", "MQObj_AllocUserData",
    "MQObj_FreeUserData", "MQObj_GetUserData", "MQObj_SetUserData", "MQObj_AllocVertexUserData",
    "MQObj_FreeVertexUserData", "MQObj_GetVertexUserData", "MQObj_SetVertexUserData",
    "MQObj_AllocFaceUserData", "MQObj_FreeFaceUserData", "MQObj_GetFaceUserData", "MQObj_SetFaceUserData",
    "MQMat_GetFloatArray", "MQMat_SetIntValue", "MQMat_SetFloatArray", "MQMat_AllocUserData",
    "MQMat_FreeUserData", "MQMat_GetUserData", "MQMat_SetUserData", "MQMat_GetValueArray",
    "MQMat_SetValueArray", "MQShaderNode_GetValueArray", "MQShaderNode_SetValueArray",
    "MQMatrix_FloatValue", "MQXmlDoc_Value", "MQCanvas_Value", "MQSVGDraw_Value"};
// clang-format on

TEST(HostExportsTest, UnsupportedFunctionsAnswerZeroWhateverTheArguments) {
  EXPECT_EQ(kUnsupported.size(), 84u);
  std::memset(g_sentinel, 0xAB, sizeof g_sentinel);
  int swept = 0;
#define PAVLEX_SWEEP_UNSUPPORTED(ret, name, params)                   \
  if (kUnsupported.count(#name)) {                                    \
    ++swept;                                                          \
    EXPECT_TRUE(SweepCall(&name, 0, false)) << #name << " (null)";    \
    EXPECT_TRUE(SweepCall(&name, 1, false)) << #name << " (garbage)"; \
  }
  MQ_HOST_FUNCTIONS(PAVLEX_SWEEP_UNSUPPORTED)
#undef PAVLEX_SWEEP_UNSUPPORTED
  EXPECT_EQ(swept, 84);
  for (unsigned char b : g_sentinel) ASSERT_EQ(b, 0xAB) << "an unsupported function wrote through a pointer";
}

TEST(HostExportsTest, SupportedFunctionsAnswerSafelyForNullHandles) {
  int swept = 0;
#define PAVLEX_SWEEP_NULL(ret, name, params)                                         \
  if (!kUnsupported.count(#name) && std::string(#name).rfind("MQ_Create", 0) != 0) { \
    ++swept;                                                                         \
    EXPECT_TRUE(SweepCall(&name, 0, true)) << #name;                                 \
  }
  MQ_HOST_FUNCTIONS(PAVLEX_SWEEP_NULL)
#undef PAVLEX_SWEEP_NULL
  EXPECT_EQ(swept, 193 - 84 - 2);
}

// --- faces, vertices, adjacency ----------------------------------------------

TEST(HostApiTest, FaceUniqueIdsStableAcrossDeleteInsertAndCompact) {
  TestDoc t;
  MQObject o = MQDoc_GetObject(t.doc, AddStrip(t.doc, 4));
  std::vector<int32_t> uid;
  for (int32_t f = 0; f < 4; ++f) uid.push_back(MQObj_GetFaceUniqueID(o, f));
  EXPECT_EQ(std::set<int32_t>(uid.begin(), uid.end()).size(), 4u);
  EXPECT_EQ(MQObj_GetFaceUniqueID(o, 4), 0);

  EXPECT_TRUE(MQObj_DeleteFace(o, 1, 0));
  EXPECT_EQ(MQObj_GetFaceCount(o), 4);
  EXPECT_EQ(MQObj_GetFacePointCount(o, 1), 0);
  EXPECT_EQ(MQObj_GetFaceIndexFromUniqueID(o, uid[1]), -1);
  EXPECT_EQ(MQObj_GetFaceIndexFromUniqueID(o, uid[3]), 3);
  const int32_t tri[3] = {0, 2, 1};
  EXPECT_EQ(MQObj_InsertFace(o, 0, 3, tri), 0);
  EXPECT_EQ(MQObj_GetFaceIndexFromUniqueID(o, uid[0]), 1);
  EXPECT_EQ(MQObj_GetFaceIndexFromUniqueID(o, uid[3]), 4);
  MQDoc_Compact(t.doc);
  EXPECT_EQ(MQObj_GetFaceCount(o), 4);
  for (int32_t k : {0, 2, 3})
    EXPECT_EQ(MQObj_GetFaceUniqueID(o, MQObj_GetFaceIndexFromUniqueID(o, uid[k])), uid[k]);
  EXPECT_EQ(MQObj_GetFaceIndexFromUniqueID(o, uid[3]), 3);
  EXPECT_EQ(MQObj_GetFaceIndexFromUniqueID(o, uid[1]), -1);
}

TEST(HostApiTest, RelatedFacesAfterEveryKindOfEdit) {
  TestDoc t;
  MQObject o = MQDoc_GetObject(t.doc, AddStrip(t.doc, 3));
  EXPECT_EQ(Related(o, 2), (std::vector<int32_t>{0, 1}));
  const int32_t quad[4] = {2, 3, 5, 4};  // a second face over the middle edge
  EXPECT_EQ(MQObj_AddFace(o, 4, quad), 3);
  EXPECT_EQ(Related(o, 2), (std::vector<int32_t>{0, 1, 3}));
  const int32_t tri[3] = {2, 4, 6};
  EXPECT_EQ(MQObj_InsertFace(o, 1, 3, tri), 1);
  EXPECT_EQ(Related(o, 2), (std::vector<int32_t>{0, 1, 2, 4}));
  EXPECT_EQ(Related(o, 6), (std::vector<int32_t>{1, 3}));
  EXPECT_TRUE(MQObj_DeleteFace(o, 0, 0));
  EXPECT_EQ(Related(o, 2), (std::vector<int32_t>{1, 2, 4}));
  EXPECT_EQ(MQObj_GetVertexRelatedFaces(o, 0, nullptr), 0);
  EXPECT_EQ(MQObj_GetVertexRefCount(o, 0), 0);
  EXPECT_TRUE(MQObj_InvertFace(o, 2));
  EXPECT_EQ(Related(o, 2), (std::vector<int32_t>{1, 2, 4}));
  MQObj_Compact(o);  // drops face 0 and vertices 0 and 1: all shift down
  EXPECT_EQ(MQObj_GetVertexCount(o), 6);
  EXPECT_EQ(Related(o, 0), (std::vector<int32_t>{0, 1, 3}));
  EXPECT_EQ(Related(o, 4), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(MQObj_GetVertexRelatedFaces(o, 99, nullptr), 0);
  EXPECT_EQ(MQObj_GetVertexRelatedFaces(nullptr, 0, nullptr), 0);
}

TEST(HostApiTest, FaceArraysCopyExactlyTheirCorners) {
  TestDoc t;
  MQObject o = MQDoc_GetObject(t.doc, AddStrip(t.doc, 2));
  const MQCoordinate uvIn[4] = {{0.1f, 0.2f}, {0.3f, 0.4f}, {0.5f, 0.6f}, {0.7f, 0.8f}};
  MQObj_SetFaceCoordinateArray(o, 1, uvIn);
  MQCoordinate uvOut[5];
  uvOut[4] = {-9, -9};
  MQObj_GetFaceCoordinateArray(o, 1, uvOut);
  EXPECT_EQ(std::memcmp(uvOut, uvIn, sizeof uvIn), 0);
  EXPECT_EQ(uvOut[4].u, -9);
  int32_t pts[5] = {-1, -1, -1, -1, -7};
  MQObj_GetFacePointArray(o, 1, pts);
  EXPECT_EQ(std::vector<int32_t>(pts, pts + 5), (std::vector<int32_t>{2, 4, 5, 3, -7}));
  MQCoordinate one{};
  MQObj_GetFaceCoordinate(o, 1, 2, &one);
  EXPECT_EQ(one.v, 0.6f);
  MQObj_GetFaceCoordinate(o, 1, 4, &one);
  EXPECT_EQ(one.u, 0.0f);
  // Deleted face: nothing read, nothing written, safe answers.
  MQObj_SetFaceMaterial(o, 0, 2);
  EXPECT_EQ(MQObj_GetFaceMaterial(o, 0), 2);
  MQObj_DeleteFace(o, 0, 0);
  pts[0] = -5;
  MQObj_GetFacePointArray(o, 0, pts);
  EXPECT_EQ(pts[0], -5);
  EXPECT_EQ(MQObj_GetFaceMaterial(o, 0), -1);
  EXPECT_EQ(MQObj_GetFaceVisible(o, 0), 0);
  EXPECT_EQ(MQObj_GetFaceVisible(o, 1), 1);
  EXPECT_EQ(MQObj_AddFace(o, 2, nullptr), -1);
  const int32_t bad[3] = {0, 1, 100};
  EXPECT_EQ(MQObj_AddFace(o, 3, bad), -1);
  EXPECT_EQ(MQObj_InsertFace(o, 5, 3, pts), -1);
  MQPoint p{7, 7, 7};
  MQObj_GetVertex(o, 4, &p);
  EXPECT_EQ(p.x, 2.0f);
  MQObj_GetVertex(o, -1, &p);
  EXPECT_EQ(p.x, 0.0f);
  EXPECT_EQ(MQObj_AddVertex(o, nullptr), -1);
}

// --- selections --------------------------------------------------------------

TEST(HostApiTest, SelectionsOfEveryKind) {
  TestDoc t;
  const int32_t slot = AddStrip(t.doc, 3);
  MQObject o = MQDoc_GetObject(t.doc, slot);
  // Vertices.
  EXPECT_TRUE(MQDoc_AddSelectVertex(t.doc, slot, 5));
  EXPECT_TRUE(MQDoc_AddSelectVertex(t.doc, slot, 5));  // exists: nonzero again
  EXPECT_TRUE(MQDoc_IsSelectVertex(t.doc, slot, 5));
  EXPECT_FALSE(MQDoc_IsSelectVertex(t.doc, slot, 4));
  EXPECT_FALSE(MQDoc_AddSelectVertex(t.doc, slot, 8));
  EXPECT_FALSE(MQDoc_AddSelectVertex(t.doc, slot + 1, 0));
  EXPECT_TRUE(MQDoc_DeleteSelectVertex(t.doc, slot, 5));
  EXPECT_FALSE(MQDoc_IsSelectVertex(t.doc, slot, 5));
  // Lines, faces, UV vertices; corners out of range are refused.
  EXPECT_TRUE(MQDoc_AddSelectLine(t.doc, slot, 1, 3));
  EXPECT_FALSE(MQDoc_AddSelectLine(t.doc, slot, 1, 4));
  EXPECT_FALSE(MQDoc_AddSelectLine(t.doc, slot, 1, -1));
  EXPECT_TRUE(MQDoc_IsSelectLine(t.doc, slot, 1, 3));
  EXPECT_FALSE(MQDoc_IsSelectLine(t.doc, slot, 1, 2));
  EXPECT_TRUE(MQDoc_AddSelectFace(t.doc, slot, 2));
  EXPECT_FALSE(MQDoc_AddSelectFace(t.doc, slot, 3));
  EXPECT_TRUE(MQDoc_IsSelectFace(t.doc, slot, 2));
  EXPECT_TRUE(MQDoc_AddSelectUVVertex(t.doc, slot, 2, 0));
  EXPECT_TRUE(MQDoc_AddSelectUVVertex(t.doc, slot, 0, 3));
  EXPECT_FALSE(MQDoc_AddSelectUVVertex(t.doc, slot, 2, 4));
  EXPECT_FALSE(MQDoc_IsSelectUVVertex(t.doc, slot, 2, 4));
  EXPECT_TRUE(MQDoc_IsSelectUVVertex(t.doc, slot, 2, 0));
  EXPECT_FALSE(MQDoc_IsSelectUVVertex(t.doc, slot, 2, 1));
  EXPECT_TRUE(MQDoc_DeleteSelectUVVertex(t.doc, slot, 0, 3));
  EXPECT_FALSE(MQDoc_IsSelectUVVertex(t.doc, slot, 0, 3));
  // A deleted face loses its selections and refuses new ones.
  EXPECT_TRUE(MQDoc_AddSelectUVVertex(t.doc, slot, 0, 1));
  EXPECT_TRUE(MQDoc_AddSelectFace(t.doc, slot, 0));
  MQObj_DeleteFace(o, 0, 0);
  EXPECT_FALSE(MQDoc_IsSelectFace(t.doc, slot, 0));
  EXPECT_FALSE(MQDoc_IsSelectUVVertex(t.doc, slot, 0, 1));
  EXPECT_FALSE(MQDoc_AddSelectUVVertex(t.doc, slot, 0, 1));
  EXPECT_FALSE(MQDoc_AddSelectLine(t.doc, slot, 0, 0));
  EXPECT_FALSE(MQDoc_DeleteSelectFace(t.doc, slot, 0));
  // Selections follow their faces through compaction.
  MQDoc_Compact(t.doc);
  EXPECT_TRUE(MQDoc_IsSelectLine(t.doc, slot, 0, 3));
  EXPECT_TRUE(MQDoc_IsSelectFace(t.doc, slot, 1));
  EXPECT_TRUE(MQDoc_IsSelectUVVertex(t.doc, slot, 1, 0));
  // ClearSelect clears only the kinds named.
  MQDoc_AddSelectVertex(t.doc, slot, 1);
  MQDoc_ClearSelect(t.doc, MQCLEARSELECT_UVVERTEX | MQCLEARSELECT_FACE);
  EXPECT_FALSE(MQDoc_IsSelectUVVertex(t.doc, slot, 1, 0));
  EXPECT_FALSE(MQDoc_IsSelectFace(t.doc, slot, 1));
  EXPECT_TRUE(MQDoc_IsSelectLine(t.doc, slot, 0, 3));
  EXPECT_TRUE(MQDoc_IsSelectVertex(t.doc, slot, 1));
  MQDoc_ClearSelect(t.doc, MQCLEARSELECT_ALL);
  EXPECT_FALSE(MQDoc_IsSelectLine(t.doc, slot, 0, 3));
  EXPECT_FALSE(MQDoc_IsSelectVertex(t.doc, slot, 1));
}

// --- document: objects, materials, ownership ---------------------------------

TEST(HostApiTest, ObjectSlotsAndStaleHandles) {
  TestDoc t;
  EXPECT_EQ(MQDoc_GetCurrentObjectIndex(t.doc), -1);
  const int32_t a = AddStrip(t.doc, 1), b = AddStrip(t.doc, 2);
  EXPECT_EQ(MQDoc_GetCurrentObjectIndex(t.doc), a);
  MQObject oa = MQDoc_GetObject(t.doc, a);
  const int32_t uidA = MQObj_GetIntValue(oa, MQOBJ_ID_UNIQUE_ID);
  EXPECT_GT(uidA, 0);
  EXPECT_NE(uidA, MQObj_GetIntValue(MQDoc_GetObject(t.doc, b), MQOBJ_ID_UNIQUE_ID));
  EXPECT_EQ(MQDoc_GetObjectFromUniqueID(t.doc, uidA), oa);
  EXPECT_EQ(MQDoc_AddObject(t.doc, oa), -1);  // already in the document
  MQDoc_DeleteObject(t.doc, a);
  EXPECT_EQ(MQDoc_GetObjectCount(t.doc), 2);
  EXPECT_EQ(MQDoc_GetObject(t.doc, a), nullptr);
  EXPECT_EQ(MQDoc_GetObjectIndex(t.doc, oa), -1);
  EXPECT_EQ(MQDoc_GetObjectFromUniqueID(t.doc, uidA), nullptr);
  EXPECT_EQ(MQObj_GetFaceCount(oa), 1);  // the stale handle stays readable
  MQObj_Delete(oa);                      // not the caller's: no effect
  EXPECT_EQ(MQDoc_GetCurrentObjectIndex(t.doc), b);
  EXPECT_EQ(MQDoc_GetObjectIndex(t.doc, MQDoc_GetObject(t.doc, b)), b);
  EXPECT_FALSE(MQDoc_AddSelectVertex(t.doc, a, 0));
  // A new object never reuses a unique ID.
  MQObject c = MQ_CreateObject();
  EXPECT_GT(MQObj_GetIntValue(c, MQOBJ_ID_UNIQUE_ID), uidA);
  EXPECT_EQ(MQDoc_GetObjectIndex(t.doc, c), -1);
  MQObj_Delete(c);
  MQObj_Delete(c);  // a second release is harmless
  // A clone is the caller's, with fresh IDs.
  MQObject clone = MQObj_Clone(MQDoc_GetObject(t.doc, b));
  EXPECT_EQ(MQObj_GetFaceCount(clone), 2);
  EXPECT_EQ(MQDoc_AddObject(t.doc, clone), 2);
  MQObj_Delete(clone);  // now the document's: no effect
  EXPECT_EQ(MQObj_GetFaceCount(MQDoc_GetObject(t.doc, 2)), 2);
}

TEST(HostApiTest, ObjectAttributesAndValueCodes) {
  TestDoc t;
  MQObject o = MQDoc_GetObject(t.doc, AddStrip(t.doc, 1));
  EXPECT_EQ(MQObj_GetIntValue(o, MQOBJ_ID_LOCKING), 0);
  MQObj_SetIntValue(o, MQOBJ_ID_LOCKING, 1);
  EXPECT_EQ(MQObj_GetIntValue(o, MQOBJ_ID_LOCKING), 1);
  const int32_t uid = MQObj_GetIntValue(o, MQOBJ_ID_UNIQUE_ID);
  MQObj_SetIntValue(o, MQOBJ_ID_UNIQUE_ID, 5);
  EXPECT_EQ(MQObj_GetIntValue(o, MQOBJ_ID_UNIQUE_ID), uid);
  EXPECT_EQ(MQObj_GetIntValue(o, 12345), 0);
  const float rgb[3] = {0.25f, 0.5f, 0.75f};
  MQObj_SetFloatArray(o, MQOBJ_ID_COLOR, rgb);
  float out[3] = {-1, -1, -1};
  MQObj_GetFloatArray(o, 0x999, out);
  EXPECT_EQ(out[0], -1);
  MQObj_GetFloatArray(o, MQOBJ_ID_COLOR, out);
  EXPECT_EQ(std::vector<float>(out, out + 3), std::vector<float>(rgb, rgb + 3));
  MQObj_SetVisible(o, 0);
  EXPECT_EQ(MQObj_GetVisible(o), 0);
  MQObj_SetShading(o, 0);
  EXPECT_EQ(MQObj_GetShading(o), 0);
  MQObj_SetSmoothAngle(o, 30);
  EXPECT_EQ(MQObj_GetSmoothAngle(o), 30.0f);
  MQObj_SetName(o, "obj");
  char name[8];
  MQDoc_GetUnusedObjectName(t.doc, name, sizeof name, "obj");
  EXPECT_STREQ(name, "obj1");
  MQDoc_GetUnusedObjectName(t.doc, name, 3, "box");
  EXPECT_STREQ(name, "bo");
  MQWChar wide[8];
  MQDoc_GetUnusedObjectNameW(t.doc, wide, 8, u"obj");
  EXPECT_EQ(std::u16string(wide), u"obj1");
}

TEST(HostApiTest, MaterialsAndScene) {
  TestDoc t;
  const int32_t slot = AddStrip(t.doc, 1);
  MQMaterial m = MQ_CreateMaterial();
  const MQColor red{1, 0, 0};
  MQMat_SetColor(m, &red);
  MQMat_SetDiffuse(m, 0.3f);
  MQMat_SetAmbient(m, 0.2f);
  MQMat_SetTextureName(m, "t\xC3\xA9x.png");  // "tex.png" with an e-acute
  EXPECT_EQ(MQDoc_AddMaterial(t.doc, m), 0);
  EXPECT_EQ(MQDoc_AddMaterial(t.doc, m), -1);
  EXPECT_EQ(MQDoc_GetCurrentMaterialIndex(t.doc), 0);
  EXPECT_EQ(MQDoc_GetMaterial(t.doc, 0), m);
  const int32_t uid = MQMat_GetIntValue(m, MQMAT_ID_UNIQUE_ID);
  EXPECT_EQ(MQDoc_GetMaterialFromUniqueID(t.doc, uid), m);
  MQColor c{};
  MQMat_GetColor(m, &c);
  EXPECT_EQ(c.r, 1.0f);
  EXPECT_EQ(MQMat_GetDiffuse(m), 0.3f);
  EXPECT_EQ(MQMat_GetAmbient(m), 0.2f);
  char tex[250];
  MQMat_GetTextureName(m, tex, sizeof tex);
  EXPECT_STREQ(tex, "t\xC3\xA9x.png");
  MQMat_GetTextureName(m, tex, 3);  // no room for the whole e-acute
  EXPECT_STREQ(tex, "t");
  MQMat_GetAlphaName(m, tex, sizeof tex);
  EXPECT_STREQ(tex, "");
  MQObject o = MQDoc_GetObject(t.doc, slot);
  MQObj_SetFaceMaterial(o, 0, 0);
  MQDoc_DeleteMaterial(t.doc, 0);
  EXPECT_EQ(MQObj_GetFaceMaterial(o, 0), -1);
  EXPECT_EQ(MQDoc_GetMaterial(t.doc, 0), nullptr);
  EXPECT_EQ(MQDoc_GetCurrentMaterialIndex(t.doc), -1);
  MQMat_Delete(m);  // the document's: no effect
  EXPECT_EQ(MQMat_GetDiffuse(m), 0.3f);
  MQMaterial loose = MQ_CreateMaterial();
  EXPECT_GT(MQMat_GetIntValue(loose, MQMAT_ID_UNIQUE_ID), uid);
  MQMat_Delete(loose);

  // Scene 0 has one white light; codes 0x402..0x406.
  EXPECT_EQ(MQDoc_GetScene(t.doc, 1), nullptr);
  MQScene scene = MQDoc_GetScene(t.doc, 0);
  ASSERT_NE(scene, nullptr);
  t.host.scene().lights.push_back({{0, 0, -1}, {0.5f, 0.25f, 1}});
  int32_t n = -1;
  MQScene_IntValue(scene, MQSCENE_LIGHT_COUNT, &n);
  EXPECT_EQ(n, 2);
  int32_t select = 1;
  MQScene_IntValue(scene, MQSCENE_LIGHT_SELECT, &select);
  float v[3] = {};
  MQScene_FloatValue(scene, MQSCENE_LIGHT_DIRECTION, v);
  EXPECT_EQ(v[2], -1.0f);
  MQScene_FloatValue(scene, MQSCENE_LIGHT_COLOR, v);
  EXPECT_EQ(v[1], 0.25f);
  select = 7;
  MQScene_IntValue(scene, MQSCENE_LIGHT_SELECT, &select);
  v[0] = 42;
  MQScene_FloatValue(scene, MQSCENE_LIGHT_COLOR, v);
  EXPECT_EQ(v[0], 42.0f);
}

TEST(HostApiTest, TriangulateChecksItsArguments) {
  TestDoc t;
  const MQPoint l[6] = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
  int32_t idx[13];
  std::fill(idx, idx + 13, -1);
  EXPECT_FALSE(MQDoc_Triangulate(t.doc, l, 6, idx, 11));
  EXPECT_FALSE(MQDoc_Triangulate(t.doc, l, 2, idx, 12));
  EXPECT_FALSE(MQDoc_Triangulate(t.doc, nullptr, 6, idx, 12));
  EXPECT_FALSE(MQDoc_Triangulate(t.doc, l, 6, nullptr, 12));
  EXPECT_FALSE(MQDoc_Triangulate(nullptr, l, 6, idx, 12));
  EXPECT_EQ(idx[0], -1);
  EXPECT_TRUE(MQDoc_Triangulate(t.doc, l, 6, idx, 12));
  EXPECT_EQ(idx[12], -1);
  double area = 0;
  for (int k = 0; k < 12; k += 3) {
    const MQPoint &a = l[idx[k]], &b = l[idx[k + 1]], &c = l[idx[k + 2]];
    area += ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) / 2;
  }
  EXPECT_DOUBLE_EQ(area, 3.0);
}

}  // namespace
