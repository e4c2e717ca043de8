// The program's own TGA writer: uncompressed 32-bit true colour, bottom
// row first, with the version-2 footer.
//
//   offset size  field                     value
//   0      1     image ID length           0
//   1      1     colour map type           0
//   2      1     image type                2 (uncompressed true colour)
//   3      5     colour map fields         0
//   8      4     x and y origin            0
//   12     2     width                     little-endian
//   14     2     height                    little-endian
//   16     1     pixel depth               32
//   17     1     image descriptor          0x08 (8 alpha bits, bottom-up)
//   18     w*h*4 pixels                    blue, green, red, alpha; bottom row first
//   +0     4     extension area offset     0
//   +4     4     developer area offset     0
//   +8     18    signature                 "TRUEVISION-XFILE." and a zero byte
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/byte_sink.h"
#include "plugin/output/layout_image.h"
#include "plugin/output/output_result.h"

namespace pavlex {

// Largest width or height the 16-bit header fields can hold; larger
// pictures are refused rather than written with a wrapped size.
constexpr int32_t kMaxTgaSide = 65535;

constexpr size_t kTgaHeaderBytes = 18;
constexpr size_t kTgaFooterBytes = 26;

// The 18-byte header and the 26-byte footer for a width x height picture
// (both at most kMaxTgaSide).
void BuildTgaHeader(uint32_t width, uint32_t height, uint8_t (&header)[kTgaHeaderBytes]);
void BuildTgaFooter(uint8_t (&footer)[kTgaFooterBytes]);

// Writes the whole file into `sink` from pixels(); false when the image is
// invalid, too large, or the sink refused bytes.
bool EncodeTGA(const LayoutImage& image, platform::ByteSink& sink);

// The file at `path` (UTF-8), replacing any file atomically: nothing is
// written for an invalid or too large image. Linux writes what EncodeTGA
// makes; Windows reads the rows bottom up through GDI+ (a flip and a lock
// of the bitmap), which gives the same bytes.
OutputResult WriteTGA(const LayoutImage& image, const std::string& path);

// The refusal of a picture whose sides the header cannot hold.
OutputResult TgaTooLarge();

}  // namespace pavlex
