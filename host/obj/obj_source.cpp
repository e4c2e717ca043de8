#include "host/obj/obj_source.h"

#include <cstring>

#include "host/document/host_document.h"
#include "host/io/path_names.h"
#include "host/obj/file_identity.h"

namespace pavlex::host {
namespace obj {
namespace {

uint32_t Bits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

bool SameColor(const MQColor& a, const MQColor& b) {
  return Bits(a.r) == Bits(b.r) && Bits(a.g) == Bits(b.g) && Bits(a.b) == Bits(b.b);
}

}  // namespace

bool SameUV(const MQCoordinate& a, const MQCoordinate& b) {
  return Bits(a.u) == Bits(b.u) && Bits(a.v) == Bits(b.v);
}

bool SameMaterialValues(const HostMaterial& a, const HostMaterial& b) {
  return a.name == b.name && SameColor(a.color, b.color) && Bits(a.alpha) == Bits(b.alpha) &&
         Bits(a.diffuse) == Bits(b.diffuse) && Bits(a.ambient) == Bits(b.ambient) &&
         Bits(a.emission) == Bits(b.emission) && Bits(a.specular) == Bits(b.specular) &&
         Bits(a.power) == Bits(b.power) && a.textureName == b.textureName && a.alphaName == b.alphaName &&
         a.bumpName == b.bumpName;
}

}  // namespace obj

bool ObjSource::structureMatches(const HostDocument& doc) const {
  int32_t live = 0;
  for (int32_t s = 0; s < doc.objectSlotCount(); ++s) live += doc.object(s) != nullptr ? 1 : 0;
  if (live != static_cast<int32_t>(objects.size())) return false;
  for (const ObjectImage& image : objects) {
    const HostObject* obj = doc.object(image.slot);
    if (obj == nullptr || obj->uniqueId() != image.uniqueId || obj->name() != image.name ||
        obj->structureRevision() != image.structureRevision)
      return false;
  }
  // Smoothing groups change without a revision bump.
  obj::ElementCursor cursor(elements);
  while (cursor.next()) {
    const obj::Element& e = cursor.element();
    const HostObject* obj = doc.object(objects[static_cast<size_t>(e.object)].slot);
    const int32_t faces = e.isLine ? static_cast<int32_t>(e.tokenCount) - 1 : 1;
    for (int32_t f = e.firstFace; f < e.firstFace + faces; ++f) {
      if (!obj->validFace(f) || obj->faceSmoothingGroup(f) != e.smoothing) return false;
    }
  }
  return true;
}

bool ObjSource::materialsMatch(const HostDocument& doc) const {
  int32_t live = 0;
  for (int32_t s = 0; s < doc.materialSlotCount(); ++s) live += doc.material(s) != nullptr ? 1 : 0;
  if (live != static_cast<int32_t>(materials.size())) return false;
  for (const HostMaterial& image : materials) {
    const HostMaterial* mat = doc.material(image.slot);
    if (mat == nullptr || mat->uniqueId != image.uniqueId || !obj::SameMaterialValues(*mat, image))
      return false;
  }
  return true;
}

bool ObjSource::imageFolder(const HostMaterial& material, std::string* out) const {
  for (size_t i = 0; i < materials.size() && i < materialLibraries.size(); ++i) {
    const HostMaterial& image = materials[i];
    if (image.slot != material.slot || image.uniqueId != material.uniqueId) continue;
    const int32_t library = materialLibraries[i];
    if (library < 0) return false;
    *out = io::FolderPartOf(libraries[static_cast<size_t>(library)].path);
    return true;
  }
  return false;
}

namespace obj {

std::string MaterialTexturePath(const HostMaterial& material, const ObjSource* source,
                                const std::string& documentPath) {
  if (material.textureName.empty()) return std::string();
  std::string folder;
  if (source == nullptr || !source->imageFolder(material, &folder)) folder = io::FolderPartOf(documentPath);
  return ResolveFileName(folder, material.textureName);
}

}  // namespace obj

}  // namespace pavlex::host
