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

TEST(ObjMaterials, MalformedLibraryFailsTheLoad) {
  TempFolder folder;
  WriteBytes(folder.file("broken.mtl"), "newmtl a\nKd 1 zero 1\n");
  WriteBytes(folder.file("broken.obj"), "mtllib broken.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\n");
  ObjImport import;
  std::string error;
  EXPECT_FALSE(host::LoadObjFile(folder.file("broken.obj"), &import, &error));
  EXPECT_EQ(error, folder.file("broken.mtl") + ":2: malformed number 'zero'");
  EXPECT_EQ(import.document, nullptr);
}

TEST(ObjMaterials, UnchangedMaterialsCopyTheLibraryVerbatim) {
  const ObjImport import = LoadMaterials();
  TempFolder folder;
  std::string error;
  ASSERT_TRUE(host::SaveObjFile(*import.document, import.source.get(), folder.file("copy.obj"), &error))
      << error;
  EXPECT_EQ(ReadBytes(folder.file("copy.obj")), ReadBytes(ObjData("materials.obj")));
  EXPECT_EQ(ReadBytes(folder.file("materials.mtl")), ReadBytes(ObjData("materials.mtl")));
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
    EXPECT_EQ(before.texture, after.texture);
  }
  for (int32_t f = 0; f < 4; ++f) {
    EXPECT_EQ(MQObj_GetFaceMaterial(ObjectAt(again, 0), f), MQObj_GetFaceMaterial(ObjectAt(import, 0), f));
  }
}

}  // namespace
}  // namespace pavlex::testing
