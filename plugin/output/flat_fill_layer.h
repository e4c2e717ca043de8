// Faces filled flat in their object's or their material's colour.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"
#include "plugin/output/layout_image.h"
#include "plugin/state/output_flags.h"
#include "plugin/state/plugin_state.h"

namespace pavlex {

// Fills each face that passes the face filter (flat-fill coordinate rule,
// even-odd rule) in: opaque white with "Alpha to Clipboard"; else, with
// useMaterialColor, its material's colour; else its object's colour
// (value code 0x201). A face without a material gets opaque black in
// material mode: the host answers black for a null material, and the
// picture then shows which faces lack one.
void FillFlatLayer(MQDocument document, const PluginState& state, LayoutImage& image, int32_t width,
                   int32_t height, bool currentObjectOnly, bool currentMaterialOnly, OutputFlags flags,
                   MemoryMask memoryMask, bool useMaterialColor);

}  // namespace pavlex
