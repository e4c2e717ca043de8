// Material libraries: how MTL values become host materials, what happens
// when a library is missing or broken, and what a save writes beside the OBJ.
#include <gtest/gtest.h>

#include "tests/obj/obj_test_support.h"

namespace pavlex::testing {
namespace {

using host::ObjImport;

struct MaterialView {
  MQColor color;
  float alpha, diffuse, ambient, emission, specular, power;
  std::string texture;
};

MaterialView ReadMaterial(MQDocument doc, int32_t index) {
  const MQMaterial mat = MQDoc_GetMaterial(doc, index);
  MaterialView view{};
  MQMat_GetColor(mat, &view.color);
  view.alpha = MQMat_GetAlpha(mat);
  view.diffuse = MQMat_GetDiffuse(mat);
  view.ambient = MQMat_GetAmbient(mat);
  view.emission = MQMat_GetEmission(mat);
  view.specular = MQMat_GetSpecular(mat);
  view.power = MQMat_GetPower(mat);
  char texture[250] = {};
  MQMat_GetTextureName(mat, texture, sizeof texture);
  view.texture = texture;
  return view;
}

ObjImport LoadMaterials() {
  ObjImport import;
  std::string error;
  EXPECT_TRUE(host::LoadObjFile(ObjData("materials.obj"), &import, &error)) << error;
  return import;
}

TEST(ObjMaterials, LibraryValuesMapOntoHostMaterials) {
  const ObjImport import = LoadMaterials();
  const MQDocument doc = Handle(import);
  ASSERT_EQ(MQDoc_GetMaterialCount(doc), 3);

  const MaterialView red = ReadMaterial(doc, 0);
  EXPECT_EQ(import.document->material(0)->name, "red");
  EXPECT_EQ(red.color.r, 0.8f);
  EXPECT_EQ(red.color.g, 0.1f);
  EXPECT_EQ(red.color.b, 0.1f);
  EXPECT_EQ(red.diffuse, 1.0f);  // Kd carries the strength
  EXPECT_EQ(red.ambient, 0.2f);
  EXPECT_EQ(red.specular, 0.5f);
  EXPECT_EQ(red.power, 30.0f);
  EXPECT_EQ(red.alpha, 0.75f);
  EXPECT_EQ(red.texture, "textures/red brick.png");

  const MaterialView glass = ReadMaterial(doc, 1);
  EXPECT_EQ(glass.emission, 0.1f);
  EXPECT_EQ(glass.alpha, 1.0f - 0.6f);                     // from Tr, as there is no d
  EXPECT_EQ(glass.ambient, host::HostMaterial().ambient);  // no Ka: the host's default
  EXPECT_EQ(import.document->material(1)->alphaName, "glass_alpha.png");
  EXPECT_EQ(import.document->material(1)->bumpName, "glass_bump.png");

  // A name no library defines still gets a material, and a warning.
  EXPECT_EQ(import.document->material(2)->name, "chrome");
  ASSERT_EQ(import.warnings.size(), 1u);
  EXPECT_NE(import.warnings[0].find("materials.obj:14: material 'chrome' is not defined"), std::string::npos);

  const MQObject obj = ObjectAt(import, 0);
  EXPECT_EQ(MQObj_GetFaceMaterial(obj, 0), 0);
  EXPECT_EQ(MQObj_GetFaceMaterial(obj, 1), 1);
  EXPECT_EQ(MQObj_GetFaceMaterial(obj, 2), -1);
  EXPECT_EQ(MQObj_GetFaceMaterial(obj, 3), 2);
}

TEST(ObjMaterials, MissingLibraryIsAWarning) {
  ObjImport import;
  std::string error;
  ASSERT_TRUE(host::LoadObjFile(ObjData("missing_mtl.obj"), &import, &error)) << error;
  ASSERT_GE(import.warnings.size(), 1u);
  EXPECT_EQ(import.warnings[0],
            ObjData("missing_mtl.obj") + ":1: material library 'no_such_library.mtl' not found");
  EXPECT_EQ(import.document->material(0)->name, "paint");
}

// What a real exporter wrote: a material without a name. The model loads,
// the fault is a warning, and the file comes back byte for byte.
TEST(ObjMaterials, NamelessMaterialIsAWarningAndTheModelRoundTrips) {
  TempFolder folder;
  const std::string mtl = "newmtl\nKd 0 0 1\n\nnewmtl red\nKd 1 0 0\n";
  const std::string obj = "mtllib nameless.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nusemtl red\nf 1 2 3\n";
  WriteBytes(folder.file("nameless.mtl"), mtl);
  WriteBytes(folder.file("nameless.obj"), obj);
  ObjImport import;
  std::string error;
  ASSERT_TRUE(host::LoadObjFile(folder.file("nameless.obj"), &import, &error)) << error;
  ASSERT_EQ(import.warnings.size(), 1u);
  EXPECT_EQ(import.warnings[0],
            folder.file("nameless.mtl") + ":1: newmtl without a material name; kept as a material without a name");
  ASSERT_EQ(MQDoc_GetMaterialCount(Handle(import)), 2);
  // Its Kd is its own, not the material before or after it.
  EXPECT_EQ(import.document->material(0)->name, "");
  EXPECT_EQ(ReadMaterial(Handle(import), 0).color.b, 1.0f);
  EXPECT_EQ(ReadMaterial(Handle(import), 1).color.b, 0.0f);
  EXPECT_EQ(MQObj_GetFaceMaterial(ObjectAt(import, 0), 0), 1);

  ASSERT_TRUE(host::SaveObjFile(*import.document, import.source.get(), folder.file("again.obj"), &error)) << error;
  EXPECT_EQ(ReadBytes(folder.file("again.obj")), obj);
  EXPECT_EQ(ReadBytes(folder.file("nameless.mtl")), mtl);
}

// Each fault spoils one statement: a warning naming the library and line,
// and the material keeps the host's default for that value only.
TEST(ObjMaterials, MalformedStatementsInALibraryAreWarnings) {
  const struct {
    const char* statement;
    const char* warning;
  } cases[] = {
      {"Kd 1 zero 1", "malformed number 'zero'; statement ignored"},
      {"Kd 1 1e99 1", "number '1e99' is out of range; statement ignored"},
      {"Kd nan 1 1", "number 'nan' is not finite; statement ignored"},
      {"Kd 1 1", "a colour takes 1 or 3 numbers; statement ignored"},
      {"Kd 1 1 1 1", "a colour takes 1 or 3 numbers; statement ignored"},
      {"Kd", "a colour takes 1 or 3 numbers; statement ignored"},
      {"Ns", "a number is missing; statement ignored"},
      {"Ns 10 20", "one number expected, found '20'; statement ignored"},
      {"d inf", "number 'inf' is not finite; statement ignored"},
      {"K\xc3\xa4 1 1 1", "unexpected bytes in 'K\\xc3\\xa4'; line ignored"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    WriteBytes(folder.file("broken.mtl"), std::string("newmtl a\nKs 0.5\n") + c.statement + "\nNs 7\n");
    WriteBytes(folder.file("broken.obj"), "mtllib broken.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nusemtl a\nf 1 2 3\n");
    ObjImport import;
    std::string error;
    ASSERT_TRUE(host::LoadObjFile(folder.file("broken.obj"), &import, &error)) << c.statement << ": " << error;
    EXPECT_EQ(import.warnings, std::vector<std::string>{folder.file("broken.mtl") + ":3: " + c.warning})
        << c.statement;
    ASSERT_EQ(MQDoc_GetMaterialCount(Handle(import)), 1) << c.statement;
    const MaterialView a = ReadMaterial(Handle(import), 0);
    const host::HostMaterial defaults;
    EXPECT_EQ(a.color.r, defaults.color.r) << c.statement;
    EXPECT_EQ(a.alpha, defaults.alpha) << c.statement;
    EXPECT_EQ(a.specular, 0.5f) << c.statement;
    EXPECT_EQ(a.power, 7.0f) << c.statement;  // the statements after it still count
    EXPECT_EQ(MQObj_GetFaceMaterial(ObjectAt(import, 0), 0), 0);
  }
}

// A file that is not text at all (an image named by mistake) is a library
// that cannot be read: a warning, and the model loads without it.
TEST(ObjMaterials, BinaryLibraryIsIgnoredWithAWarning) {
  TempFolder folder;
  WriteBytes(folder.file("image.png"), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  const std::string obj = "mtllib image.png\nv 0 0 0\nv 1 0 0\nv 1 1 0\nusemtl a\nf 1 2 3\n";
  WriteBytes(folder.file("model.obj"), obj);
  ObjImport import;
  std::string error;
  ASSERT_TRUE(host::LoadObjFile(folder.file("model.obj"), &import, &error)) << error;
  ASSERT_EQ(import.warnings.size(), 2u);
  EXPECT_EQ(import.warnings[0], folder.file("image.png") +
                                    ":3: unexpected byte '\\x00'; not a text material library; the library is ignored");
  EXPECT_EQ(import.document->material(0)->name, "a");
  ASSERT_TRUE(host::SaveObjFile(*import.document, import.source.get(), folder.file("again.obj"), &error)) << error;
  EXPECT_EQ(ReadBytes(folder.file("again.obj")), obj);
}

// Unchanged materials keep their library as it is: into the model's own
// folder it is not written at all, into another one it is copied, byte for
// byte where it names no image.
TEST(ObjMaterials, UnchangedMaterialsCopyTheLibraryVerbatim) {
  TempFolder source, target;
  const std::string mtl = "newmtl red\r\nKd 0.8 0.1 0.1 # kept\r\nillum 2\r\n";
  WriteBytes(source.file("plain.mtl"), mtl);
  WriteBytes(source.file("plain.obj"), ReadBytes(ObjData("materials.obj")));
  WriteBytes(source.file("materials.mtl"), ReadBytes(ObjData("materials.mtl")));
  ObjImport import;
  std::string error;
  ASSERT_TRUE(host::LoadObjFile(source.file("plain.obj"), &import, &error)) << error;
  ASSERT_TRUE(host::SaveObjFile(*import.document, import.source.get(), source.file("copy.obj"), &error)) << error;
  EXPECT_EQ(ReadBytes(source.file("copy.obj")), ReadBytes(ObjData("materials.obj")));
  EXPECT_EQ(FileNamesIn(source), (std::vector<std::string>{"copy.obj", "materials.mtl", "plain.mtl", "plain.obj"}));

  WriteBytes(source.file("plain.obj"), "mtllib plain.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nusemtl red\nf 1 2 3\n");
  ASSERT_TRUE(host::LoadObjFile(source.file("plain.obj"), &import, &error)) << error;
  ASSERT_TRUE(host::SaveObjFile(*import.document, import.source.get(), target.file("copy.obj"), &error)) << error;
  EXPECT_EQ(ReadBytes(target.file("copy.obj")), ReadBytes(source.file("plain.obj")));
  EXPECT_EQ(ReadBytes(target.file("plain.mtl")), mtl);
}

TEST(ObjMaterials, ChangedMaterialsAreWrittenToAnMtlNamedAfterTheObj) {
  ObjImport import = LoadMaterials();
  const MQMaterial red = MQDoc_GetMaterial(Handle(import), 0);
  const MQColor darker{0.4f, 0.05f, 0.05f};
  MQMat_SetColor(red, &darker);
  MQMat_SetDiffuse(red, 0.5f);
  TempFolder folder;
  std::string error;
  ASSERT_TRUE(host::SaveObjFile(*import.document, import.source.get(), folder.file("edited.obj"), &error))
      << error;
  EXPECT_EQ(Lines(ReadBytes(folder.file("edited.obj")))[0], "mtllib edited.mtl");

  ObjImport again;
  ASSERT_TRUE(host::LoadObjFile(folder.file("edited.obj"), &again, &error)) << error;
  const MQDocument doc = Handle(again);
  ASSERT_EQ(MQDoc_GetMaterialCount(doc), 3);
  // The host's colour x diffuse comes back as the colour, at diffuse 1.
  const MaterialView back = ReadMaterial(doc, 0);
  EXPECT_EQ(back.color.r, 0.4f * 0.5f);
  EXPECT_EQ(back.diffuse, 1.0f);
  for (int32_t m = 0; m < 3; ++m) {
    const MaterialView before = ReadMaterial(Handle(import), m), after = ReadMaterial(doc, m);
    EXPECT_EQ(import.document->material(m)->name, again.document->material(m)->name);
    EXPECT_EQ(before.alpha, after.alpha);
    EXPECT_EQ(before.ambient, after.ambient);
    EXPECT_EQ(before.specular, after.specular);
    EXPECT_EQ(before.emission, after.emission);
    EXPECT_EQ(before.power, after.power);
    // Saved into another folder, the name differs but leads to the same file.
    if (before.texture.empty()) {
      EXPECT_EQ(after.texture, "");
    } else {
      namespace fs = std::filesystem;
      EXPECT_EQ(fs::weakly_canonical(fs::u8path(ObjData(before.texture))),
                fs::weakly_canonical(folder.path() / fs::u8path(after.texture)));
    }
  }
  for (int32_t f = 0; f < 4; ++f) {
    EXPECT_EQ(MQObj_GetFaceMaterial(ObjectAt(again, 0), f), MQObj_GetFaceMaterial(ObjectAt(import, 0), f));
  }
}

}  // namespace
}  // namespace pavlex::testing
