// The base of every plug-in object: what the host asks a plug-in about
// itself through the exported entry points.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"

namespace pavlex {

class MQBasePlugin {
 public:
  virtual ~MQBasePlugin() = default;

  // The ID pair that names the plug-in to the host and in its settings.
  virtual void GetPlugInID(uint32_t* product, uint32_t* id) const = 0;
  // Name and version, narrow; owned by the plug-in for its whole life.
  virtual const char* GetPlugInName() const = 0;
  virtual int32_t GetPlugInType() const = 0;  // MQPLUGIN_TYPE_*
  // The command name the host lists; owned by the plug-in.
  virtual const MQWChar* EnumString() const = 0;
};

}  // namespace pavlex
