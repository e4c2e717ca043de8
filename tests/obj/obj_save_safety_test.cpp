// What a save must never do: write the model over one of its own material
// libraries, write a number its reader refuses, or leave names that lead
// elsewhere once the model is saved into another folder.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

#include "tests/obj/obj_test_support.h"

namespace pavlex::testing {
namespace {

namespace fs = std::filesystem;
using host::ObjImport;

bool SaveTo(const ObjImport& import, const std::string& path, std::string* error) {
  return host::SaveObjFile(*import.document, import.source.get(), path, error);
}

// Writes `bytes` at `path`, making its folders.
void Put(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::u8path(path).parent_path());
  WriteBytes(path, bytes);
}

// Every file under `folder` with its bytes, as "relative/name=bytes".
std::vector<std::string> Tree(const TempFolder& folder) {
  std::vector<std::string> out;
  for (const auto& entry : fs::recursive_directory_iterator(folder.path())) {
    if (!entry.is_regular_file()) continue;
    out.push_back(entry.path().lexically_relative(folder.path()).generic_u8string() + "=" +
                  ReadBytes(entry.path().u8string()));
  }
  std::sort(out.begin(), out.end());
  return out;
}

// The same file whatever the path that leads to it.
std::string Canonical(const fs::path& path) {
  return fs::weakly_canonical(path).generic_u8string();
}

const char kTriangle[] = "v 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0 0\nvt 1 0\nvt 1 1\n";

// --- the model over its own library ------------------------------------------

// A document whose materials changed: the save writes <stem>.mtl beside it.
class ObjSaveOverLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    Put(folder_.file("model.obj"), std::string("mtllib model.mtl\n") + kTriangle + "usemtl red\nf 1/1 2/2 3/3\n");
    Put(folder_.file("model.mtl"), "newmtl red\nKd 1 0 0\n");
    import_ = LoadObj(folder_.file("model.obj"));
  }
  void ChangeMaterials() {
    const MQColor green{0, 1, 0};
    MQMat_SetColor(MQDoc_GetMaterial(Handle(import_), 0), &green);
  }
  void ExpectRefused(const std::string& target, const std::string& library) {
    const std::vector<std::string> before = Tree(folder_);
    std::string error;
    EXPECT_FALSE(SaveTo(import_, target, &error)) << target;
    EXPECT_EQ(error, target + ": cannot save: the model and its material library '" + library +
                         "' would be one file; choose another name");
    EXPECT_EQ(Tree(folder_), before) << target;
  }
  TempFolder folder_;
  ObjImport import_;
};

TEST_F(ObjSaveOverLibrary, CleanSaveRefusesTheNameOfTheLibraryItWrites) {
  ChangeMaterials();
  ExpectRefused(folder_.file("model.mtl"), folder_.file("model.mtl"));
  // No such file yet: the OBJ and the new library would still be one.
  ExpectRefused(folder_.file("new/fresh.mtl"), folder_.file("new/fresh.mtl"));
  fs::create_directory(folder_ / "new");
  ExpectRefused(folder_.file("new/fresh.mtl"), folder_.file("new/fresh.mtl"));
}

TEST_F(ObjSaveOverLibrary, LosslessSaveRefusesTheNameOfALibraryItReferences) {
  // Same folder: the library is the one read, and is not rewritten.
  ExpectRefused(folder_.file("model.mtl"), folder_.file("model.mtl"));
  // Another folder: the copy of the library would take the OBJ's place.
  fs::create_directory(folder_ / "out");
  ExpectRefused(folder_.file("out/model.mtl"), folder_.file("out/model.mtl"));
  // A library that was not found is still named by the saved file.
  Put(folder_.file("missing.obj"), std::string("mtllib gone.mtl\n") + kTriangle + "f 1 2 3\n");
  import_ = LoadObj(folder_.file("missing.obj"));
  ExpectRefused(folder_.file("gone.mtl"), folder_.file("gone.mtl"));
}

TEST_F(ObjSaveOverLibrary, OneFileByAnotherPathIsRefusedToo) {
  fs::create_directory(folder_ / "sub");
  // The library is named as the saved file would name it.
  ExpectRefused(folder_.file("./model.mtl"), folder_.file("./model.mtl"));
  ExpectRefused(folder_.file("sub/../model.mtl"), folder_.file("sub/../model.mtl"));
  std::error_code failure;
  fs::create_hard_link(folder_ / "model.mtl", folder_ / "hard.obj", failure);
  if (!failure) ExpectRefused(folder_.file("hard.obj"), folder_.file("model.mtl"));
  fs::create_symlink(folder_ / "model.mtl", folder_ / "soft.obj", failure);
  if (!failure) ExpectRefused(folder_.file("soft.obj"), folder_.file("model.mtl"));
}

