#include "app/builtin_sample.h"

#include <stdexcept>

namespace pavlex::app {
namespace {

// Materials are set up in code rather than in an embedded MTL library: the
// reader looks libraries up on disk, and the sample must need no files.
void DressMaterials(host::HostDocument& doc) {
  for (int32_t slot = 0; slot < doc.materialSlotCount(); ++slot) {
    host::HostMaterial* material = doc.material(slot);
    if (material == nullptr) continue;
    if (material->name == "Wood") {
      material->color = {0.80f, 0.60f, 0.40f};
      material->textureName = "wood.png";
    } else if (material->name == "WoodDark") {
      material->color = {0.50f, 0.35f, 0.20f};
      material->textureName = "wood.png";
    } else if (material->name == "Paint") {
      material->color = {0.20f, 0.40f, 0.80f};
    }
  }
  host::HostLight warm;
  warm.direction = {-0.4f, -0.8f, -0.45f};
  warm.color = {1.0f, 0.95f, 0.85f};
  doc.scene().lights = {warm};
  doc.scene().selectedLight = 0;
}

}  // namespace

const std::string& BuiltinSampleText() {
  static const std::string text = R"(# The pavlex sample: three UV-mapped objects.
o Crate
v 2.5 0 -0.5
v 3.5 0 -0.5
v 3.5 1 -0.5
v 2.5 1 -0.5
v 2.5 0 0.5
v 3.5 0 0.5
v 3.5 1 0.5
v 2.5 1 0.5
# the side strip: bottom row, then top row; u = 0 and u = 0.8 meet at a seam
vt 0 0
vt 0.2 0
vt 0.4 0
vt 0.6 0
vt 0.8 0
vt 0 0.2
vt 0.2 0.2
vt 0.4 0.2
vt 0.6 0.2
vt 0.8 0.2
# top and bottom caps
vt 0.45 0.65
vt 0.65 0.65
vt 0.65 0.85
vt 0.45 0.85
vt 0.7 0.65
vt 0.9 0.65
vt 0.9 0.85
vt 0.7 0.85
usemtl Wood
f 5/1 6/2 7/7 8/6
f 6/2 2/3 3/8 7/7
f 2/3 1/4 4/9 3/8
f 1/4 5/5 8/10 4/9
usemtl WoodDark
f 8/11 7/12 3/13 4/14
f 1/15 2/16 6/17 5/18
o Mask
v -1 0 0
v 0 0 0.2
v 1 0 0
v -1 1 0
v 0 1 0.2
v 1 1 0
v -1 2 0
v 0 2 0.2
v 1 2 0
# left, centre and right columns; the right one is not quite the mirror
vt 0.45 0.25
vt 0.6 0.25
vt 0.76 0.26
vt 0.45 0.4
vt 0.6 0.4
vt 0.74 0.41
vt 0.45 0.55
vt 0.6 0.55
vt 0.77 0.54
usemtl Paint
f 9/19 10/20 13/23 12/22
f 10/20 11/21 14/24 13/23
f 12/22 13/23 16/26 15/25
f 13/23 14/24 17/27 16/26
o Banner
v -3.5 0 0
v -2.5 0 0
v -2.3 0.8 0
v -3 1.3 0
v -3.7 0.8 0
v -2.1 1.6 0
v -2.4 2.2 0
v -3.2 2.3 0
v -3.5 1.8 0
vt 0.1 0.65
vt 0.2667 0.65
vt 0.3 0.75
vt 0.1833 0.8125
vt 0.06667 0.75
vt 0.3333 0.85
vt 0.2833 0.925
vt 0.15 0.9375
vt 0.1 0.875
usemtl Wood
f 18/28 19/29 20/30 21/31 22/32
f 21/31 20/30 23/33 24/34 25/35 26/36
)";
  return text;
}

host::ObjImport LoadBuiltinSample() {
  host::ObjImport sample;
  std::string error;
  if (!host::LoadObjText(BuiltinSampleText(), "sample.obj", std::string(), &sample, &error)) {
    // The text is part of the program; a failure here is a bug in it.
    throw std::logic_error("the built-in sample does not load: " + error);
  }
  DressMaterials(*sample.document);
  return sample;
}

}  // namespace pavlex::app
