// The option word of a layout output and the memory-slot filter.
#pragma once

#include <cstdint>

namespace pavlex {

using OutputFlags = uint32_t;

constexpr OutputFlags kOutputWireframe = 0x1;
constexpr OutputFlags kOutputMaterialColor = 0x4;
constexpr OutputFlags kOutputObjectColor = 0x8;
constexpr OutputFlags kOutputShader = 0x10;
constexpr OutputFlags kOutputCurrentObject = 0x100;
constexpr OutputFlags kOutputCurrentMaterial = 0x200;
constexpr OutputFlags kOutputColorToClipboard = 0x1000;
// Also turns every fill of every layer opaque white, so the picture becomes
// a coverage mask; the wireframe is white anyway.
constexpr OutputFlags kOutputAlphaToClipboard = 0x2000;

// Bit i names memory slot i of the plug-in state (labelled i + 1 in the
// windows); 0 means no memory filter.
using MemoryMask = uint32_t;

}  // namespace pavlex
