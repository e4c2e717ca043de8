// Saving documents as OBJ: byte-identical when nothing changed, a patch of
// vt references after UV edits, a clean file after structural edits, and
// never a damaged file when a save fails.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

#include "tests/obj/obj_test_support.h"

namespace pavlex::testing {
namespace {

using host::ObjImport;

std::string Save(const ObjImport& import, const TempFolder& folder, const std::string& name = "saved.obj") {
  std::string error;
  EXPECT_TRUE(host::SaveObjFile(*import.document, import.source.get(), folder.file(name), &error)) << error;
  return ReadBytes(folder.file(name));
}

// The tokens of an element line with each corner's vt part removed.
std::vector<std::string> WithoutTexcoords(const std::string& line) {
  std::vector<std::string> tokens;
  std::istringstream in(line);
  for (std::string token; in >> token;) {
    const size_t slash1 = token.find('/');
    if (slash1 != std::string::npos && tokens.size() > 0) {
      const size_t slash2 = token.find('/', slash1 + 1);
      token = token.substr(0, slash1) + (slash2 == std::string::npos ? "" : token.substr(slash2));
    }
    tokens.push_back(token);
  }
  return tokens;
}

bool IsElementLine(const std::string& line) {
  const size_t start = line.find_first_not_of(" \t");
  return start != std::string::npos &&
         (line.compare(start, 2, "f ") == 0 || line.compare(start, 2, "l ") == 0);
}

// Only vt references of f and l lines changed, and new lines are vt lines.
void ExpectOnlyTexcoordsChanged(const std::string& before, const std::string& after) {
  const std::vector<std::string> a = Lines(before), b = Lines(after);
  ASSERT_GE(b.size(), a.size());
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    EXPECT_TRUE(IsElementLine(a[i])) << "line " << i + 1 << " changed: " << a[i] << " -> " << b[i];
    EXPECT_EQ(WithoutTexcoords(a[i]), WithoutTexcoords(b[i])) << "line " << i + 1;
  }
  for (size_t i = a.size(); i < b.size(); ++i) EXPECT_EQ(b[i].rfind("vt ", 0), 0u) << b[i];
}

class ObjRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(ObjRoundTrip, UneditedSaveIsByteIdentical) {
  const ObjImport import = LoadObj(ObjData(GetParam()));
  TempFolder folder;
  EXPECT_EQ(Save(import, folder), ReadBytes(ObjData(GetParam())));
}

TEST_P(ObjRoundTrip, UVEditsPatchOnlyTexcoordsAndReadBackBitIdentical) {
  const ObjImport import = LoadObj(ObjData(GetParam()));
  EditEvenVertexUVs(import);
  TempFolder folder;
  const std::string saved = Save(import, folder);
  ExpectOnlyTexcoordsChanged(ReadBytes(ObjData(GetParam())), saved);

  const ObjImport again = LoadObj(folder.file("saved.obj"));
  EXPECT_EQ(Geometry(again), Geometry(import));
  // Seams: every face keeps its vertices, so shared vertices stay shared.
  for (int32_t s = 0; s < import.document->objectSlotCount(); ++s) {
    for (int32_t f = 0; f < MQObj_GetFaceCount(ObjectAt(import, s)); ++f) {
      EXPECT_EQ(ReadFace(ObjectAt(again, s), f).vertices, ReadFace(ObjectAt(import, s), f).vertices);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, ObjRoundTrip, ::testing::ValuesIn(kRoundTripFiles),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           std::string name = param.param;
                           name.resize(name.find('.'));
                           return name;
                         });

TEST(ObjExport, EditedFaceWithoutVtGetsVtOnEveryCornerOthersKeepNone) {
  const ObjImport import = LoadObj(ObjData("faces_without_vt.obj"));
  const MQObject obj = ObjectAt(import, 0);
  const MQCoordinate moved{0.25f, 0.5f};
  MQObj_SetFaceCoordinate(obj, 0, 0, &moved);
  TempFolder folder;
  const std::vector<std::string> lines = Lines(Save(import, folder));
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[9], "f 1/3 2/4 3/4");
  EXPECT_EQ(lines[11], "f 2//1 3/2 4");
  EXPECT_EQ(lines[12], "vt 0.25 0.5");
  EXPECT_EQ(lines[13], "vt 0 0");
}

TEST(ObjExport, NewTexcoordsKeepTheThirdComponentOfTheOldOnes) {
  const ObjImport import = LoadObj(ObjData("vt_three_components.obj"));
  const MQCoordinate moved{0.7f, 0.8f};
  MQObj_SetFaceCoordinate(ObjectAt(import, 0), 0, 0, &moved);
  MQObj_SetFaceCoordinate(ObjectAt(import, 0), 0, 2, &moved);
  TempFolder folder;
  const std::vector<std::string> lines = Lines(Save(import, folder));
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[7], "f 1/4 2/2 3/5");
  EXPECT_EQ(lines[8], "vt 0.7 0.8 0.5");
  EXPECT_EQ(lines[9], "vt 0.7 0.8");
}

