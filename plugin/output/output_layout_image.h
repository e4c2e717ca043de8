// The single entry of the layout output: where the picture goes, the
// remembered options, and the draw-then-write sequence.
#pragma once

#include <cstdint>
#include <string>

#include "hostapi/mq_types.h"
#include "plugin/output/output_result.h"
#include "plugin/state/output_flags.h"
#include "plugin/state/plugin_state.h"

namespace pavlex {

enum class OutputDestination : int32_t {
  kNone = 0,  // rendered and dropped: no extension, or an unknown one
  kBmp = 1,
  kTga = 2,
  kPng = 4,
  kJpeg = 5,
  kClipboard = 6,
};

// From the text after the last "." of the whole name (folders included),
// compared case-insensitively: bmp, tga, png, jpg or jpeg.
OutputDestination DestinationFromFileName(const std::u16string& fileName);

// A file output (no clipboard bit) first stores width, height, flags and
// file name in the state's OutputSettings; a clipboard output leaves them.
// Then the picture is rendered and handed to its destination. Answers what
// became of it; showing that to the user is the caller's choice.
OutputResult OutputLayoutImage(PluginState& state, MQDocument document, int32_t width, int32_t height,
                      const std::u16string& fileName, OutputFlags flags, MemoryMask memoryMask);

// Creates the image, renders the layers and writes it. kNone renders and
// answers kNoDestination; an image that cannot be created is neither drawn
// nor written.
OutputResult RenderAndWrite(const PluginState& state, MQDocument document, int32_t width, int32_t height,
                    const std::u16string& fileName, OutputFlags flags, MemoryMask memoryMask,
                    OutputDestination destination);

}  // namespace pavlex