TEST_F(ObjSaveOverLibrary, LetterCaseFollowsTheFileSystem) {
  ChangeMaterials();
  std::string error;
#ifdef _WIN32
  ExpectRefused(folder_.file("MODEL.MTL"), folder_.file("MODEL.mtl"));
#else
  // Two files here: the OBJ and its new library model.mtl.
  ASSERT_TRUE(SaveTo(import_, folder_.file("model.MTL"), &error)) << error;
  EXPECT_EQ(Lines(ReadBytes(folder_.file("model.MTL")))[0], "mtllib model.mtl");
  EXPECT_EQ(Lines(ReadBytes(folder_.file("model.mtl")))[0], "newmtl red");
#endif
}

TEST_F(ObjSaveOverLibrary, OtherNamesStillSave) {
  std::string error;
  ASSERT_TRUE(SaveTo(import_, folder_.file("model.obj.mtl"), &error)) << error;
  ChangeMaterials();
  ASSERT_TRUE(SaveTo(import_, folder_.file("model.obj"), &error)) << error;
  EXPECT_EQ(Lines(ReadBytes(folder_.file("model.mtl")))[1], "Kd 0 1 0");
}

// --- numbers the reader refuses ----------------------------------------------

class ObjSaveNonFinite : public ::testing::Test {
 protected:
  void SetUp() override {
    import_ = LoadObj(ObjData("seams.obj"));
    WriteBytes(folder_.file("kept.obj"), "old");
  }
  // Refused with `problem`, nothing written, the old file as it was.
  void ExpectRefused(const std::string& problem, const std::string& file = "kept.obj") {
    std::string error;
    EXPECT_FALSE(SaveTo(import_, folder_.file("kept.obj"), &error));
    EXPECT_EQ(error, folder_.file(file) + ": cannot save: " + problem);
    EXPECT_EQ(FileNamesIn(folder_), std::vector<std::string>{"kept.obj"});
    EXPECT_EQ(ReadBytes(folder_.file("kept.obj")), "old");
  }
  TempFolder folder_;
  ObjImport import_;
};

TEST_F(ObjSaveNonFinite, UVsAreRefusedInPatchedAndCleanSaves) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  const MQObject obj = ObjectAt(import_, 0);
  const MQCoordinate bad{0.5f, nan};
  MQObj_SetFaceCoordinate(obj, 1, 2, &bad);
  ExpectRefused("object 'seams', face 1, corner 2: the UV (0.5, nan) is not a finite number");
  // The document keeps what the plug-in wrote.
  EXPECT_TRUE(std::isnan(ReadFace(obj, 1).uvs[2].v));

  const MQCoordinate fixed{0.5f, 0.5f}, infinite{-inf, 0};
  MQObj_SetFaceCoordinate(obj, 1, 2, &fixed);
  const int32_t corners[] = {0, 1, 4};
  ASSERT_EQ(MQObj_AddFace(obj, 3, corners), 2);  // now a clean file
  MQObj_SetFaceCoordinate(obj, 2, 0, &infinite);
  ExpectRefused("object 'seams', face 2, corner 0: the UV (-inf, 0) is not a finite number");

  MQObj_SetFaceCoordinate(obj, 2, 0, &fixed);
  std::string error;
  ASSERT_TRUE(SaveTo(import_, folder_.file("kept.obj"), &error)) << error;
  EXPECT_EQ(Geometry(LoadObj(folder_.file("kept.obj"))), Geometry(import_));
}

TEST_F(ObjSaveNonFinite, PositionsOfWrittenVerticesAreRefused) {
  const MQObject obj = ObjectAt(import_, 0);
  const MQPoint far{0, std::numeric_limits<float>::infinity(), 1}, was = Position(obj, 4);
  MQObj_SetVertex(obj, 4, &far);
  ExpectRefused("object 'seams', vertex 4: the position (0, inf, 1) is not a finite number");

  // A vertex no file would hold does not stop the save.
  const int32_t unused = MQObj_AddVertex(obj, &far);
  MQObj_SetVertex(obj, 4, &was);
  ASSERT_TRUE(MQObj_DeleteVertex(obj, unused, 0));
  std::string error;
  ASSERT_TRUE(SaveTo(import_, folder_.file("kept.obj"), &error)) << error;
}

TEST_F(ObjSaveNonFinite, MaterialValuesTheLibraryWouldHoldAreRefused) {
  import_ = LoadObj(ObjData("materials.obj"));
  const MQMaterial glass = MQDoc_GetMaterial(Handle(import_), 1);
  // Finite alone, infinite once multiplied: Kd is colour times diffuse.
  const MQColor bright{3e38f, 0, 0};
  MQMat_SetColor(glass, &bright);
  MQMat_SetDiffuse(glass, 2.0f);
  ExpectRefused("material 'glass': the Kd (colour times diffuse) (inf, 0, 0) is not a finite number", "kept.mtl");
  MQMat_SetDiffuse(glass, 1.0f);
  MQMat_SetPower(glass, std::numeric_limits<float>::quiet_NaN());
  ExpectRefused("material 'glass': the power (nan) is not a finite number", "kept.mtl");
}