TEST(ObjExport, TexcoordsAppendAfterAnUnfinishedLastLine) {
  // Last line without its line break, or with only the CR of one.
  for (const std::string ending : {"", "\r"}) {
    TempFolder folder;
    WriteBytes(folder.file("in.obj"), "v 0 0 0\r\nv 1 0 0\r\nv 1 1 0\r\nf 1 2 3" + ending);
    const ObjImport import = LoadObj(folder.file("in.obj"));
    const MQCoordinate moved{0.5f, 0.25f};
    MQObj_SetFaceCoordinate(ObjectAt(import, 0), 0, 1, &moved);
    EXPECT_EQ(Save(import, folder), "v 0 0 0\r\nv 1 0 0\r\nv 1 1 0\r\nf 1/1 2/2 3/1" + ending +
                                        (ending.empty() ? "\r\n" : "\n") + "vt 0 0\r\nvt 0.5 0.25\r\n");
    EXPECT_EQ(Geometry(LoadObj(folder.file("saved.obj"))), Geometry(import));
  }
}

TEST(ObjExport, AwkwardFloatsReadBackBitIdentical) {
  const ObjImport import = LoadObj(ObjData("ngons.obj"));
  const MQObject obj = ObjectAt(import, 0);
  const float values[] = {0.1f,
                          -0.0f,
                          1e-30f,
                          std::numeric_limits<float>::denorm_min(),
                          std::numeric_limits<float>::max(),
                          -std::numeric_limits<float>::min(),
                          1.0f / 3.0f,
                          16777217.0f,
                          -2.5e-7f,
                          0.99999994f,
                          123456.79f,
                          7e-45f};
  FaceView face = ReadFace(obj, 2);
  for (size_t c = 0; c < face.uvs.size(); ++c) face.uvs[c] = {values[2 * c], values[2 * c + 1]};
  MQObj_SetFaceCoordinateArray(obj, 2, face.uvs.data());
  TempFolder folder;
  Save(import, folder);
  const ObjImport again = LoadObj(folder.file("saved.obj"));
  EXPECT_EQ(Geometry(again), Geometry(import));
}

TEST(ObjExport, PolylinePointWithTwoUVsIsWrittenAsCleanFile) {
  // One point of a polyline is two host corners; giving them different UVs
  // cannot be patched into one token, so the file is generated afresh.
  const ObjImport import = LoadObj(ObjData("lines_and_smoothing.obj"));
  const MQCoordinate split{0.5f, 0.5f};
  MQObj_SetFaceCoordinate(ObjectAt(import, 0), 4, 0, &split);
  TempFolder folder;
  const std::string saved = Save(import, folder);
  EXPECT_EQ(saved.find("# Faces"), std::string::npos);
  const ObjImport again = LoadObj(folder.file("saved.obj"));
  EXPECT_EQ(Geometry(again), Geometry(import));
  for (int32_t f = 0; f < 6; ++f) {
    EXPECT_EQ(again.document->object(0)->faceSmoothingGroup(f),
              import.document->object(0)->faceSmoothingGroup(f));
  }
}

