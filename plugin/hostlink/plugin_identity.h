// What the plug-in tells the host about itself. The product and id pair
// also names the plug-in's settings and goes into every message it sends.
#pragma once

#include <cstdint>

namespace pavlex {

constexpr uint32_t kPlugInProduct = 0x5A3C9E41;
constexpr uint32_t kPlugInId = 0x7D2B6F18;
constexpr char kPlugInName[] = "Pavlex for V4 v.1.3";
constexpr char16_t kCommandName[] = u"Pavlex";

}  // namespace pavlex
