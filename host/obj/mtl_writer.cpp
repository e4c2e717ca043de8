#include "host/obj/mtl_writer.h"

#include "host/obj/obj_numbers.h"
#include "host/obj/text_scan.h"

namespace pavlex::host::obj {
namespace {

void Line(std::string* out, const char* keyword, std::initializer_list<float> values,
          const std::string& lineBreak) {
  *out += keyword;
  for (const float value : values) {
    *out += ' ';
    AppendFloat(out, value);
  }
  *out += lineBreak;
}

void MapLine(std::string* out, const char* keyword, const std::string& name, const std::string& lineBreak) {
  if (name.empty()) return;
  *out += keyword;
  *out += ' ';
  *out += EncodeName(name);
  *out += lineBreak;
}

}  // namespace

std::string MaterialFileName(const HostMaterial& material) {
  std::string name = EncodeName(material.name);
  const size_t first = name.find_first_not_of(" \t");
  if (first == std::string::npos) return "material" + std::to_string(material.slot);
  return name.substr(first, name.find_last_not_of(" \t") + 1 - first);
}

std::string WriteMtlText(const std::vector<const HostMaterial*>& materials, const std::string& lineBreak) {
  std::string out;
  for (const HostMaterial* m : materials) {
    if (!out.empty()) out += lineBreak;
    out += "newmtl ";
    out += MaterialFileName(*m);
    out += lineBreak;
    Line(&out, "Kd", {m->color.r * m->diffuse, m->color.g * m->diffuse, m->color.b * m->diffuse}, lineBreak);
    Line(&out, "Ka", {m->ambient, m->ambient, m->ambient}, lineBreak);
    Line(&out, "Ks", {m->specular, m->specular, m->specular}, lineBreak);
    Line(&out, "Ke", {m->emission, m->emission, m->emission}, lineBreak);
    Line(&out, "Ns", {m->power}, lineBreak);
    Line(&out, "d", {m->alpha}, lineBreak);
    MapLine(&out, "map_Kd", m->textureName, lineBreak);
    MapLine(&out, "map_d", m->alphaName, lineBreak);
    MapLine(&out, "map_bump", m->bumpName, lineBreak);
  }
  return out;
}

}  // namespace pavlex::host::obj