TEST(ObjExport, StructuralEditsWriteACleanFileThatReadsBackTheSame) {
  const ObjImport import = LoadObj(ObjData("several_objects.obj"));
  const MQObject right = ObjectAt(import, 1);
  const int32_t triangle[] = {0, 1, 2};
  ASSERT_GE(MQObj_AddFace(right, 3, triangle), 0);
  const MQCoordinate uv{0.125f, 0.875f};
  MQObj_SetFaceCoordinate(right, 1, 2, &uv);
  MQObj_DeleteFace(ObjectAt(import, 0), 0, 0);
  TempFolder folder;
  const std::string saved = Save(import, folder);
  EXPECT_EQ(saved.find('#'), std::string::npos);

  const ObjImport again = LoadObj(folder.file("saved.obj"));
  EXPECT_EQ(Geometry(again), Geometry(import));
  ASSERT_EQ(again.document->objectSlotCount(), 3);
  for (int32_t s = 0; s < 3; ++s)
    EXPECT_EQ(again.document->object(s)->name(), import.document->object(s)->name());
}

TEST(ObjExport, CleanFileKeepsSeamsSmoothingAndMaterials) {
  const ObjImport import = LoadObj(ObjData("materials.obj"));
  MQObj_DeleteFace(ObjectAt(import, 0), 3, 0);
  import.document->object(0)->setFaceSmoothingGroup(1, 7);
  TempFolder folder;
  Save(import, folder);
  const ObjImport again = LoadObj(folder.file("saved.obj"));
  EXPECT_TRUE(again.warnings.empty());
  for (int32_t f = 0; f < 3; ++f) {
    EXPECT_EQ(MQObj_GetFaceMaterial(ObjectAt(again, 0), f), MQObj_GetFaceMaterial(ObjectAt(import, 0), f));
    EXPECT_EQ(again.document->object(0)->faceSmoothingGroup(f),
              import.document->object(0)->faceSmoothingGroup(f));
  }

  const ObjImport seams = LoadObj(ObjData("seams.obj"));
  MQObj_SetName(ObjectAt(seams, 0), "renamed");  // a rename also needs a new file
  Save(seams, folder, "seams.obj");
  const ObjImport seamsAgain = LoadObj(folder.file("seams.obj"));
  EXPECT_EQ(seamsAgain.document->object(0)->name(), "renamed");
  EXPECT_EQ(Geometry(seamsAgain), Geometry(seams));
  EXPECT_EQ(ReadFace(ObjectAt(seamsAgain, 0), 1).vertices, (std::vector<int32_t>{1, 4, 5, 2}));
}