// --- saving into another folder ----------------------------------------------

// A model whose libraries lie above it, beside it and below it, with image
// names relative to each library.
class ObjSaveElsewhere : public ::testing::Test {
 protected:
  void SetUp() override {
    Put(folder_.file("lib.mtl"), "newmtl top\nKd 1 0 0\nmap_Kd tex/top.png\n");
    Put(folder_.file("src/model/mats/x.mtl"),
        "# below\r\nnewmtl low\r\nKd 0 1 0\r\nmap_Kd low.png\r\nmap_d -s 1 1 1 ../alpha.png\r\n"
        "bump /abs/bump.png\r\nmap_Ks shine.png\r\n");
    Put(folder_.file("src/model/model.obj"), std::string("# model\nmtllib ../../lib.mtl\nmtllib  mats/x.mtl  \n") +
                                                 kTriangle + "usemtl top\nf 1/1 2/2 3/3\nusemtl low\nf 3/3 2/2 1/1\n");
    fs::create_directories(folder_ / "out/deep");
    import_ = LoadObj(folder_.file("src/model/model.obj"));
    ASSERT_TRUE(import_.warnings.empty());
  }

  // The files the materials' images lead to.
  static std::vector<std::string> Images(const ObjImport& import, const std::vector<std::string>& libraryFolders) {
    std::vector<std::string> out;
    for (int32_t m = 0; m < import.document->materialSlotCount(); ++m) {
      const host::HostMaterial& mat = *import.document->material(m);
      const fs::path folder = fs::u8path(libraryFolders[static_cast<size_t>(m)]);
      for (const std::string& name : {mat.textureName, mat.alphaName, mat.bumpName})
        out.push_back(name.empty() ? "" : Canonical(folder / fs::u8path(name)));
    }
    return out;
  }
  std::vector<std::string> ImagesBefore() const {
    return Images(import_, {folder_.file(""), folder_.file("src/model/mats")});
  }

  // Reopens the saved file: no warnings, the same materials, faces and
  // images.
  void ExpectSameModel(const std::string& saved) {
    const ObjImport again = LoadObj(saved);
    EXPECT_TRUE(again.warnings.empty()) << again.warnings[0];
    ASSERT_EQ(again.document->materialSlotCount(), 2);
    for (int32_t m = 0; m < 2; ++m) {
      const host::HostMaterial &before = *import_.document->material(m), &after = *again.document->material(m);
      EXPECT_EQ(after.name, before.name);
      EXPECT_EQ(after.color.r, before.color.r);
      EXPECT_EQ(after.color.g, before.color.g);
    }
    const std::string folder = fs::u8path(saved).parent_path().u8string();
    EXPECT_EQ(Images(again, {folder, folder}), ImagesBefore());
    EXPECT_EQ(Geometry(again), Geometry(import_));
    for (int32_t f = 0; f < 2; ++f) EXPECT_EQ(ReadFace(ObjectAt(again, 0), f).material, f);
  }

  TempFolder folder_;
  ObjImport import_;
};

TEST_F(ObjSaveElsewhere, LibrariesAreCopiedBesideTheModelAndNamedByTheirCopies) {
  std::string error;
  const std::string saved = folder_.file("out/deep/saved.obj");
  ASSERT_TRUE(SaveTo(import_, saved, &error)) << error;
  EXPECT_EQ(ReadBytes(saved), std::string("# model\nmtllib lib.mtl\nmtllib  x.mtl  \n") + kTriangle +
                                  "usemtl top\nf 1/1 2/2 3/3\nusemtl low\nf 3/3 2/2 1/1\n");
  // Only the names change; the rest of each library stays as it was.
  EXPECT_EQ(ReadBytes(folder_.file("out/deep/lib.mtl")), "newmtl top\nKd 1 0 0\nmap_Kd ../../tex/top.png\n");
  EXPECT_EQ(ReadBytes(folder_.file("out/deep/x.mtl")),
            "# below\r\nnewmtl low\r\nKd 0 1 0\r\nmap_Kd ../../src/model/mats/low.png\r\n"
            "map_d -s 1 1 1 ../../src/model/alpha.png\r\nbump /abs/bump.png\r\n"
            "map_Ks ../../src/model/mats/shine.png\r\n");
  ExpectSameModel(saved);
  // Nothing beside the source changed.
  EXPECT_EQ(ReadBytes(folder_.file("lib.mtl")), "newmtl top\nKd 1 0 0\nmap_Kd tex/top.png\n");
}

