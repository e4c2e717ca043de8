// The white outline of every drawn face.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"
#include "plugin/output/layout_image.h"
#include "plugin/state/output_flags.h"
#include "plugin/state/plugin_state.h"

namespace pavlex {

// Outlines each face that passes the face filter with a one-pixel opaque
// white line through its corners in corner order (wireframe coordinate
// rule). No flag changes the colour.
void DrawWireframeLayer(MQDocument document, const PluginState& state, LayoutImage& image, int32_t width,
                        int32_t height, bool currentObjectOnly, bool currentMaterialOnly, OutputFlags flags,
                        MemoryMask memoryMask);

}  // namespace pavlex
