// Reading MTL material libraries, and how their values become host
// materials.
//
// A host material has one colour and scalar coefficients that scale it
// (diffuse, ambient, emission, specular) where MTL has a colour per term.
// The mapping (ApplyMtlMaterial):
//   colour    = Kd, and diffuse = 1: Kd already carries the diffuse strength
//   ambient   = mean of Ka's three components (the host scales its colour
//               by it; Ka's hue is not kept)
//   specular  = mean of Ks, emission = mean of Ke, power = Ns
//   alpha     = d, or 1 - Tr when the material has no d
//   texture   = map_Kd, alpha map = map_d, bump map = map_bump (or bump)
// A statement the material lacks leaves the host's default for that value.
// A colour given as one number is grey.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/document/host_material.h"
#include "hostapi/mq_types.h"

namespace pavlex::host::obj {

struct MtlMaterial {
  std::string name;
  uint64_t line = 0;  // of its newmtl statement
  bool hasKd = false, hasKa = false, hasKs = false, hasKe = false;
  bool hasNs = false, hasD = false, hasTr = false;
  MQColor kd{}, ka{}, ks{}, ke{};
  float ns = 0.0f, d = 1.0f, tr = 0.0f;
  std::string mapKd, mapD, mapBump;  // file names as written, empty when none
};

// Parses MTL text. Unknown statements are ignored (the format has many
// vendor extensions). A statement read here that cannot be understood (a
// malformed or non-finite number, a wrong count of numbers, odd bytes in a
// keyword) is left out with a "file:line: message" warning; `newmtl` with
// no name warns and starts a material whose name is empty. Only text that
// is not a text file at all is refused: false, with the message in `error`.
bool ReadMtlText(std::string_view text, const std::string& displayName, std::vector<MtlMaterial>* out,
                 std::vector<std::string>* warnings, std::string* error);

// `text` with the file name of every statement that names one (map_Kd and
// the other map_ statements, bump, disp, decal, refl, norm) replaced by
// rename(name); every other byte stays.
std::string RenameMtlFiles(std::string_view text,
                           const std::function<std::string(const std::string&)>& rename);

void ApplyMtlMaterial(const MtlMaterial& source, HostMaterial* target);

}  // namespace pavlex::host::obj
