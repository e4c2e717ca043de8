// The layers of a layout picture, drawn in their fixed order.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"
#include "plugin/output/layout_image.h"
#include "plugin/state/output_flags.h"
#include "plugin/state/plugin_state.h"

namespace pavlex {

// Object colours (0x8), then material colours (0x4), then the shaded fill
// (0x10), then the wireframe (0x1), each over the previous ones: the
// material colours cover the object colours, the shaded fill covers both,
// and the wireframe lies on top. The state's memory slots serve the memory
// filter of every layer.
void RenderLayout(const PluginState& state, MQDocument document, LayoutImage& image, int32_t width,
                  int32_t height, OutputFlags flags, MemoryMask memoryMask);

}  // namespace pavlex