TEST_F(ObjSaveElsewhere, UVEditsAndStructuralEditsKeepTheCopiesNamed) {
  const MQObject obj = ObjectAt(import_, 0);
  const MQCoordinate moved{0.25f, 0.75f};
  MQObj_SetFaceCoordinate(obj, 0, 1, &moved);
  std::string error;
  ASSERT_TRUE(SaveTo(import_, folder_.file("out/patched.obj"), &error)) << error;
  EXPECT_NE(ReadBytes(folder_.file("out/patched.obj")).find("mtllib  x.mtl  \n"), std::string::npos);
  ExpectSameModel(folder_.file("out/patched.obj"));

  const int32_t corners[] = {0, 1, 2};
  MQObj_AddFace(obj, 3, corners);
  MQObj_SetFaceMaterial(obj, 2, 1);
  ASSERT_TRUE(SaveTo(import_, folder_.file("out/deep/clean.obj"), &error)) << error;
  EXPECT_EQ(Lines(ReadBytes(folder_.file("out/deep/clean.obj")))[1], "mtllib x.mtl");
  ExpectSameModel(folder_.file("out/deep/clean.obj"));
}

TEST_F(ObjSaveElsewhere, ANewLibraryNamesTheSameImages) {
  const MQColor blue{0, 0, 1};
  MQMat_SetColor(MQDoc_GetMaterial(Handle(import_), 1), &blue);
  std::string error;
  ASSERT_TRUE(SaveTo(import_, folder_.file("out/deep/edited.obj"), &error)) << error;
  const ObjImport again = LoadObj(folder_.file("out/deep/edited.obj"));
  EXPECT_EQ(again.document->material(1)->color.b, 1.0f);
  const std::string folder = folder_.file("out/deep");
  EXPECT_EQ(Images(again, {folder, folder}), ImagesBefore());

  // Into the model's own folder, names relative to a library below it are
  // rewritten too: the new library lies beside the model.
  ASSERT_TRUE(SaveTo(import_, folder_.file("src/model/edited.obj"), &error)) << error;
  const std::string beside = folder_.file("src/model");
  EXPECT_EQ(Images(LoadObj(folder_.file("src/model/edited.obj")), {beside, beside}), ImagesBefore());
}

TEST_F(ObjSaveElsewhere, IntoTheSameFolderNothingElseIsWritten) {
  const std::vector<std::string> before = Tree(folder_);
  std::string error;
  ASSERT_TRUE(SaveTo(import_, folder_.file("src/model/again.obj"), &error)) << error;
  std::vector<std::string> after = Tree(folder_);
  const std::string saved = "src/model/again.obj=" + ReadBytes(folder_.file("src/model/model.obj"));
  const auto found = std::find(after.begin(), after.end(), saved);
  ASSERT_NE(found, after.end()) << "not saved byte for byte";
  after.erase(found);
  EXPECT_EQ(after, before);
  // The same folder by another name is the same folder.
  ASSERT_TRUE(SaveTo(import_, folder_.file("src/model/mats/../again.obj"), &error)) << error;
  EXPECT_EQ(Tree(folder_).size(), before.size() + 1);
}

TEST_F(ObjSaveElsewhere, LibrariesSharingAFileNameGetTheirOwnCopies) {
  Put(folder_.file("src/a/m.mtl"), "newmtl one\nKd 1 1 0\n");
  Put(folder_.file("src/b/m.mtl"), "newmtl two\nKd 0 1 1\n");
  Put(folder_.file("src/two.obj"), std::string("mtllib a/m.mtl b/m.mtl\n") + kTriangle +
                                       "usemtl one\nf 1 2 3\nusemtl two\nf 3 2 1\n");
  const ObjImport two = LoadObj(folder_.file("src/two.obj"));
  std::string error;
  // Into b/: the copy of a/m.mtl must not replace b/m.mtl.
  ASSERT_TRUE(SaveTo(two, folder_.file("src/b/two.obj"), &error)) << error;
  EXPECT_EQ(Lines(ReadBytes(folder_.file("src/b/two.obj")))[0], "mtllib m-2.mtl m.mtl");
  EXPECT_EQ(ReadBytes(folder_.file("src/b/m.mtl")), "newmtl two\nKd 0 1 1\n");
  const ObjImport again = LoadObj(folder_.file("src/b/two.obj"));
  EXPECT_TRUE(again.warnings.empty());
  EXPECT_EQ(again.document->material(0)->name, "one");
  EXPECT_EQ(again.document->material(1)->name, "two");
  EXPECT_EQ(again.document->material(1)->color.b, 1.0f);
}

}  // namespace
}  // namespace pavlex::testing
