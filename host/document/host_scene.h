// The scene of a host document: its lights, and the light that light
// queries currently read (selected with MQSCENE_LIGHT_SELECT).
#pragma once

#include <cstdint>
#include <vector>

#include "hostapi/mq_types.h"

namespace pavlex::host {

struct HostLight {
  MQPoint direction = {-0.5f, -0.5f, -0.7071f};  // the way the light travels
  MQColor color = {1.0f, 1.0f, 1.0f};
};

struct HostScene {
  std::vector<HostLight> lights;
  int32_t selectedLight = 0;
};

}  // namespace pavlex::host
