#include "host/obj/save_checks.h"

#include <cmath>
#include <initializer_list>

#include "host/obj/obj_numbers.h"

namespace pavlex::host::obj {
namespace {

bool Finite(std::initializer_list<float> values) {
  for (const float value : values) {
    if (!std::isfinite(value)) return false;
  }
  return true;
}

std::string Values(std::initializer_list<float> values) {
  std::string out = "(";
  for (const float value : values) {
    if (out.size() > 1) out += ", ";
    AppendFloat(&out, value);
  }
  return out + ")";
}

bool HasLiveFace(const HostObject& obj) {
  for (int32_t f = 0; f < obj.faceCount(); ++f) {
    if (obj.cornerCount(f) > 0) return true;
  }
  return false;
}

}  // namespace

bool AllNumbersFinite(const HostDocument& doc, bool positions, std::string* problem) {
  for (int32_t s = 0; s < doc.objectSlotCount(); ++s) {
    const HostObject* obj = doc.object(s);
    if (obj == nullptr) continue;
    const std::string where = "object " + QuoteForMessage(obj->name());
    for (int32_t f = 0; f < obj->faceCount(); ++f) {
      const MQCoordinate* uvs = obj->faceUVs(f);
      for (int32_t c = 0; c < obj->cornerCount(f); ++c) {
        if (Finite({uvs[c].u, uvs[c].v})) continue;
        *problem = where + ", face " + std::to_string(f) + ", corner " + std::to_string(c) + ": the UV " +
                   Values({uvs[c].u, uvs[c].v}) + " is not a finite number";
        return false;
      }
    }
    // The clean writer's vertices: those of objects it writes, deleted
    // ones only while a face still uses them.
    if (!positions || !HasLiveFace(*obj)) continue;
    for (int32_t v = 0; v < obj->vertexCount(); ++v) {
      if (obj->vertexDeleted(v) && obj->vertexRefCount(v) == 0) continue;
      const MQPoint& p = obj->position(v);
      if (Finite({p.x, p.y, p.z})) continue;
      *problem = where + ", vertex " + std::to_string(v) + ": the position " + Values({p.x, p.y, p.z}) +
                 " is not a finite number";
      return false;
    }
  }
  return true;
}

bool AllNumbersFinite(const std::vector<const HostMaterial*>& materials, std::string* problem) {
  for (const HostMaterial* m : materials) {
    const float d = m->diffuse;
    const struct {
      const char* what;
      float values[3];
      int count;
    } written[] = {
        {"Kd (colour times diffuse)", {m->color.r * d, m->color.g * d, m->color.b * d}, 3},
        {"ambient", {m->ambient}, 1},
        {"specular", {m->specular}, 1},
        {"emission", {m->emission}, 1},
        {"power", {m->power}, 1},
        {"alpha", {m->alpha}, 1},
    };
    for (const auto& value : written) {
      const float* v = value.values;
      if (value.count == 3 ? Finite({v[0], v[1], v[2]}) : Finite({v[0]})) continue;
      *problem = "material " + QuoteForMessage(m->name) + ": the " + value.what + " " +
                 (value.count == 3 ? Values({v[0], v[1], v[2]}) : Values({v[0]})) + " is not a finite number";
      return false;
    }
  }
  return true;
}

}  // namespace pavlex::host::obj
