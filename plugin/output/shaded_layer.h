// The lit, smoothly shaded fill of every drawn face.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"
#include "plugin/output/layout_image.h"
#include "plugin/state/output_flags.h"
#include "plugin/state/plugin_state.h"

namespace pavlex {

// Per visited object with at least one face passing the material and
// texture tests: corner lighting once, then every face passing the whole
// face filter filled by FillGouraudPolygon, in opaque white with "Alpha to
// Clipboard". Writes through the single-pixel operation only.
void DrawShadedLayer(MQDocument document, const PluginState& state, LayoutImage& image, int32_t width,
                     int32_t height, bool currentObjectOnly, bool currentMaterialOnly, OutputFlags flags,
                     MemoryMask memoryMask);

}  // namespace pavlex
