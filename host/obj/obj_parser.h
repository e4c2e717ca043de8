// The first stage of an OBJ import: the text read into flat arrays, every
// index resolved and checked, nothing of the host touched yet. The rules
// are those of obj_file.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/obj/obj_elements.h"
#include "hostapi/mq_types.h"

namespace pavlex::host::obj {

struct ParsedObject {
  std::string name;
  uint32_t elementCount = 0;
  uint64_t faceCount = 0;    // host faces its statements make
  uint64_t cornerCount = 0;  // and their corners
};

// A name a statement refers to, with the line that first named it.
struct NamedUse {
  std::string name;
  uint64_t line = 0;
  uint64_t offset = 0;  // mtllib: first byte of the name in the text, for rewriting it
};

struct ParsedObj {
  std::vector<MQPoint> positions;
  std::vector<MQCoordinate> texcoords;
  std::vector<float> texcoordW;      // as ObjSource::texcoordW
  PackedElements elements;           // object = index into objects, material
                                     // = index into materials (-1 none)
  std::vector<int32_t> tokenVertex;  // per corner: 0-based v
  std::vector<ParsedObject> objects;  // objects[0] is the default one
  std::vector<NamedUse> materials;    // usemtl names, first use order
  std::vector<NamedUse> libraries;    // mtllib references, in order
  std::vector<std::string> warnings;
};

// `displayName` prefixes messages and, without its folder and extension,
// names the default object. On failure `error` is "name:line: message" and
// `out` is unspecified.
bool ParseObjText(std::string_view text, const std::string& displayName, ParsedObj* out, std::string* error);

}  // namespace pavlex::host::obj
