// One material of the stand-in host: the storage behind an MQMaterial.
#pragma once

#include <cstdint>
#include <string>

#include "hostapi/mq_types.h"

namespace pavlex::host {

class HostDocument;

struct HostMaterial {
  HostMaterial();

  std::string name;
  MQColor color = {1.0f, 1.0f, 1.0f};
  float alpha = 1.0f;
  float diffuse = 0.8f;   // coefficients scale `color`
  float ambient = 0.6f;
  float emission = 0.0f;
  float specular = 0.0f;
  float power = 5.0f;
  std::string textureName;  // UTF-8 file names, empty when none
  std::string alphaName;
  std::string bumpName;

  int32_t uniqueId = 0;  // process-wide, never reused
  int32_t slot = -1;     // slot in the owning document, -1 when not in one
  // The document that owns it (also after it was deleted from it), null
  // while a caller owns it. Set by HostDocument.
  HostDocument* document = nullptr;
};

}  // namespace pavlex::host
