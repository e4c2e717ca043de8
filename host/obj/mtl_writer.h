// Writing host materials as an MTL library: the inverse of ApplyMtlMaterial
// (mtl_reader.h), so that reading the written file gives materials that
// render the same: Kd = colour x diffuse, Ka/Ks/Ke = grey of the ambient,
// specular and emission coefficients, Ns = power, d = alpha, and the map
// names.
#pragma once

#include <string>
#include <vector>

#include "host/document/host_material.h"

namespace pavlex::host::obj {

// The name a material is written with: its own, made safe for one line, or
// "material<slot>" when it has none (an empty newmtl could not be read).
std::string MaterialFileName(const HostMaterial& material);

std::string WriteMtlText(const std::vector<const HostMaterial*>& materials, const std::string& lineBreak);

}  // namespace pavlex::host::obj
