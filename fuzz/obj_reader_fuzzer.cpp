// Fuzzes the OBJ reader, and checks on every input it accepts that the
// writers describe the document exactly:
// - an unchanged document patches back to the input, byte for byte;
// - after UV edits the patched text reads back with the same corners;
// - a clean file reads back with the same geometry, UVs and smoothing.
// Rejected input must come with a one-line message.
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "host/obj/obj_clean_writer.h"
#include "host/obj/obj_file.h"
#include "host/obj/obj_patch_writer.h"

namespace {

using pavlex::host::HostDocument;
using pavlex::host::HostObject;
using pavlex::host::ObjImport;

// Material libraries are looked up here: a folder that does not exist.
const char kNoFolder[] = "/nonexistent-pavlex-fuzz/";

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
  }
}

uint64_t Bits(const MQCoordinate& uv) {
  uint64_t bits;
  std::memcpy(&bits, &uv, sizeof bits);
  return bits;
}

uint32_t Bits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

ObjImport MustLoad(const std::string& text) {
  ObjImport import;
  std::string error;
  Check(pavlex::host::LoadObjText(text, "fuzz.obj", kNoFolder, &import, &error), "written text reads back");
  return import;
}

// Same faces, corners, vertex indices and UV bits in every object slot.
void CheckSameCorners(const HostDocument& a, const HostDocument& b) {
  Check(a.objectSlotCount() == b.objectSlotCount(), "object count");
  for (int32_t s = 0; s < a.objectSlotCount(); ++s) {
    const HostObject& x = *a.object(s);
    const HostObject& y = *b.object(s);
    Check(x.faceCount() == y.faceCount() && x.vertexCount() == y.vertexCount(), "face and vertex counts");
    for (int32_t f = 0; f < x.faceCount(); ++f) {
      Check(x.cornerCount(f) == y.cornerCount(f), "corner count");
      for (int32_t c = 0; c < x.cornerCount(f); ++c) {
        Check(x.faceVertices(f)[c] == y.faceVertices(f)[c], "corner vertex");
        Check(Bits(x.faceUVs(f)[c]) == Bits(y.faceUVs(f)[c]), "corner UV");
      }
    }
  }
}

// Live faces of objects that have any, as positions, UVs, smoothing and
// material names: what a clean file must keep.
std::vector<uint64_t> Geometry(const HostDocument& doc) {
  std::vector<uint64_t> out;
  for (int32_t s = 0; s < doc.objectSlotCount(); ++s) {
    const HostObject* obj = doc.object(s);
    if (obj == nullptr) continue;
    for (int32_t f = 0; f < obj->faceCount(); ++f) {
      if (obj->cornerCount(f) == 0) continue;
      const pavlex::host::HostMaterial* material = doc.material(obj->faceMaterial(f));
      out.push_back(material == nullptr ? 0 : std::hash<std::string>()(material->name));
      out.push_back(static_cast<uint32_t>(obj->faceSmoothingGroup(f)));
      for (int32_t c = 0; c < obj->cornerCount(f); ++c) {
        const MQPoint& p = obj->position(obj->faceVertices(f)[c]);
        out.push_back(Bits(p.x) | static_cast<uint64_t>(Bits(p.y)) << 32);
        out.push_back(Bits(p.z));
        out.push_back(Bits(obj->faceUVs(f)[c]));
      }
    }
    out.push_back(~uint64_t{0});  // object boundary
  }
  return out;
}

// New UVs as a function of the vertex and the old UV, so corners that
// shared a UV (polyline points) still share one.
void EditUVs(HostDocument& doc) {
  for (int32_t s = 0; s < doc.objectSlotCount(); ++s) {
    HostObject& obj = *doc.object(s);
    for (int32_t f = 0; f < obj.faceCount(); ++f) {
      for (int32_t c = 0; c < obj.cornerCount(f); ++c) {
        const int32_t v = obj.faceVertices(f)[c];
        if (v % 3 == 1) continue;
        MQCoordinate& uv = obj.faceUVs(f)[c];
        uv = {uv.v * 0.5f + static_cast<float>(v % 7), -uv.u};
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ObjImport import;
  std::string error;
  if (!pavlex::host::LoadObjText(text, "fuzz.obj", kNoFolder, &import, &error)) {
    Check(!error.empty() && error.find('\n') == std::string::npos, "one-line error");
    Check(import.document == nullptr && import.source == nullptr, "nothing loaded on failure");
    return 0;
  }
  HostDocument& doc = *import.document;
  const pavlex::host::ObjSource& source = *import.source;

  std::string patched;
  Check(pavlex::host::obj::PatchObjText(doc, source, &patched), "unchanged document patches");
  Check(patched == text, "unchanged document patches to the input");

  EditUVs(doc);
  if (pavlex::host::obj::PatchObjText(doc, source, &patched))
    CheckSameCorners(doc, *MustLoad(patched).document);

  const std::string clean = pavlex::host::obj::WriteCleanObj(doc, {}, "\n");
  Check(Geometry(*MustLoad(clean).document) == Geometry(doc), "clean file keeps the geometry");
  return 0;
}