TEST(ObjExport, DocumentBuiltInTheHostSavesWithoutASource) {
  host::HostDocument doc;
  const MQObject obj = MQ_CreateObject();
  const MQPoint points[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
  for (const MQPoint& p : points) MQObj_AddVertex(obj, &p);
  const int32_t corners[] = {0, 1, 2};
  MQObj_AddFace(obj, 3, corners);
  const MQCoordinate uvs[] = {{0.5f, 0}, {1, 0}, {1, 0.5f}};
  MQObj_SetFaceCoordinateArray(obj, 0, uvs);
  MQObj_SetName(obj, "made");
  MQDoc_AddObject(host::api::ToHandle(&doc), obj);
  MQDoc_AddMaterial(host::api::ToHandle(&doc), MQ_CreateMaterial());
  MQObj_SetFaceMaterial(obj, 0, 0);

  TempFolder folder;
  std::string error;
  ASSERT_TRUE(host::SaveObjFile(doc, nullptr, folder.file("made.obj"), &error)) << error;
  const std::vector<std::string> names = FileNamesIn(folder);
  EXPECT_EQ(std::count(names.begin(), names.end(), "made.mtl"), 1);
  const ObjImport again = LoadObj(folder.file("made.obj"));
  EXPECT_EQ(again.document->object(0)->name(), "made");
  EXPECT_EQ(ReadFace(ObjectAt(again, 0), 0).vertices, (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(Bits(ReadFace(ObjectAt(again, 0), 0).uvs[2]), Bits(uvs[2]));
  EXPECT_EQ(MQObj_GetFaceMaterial(ObjectAt(again, 0), 0), 0);
}

// On Windows, taking the write permissions away sets the read-only
// attribute.
bool MakeReadOnly(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code failure;
  fs::permissions(fs::u8path(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove, failure);
  return !failure;
}

class ObjFailedSave : public ::testing::Test {
 protected:
  void SetUp() override {
    import_ = LoadObj(ObjData("seams.obj"));
    // Something to save that differs from what is on disk.
    MQObj_DeleteFace(ObjectAt(import_, 0), 0, 0);
  }
  bool SaveTo(const std::string& path) {
    return host::SaveObjFile(*import_.document, import_.source.get(), path, &error_);
  }
  ObjImport import_;
  std::string error_;
  TempFolder folder_;
};

TEST_F(ObjFailedSave, IntoAMissingFolder) {
  EXPECT_FALSE(SaveTo(folder_.file("missing/x.obj")));
  EXPECT_EQ(error_, folder_.file("missing/x.obj") + ": cannot create a file in '" + folder_.file("missing") +
                        "': No such file or directory");
  EXPECT_TRUE(FileNamesIn(folder_).empty());
}

TEST_F(ObjFailedSave, ThroughAFileUsedAsFolder) {
  WriteBytes(folder_.file("plain"), "data");
  EXPECT_FALSE(SaveTo(folder_.file("plain/x.obj")));
  EXPECT_EQ(ReadBytes(folder_.file("plain")), "data");
}

TEST_F(ObjFailedSave, OverAReadOnlyFileLeavesItAsItWas) {
  const std::string path = folder_.file("keep.obj");
  WriteBytes(path, "original");
  ASSERT_TRUE(MakeReadOnly(path));
  EXPECT_FALSE(SaveTo(path));
  EXPECT_EQ(error_, path + ": cannot save: the file is read-only");
  EXPECT_EQ(ReadBytes(path), "original");
  EXPECT_EQ(FileNamesIn(folder_), std::vector<std::string>{"keep.obj"});
}

TEST_F(ObjFailedSave, OverAFolder) {
  std::filesystem::create_directory(folder_.file("dir.obj"));
  EXPECT_FALSE(SaveTo(folder_.file("dir.obj")));
  EXPECT_EQ(error_, folder_.file("dir.obj") + ": cannot save: not a regular file");
}

// The permissions of the replaced file: its mode bits on Linux, its
// attributes (hidden) on Windows.
TEST_F(ObjFailedSave, SuccessfulSaveReplacesAndKeepsPermissions) {
  const std::string path = folder_.file("replace.obj");
  WriteBytes(path, "old");
#ifdef _WIN32
  const std::wstring wide = std::filesystem::u8path(path).wstring();
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN;
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), kept));
  ASSERT_TRUE(SaveTo(path)) << error_;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(attributes & kept, kept);
#else
  namespace fs = std::filesystem;
  const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(path, mode, fs::perm_options::replace);
  ASSERT_TRUE(SaveTo(path)) << error_;
  EXPECT_EQ(fs::status(path).permissions(), mode);
#endif
  EXPECT_EQ(FileNamesIn(folder_), std::vector<std::string>{"replace.obj"});
  EXPECT_EQ(Geometry(LoadObj(path)), Geometry(import_));
}

// The OBJ and its material library are one set: when the library cannot
// be replaced, the OBJ is not either.
TEST_F(ObjFailedSave, ARefusedLibraryLeavesTheWholeSetAsItWas) {
  ObjImport import = LoadObj(ObjData("materials.obj"));
  const MQColor darker{0.4f, 0.05f, 0.05f};
  MQMat_SetColor(MQDoc_GetMaterial(Handle(import), 0), &darker);
  WriteBytes(folder_.file("edited.obj"), "old obj");
  WriteBytes(folder_.file("edited.mtl"), "old mtl");
  ASSERT_TRUE(MakeReadOnly(folder_.file("edited.mtl")));
  EXPECT_FALSE(host::SaveObjFile(*import.document, import.source.get(), folder_.file("edited.obj"), &error_));
  EXPECT_EQ(error_, folder_.file("edited.mtl") + ": cannot save: the file is read-only");
  EXPECT_EQ(ReadBytes(folder_.file("edited.obj")), "old obj");
  EXPECT_EQ(ReadBytes(folder_.file("edited.mtl")), "old mtl");
  EXPECT_EQ(FileNamesIn(folder_), (std::vector<std::string>{"edited.mtl", "edited.obj"}));
}

// A link is followed: the file it leads to gets the new text and the link
// stays a link.
TEST_F(ObjFailedSave, ThroughASymbolicLinkReplacesItsTarget) {
  namespace fs = std::filesystem;
  WriteBytes(folder_.file("real.obj"), "old");
  std::error_code failure;
  fs::create_symlink(fs::u8path(folder_.file("real.obj")), fs::u8path(folder_.file("link.obj")), failure);
  if (failure) GTEST_SKIP() << "this system cannot make a symbolic link here: " << failure.message();
  ASSERT_TRUE(SaveTo(folder_.file("link.obj"))) << error_;
  EXPECT_TRUE(fs::is_symlink(fs::u8path(folder_.file("link.obj"))));
  EXPECT_EQ(Geometry(LoadObj(folder_.file("real.obj"))), Geometry(import_));
  EXPECT_EQ(FileNamesIn(folder_), (std::vector<std::string>{"link.obj", "real.obj"}));
}

// Nobody named the library written beside the model: a link planted at its
// place (in a shared folder, by anyone) is never written through, so the
// file it leads to stays as it was, and so does the whole set.
TEST_F(ObjFailedSave, ALinkPlantedWhereTheLibraryGoesIsRefused) {
  namespace fs = std::filesystem;
  ObjImport import = LoadObj(ObjData("materials.obj"));
  const MQColor darker{0.4f, 0.05f, 0.05f};
  MQMat_SetColor(MQDoc_GetMaterial(Handle(import), 0), &darker);
  WriteBytes(folder_.file("victim.txt"), "someone else's file");
  std::error_code failure;
  fs::create_symlink(fs::u8path(folder_.file("victim.txt")), fs::u8path(folder_.file("edited.mtl")), failure);
  if (failure) GTEST_SKIP() << "this system cannot make a symbolic link here: " << failure.message();
  EXPECT_FALSE(host::SaveObjFile(*import.document, import.source.get(), folder_.file("edited.obj"), &error_));
  EXPECT_EQ(error_, folder_.file("edited.mtl") +
                        ": cannot save: it is a symbolic link, and a file written beside the one you named is "
                        "never written through one");
  EXPECT_EQ(ReadBytes(folder_.file("victim.txt")), "someone else's file");
  EXPECT_TRUE(fs::is_symlink(fs::u8path(folder_.file("edited.mtl"))));
  EXPECT_EQ(FileNamesIn(folder_), (std::vector<std::string>{"edited.mtl", "victim.txt"}));
}

// File names are UTF-8 whatever the system's code page.
TEST_F(ObjFailedSave, NamesBeyondAsciiSaveAndLoad) {
  const std::string path = folder_.file("caf\xc3\xa9-\xce\xbb\xe6\x96\x87.obj");
  ASSERT_TRUE(SaveTo(path)) << error_;
  EXPECT_EQ(Geometry(LoadObj(path)), Geometry(import_));
  EXPECT_EQ(FileNamesIn(folder_), std::vector<std::string>{"caf\xc3\xa9-\xce\xbb\xe6\x96\x87.obj"});
}

}  // namespace
}  // namespace pavlex::testing
