#include "host/obj/obj_clean_writer.h"

#include <cstring>

#include "host/obj/mtl_writer.h"
#include "host/obj/obj_numbers.h"
#include "host/obj/text_scan.h"

namespace pavlex::host::obj {
namespace {

uint64_t UVBits(const MQCoordinate& uv) {
  uint64_t bits;
  static_assert(sizeof bits == sizeof uv);
  std::memcpy(&bits, &uv, sizeof bits);
  return bits;
}

bool AllZero(const MQCoordinate* uvs, int32_t count) {
  for (int32_t c = 0; c < count; ++c) {
    if (UVBits(uvs[c]) != 0) return false;
  }
  return true;
}

bool HasLiveFace(const HostObject& obj) {
  for (int32_t f = 0; f < obj.faceCount(); ++f) {
    if (obj.cornerCount(f) > 0) return true;
  }
  return false;
}

constexpr size_t kChunk = size_t{1} << 20;

class CleanWriter {
 public:
  CleanWriter(const HostDocument& doc, const std::string& lineBreak, platform::ByteSink& sink)
      : doc_(doc), lineBreak_(lineBreak), sink_(sink) {}

  void libraries(const std::vector<std::string>& names) {
    for (const std::string& library : names) {
      *out_ += "mtllib ";
      *out_ += EncodeName(library);
      *out_ += lineBreak_;
    }
  }

  // False once the sink refused bytes; nothing more is written then.
  bool flush() {
    if (ok_ && !buffer_.empty()) ok_ = sink_.Write(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok_;
  }

  void object(const HostObject& obj) {
    *out_ += "o ";
    *out_ += EncodeName(obj.name());
    *out_ += lineBreak_;

    // Vertices, renumbered past deleted slots.
    vertexIndex_.assign(static_cast<size_t>(obj.vertexCount()), 0);
    for (int32_t v = 0; v < obj.vertexCount(); ++v) {
      if (obj.vertexDeleted(v) && obj.vertexRefCount(v) == 0) continue;
      vertexIndex_[static_cast<size_t>(v)] = ++vertexCount_;
      const MQPoint& p = obj.position(v);
      *out_ += "v ";
      AppendFloat(out_, p.x);
      *out_ += ' ';
      AppendFloat(out_, p.y);
      *out_ += ' ';
      AppendFloat(out_, p.z);
      *out_ += lineBreak_;
      if (!spill()) return;
    }

    // vt entries: one per (vertex, UV) pair, found through a short chain of
    // the pairs seen at each vertex.
    chainHead_.assign(static_cast<size_t>(obj.vertexCount()), -1);
    chain_.clear();
    cornerTexcoord_.clear();
    size_t corners = 0;
    for (int32_t f = 0; f < obj.faceCount(); ++f) corners += static_cast<size_t>(obj.cornerCount(f));
    cornerTexcoord_.reserve(corners);
    for (int32_t f = 0; f < obj.faceCount(); ++f) {
      const int32_t n = obj.cornerCount(f);
      if (n <= 0) continue;
      const MQCoordinate* uvs = obj.faceUVs(f);
      if (AllZero(uvs, n)) continue;
      const int32_t* vertices = obj.faceVertices(f);
      for (int32_t c = 0; c < n; ++c) cornerTexcoord_.push_back(texcoordFor(vertices[c], uvs[c]));
      if (!spill()) return;
    }

    size_t corner = 0;
    for (int32_t f = 0; f < obj.faceCount(); ++f) {
      const int32_t n = obj.cornerCount(f);
      if (n <= 0) continue;
      state(obj.faceMaterial(f), obj.faceSmoothingGroup(f));
      const bool withTexcoords = !AllZero(obj.faceUVs(f), n);
      const int32_t* vertices = obj.faceVertices(f);
      *out_ += n == 2 ? 'l' : 'f';
      for (int32_t c = 0; c < n; ++c) {
        *out_ += ' ';
        AppendInt(out_, vertexIndex_[static_cast<size_t>(vertices[c])]);
        if (withTexcoords) {
          *out_ += '/';
          AppendInt(out_, cornerTexcoord_[corner++]);
        }
      }
      *out_ += lineBreak_;
      if (!spill()) return;
    }
  }

 private:
  bool spill() { return ok_ && (buffer_.size() < kChunk || flush()); }

  int64_t texcoordFor(int32_t vertex, const MQCoordinate& uv) {
    const uint64_t bits = UVBits(uv);
    for (int32_t i = chainHead_[static_cast<size_t>(vertex)]; i >= 0;
         i = chain_[static_cast<size_t>(i)].next) {
      if (chain_[static_cast<size_t>(i)].bits == bits) return chain_[static_cast<size_t>(i)].index;
    }
    const int64_t index = ++texcoordCount_;
    chain_.push_back(Link{bits, index, chainHead_[static_cast<size_t>(vertex)]});
    chainHead_[static_cast<size_t>(vertex)] = static_cast<int32_t>(chain_.size() - 1);
    *out_ += "vt ";
    AppendFloat(out_, uv.u);
    *out_ += ' ';
    AppendFloat(out_, uv.v);
    *out_ += lineBreak_;
    return index;
  }

  // Material and smoothing are file-wide state: written only on change.
  void state(int32_t material, int32_t smoothing) {
    const HostMaterial* mat = doc_.material(material);
    if (mat == nullptr) material = -1;
    if (material != material_) {
      *out_ += "usemtl";
      if (mat != nullptr) {
        *out_ += ' ';
        *out_ += MaterialFileName(*mat);
      }
      *out_ += lineBreak_;
      material_ = material;
    }
    if (smoothing != smoothing_) {
      if (smoothing == 0) {
        *out_ += "s off";
      } else {
        *out_ += "s ";
        AppendInt(out_, static_cast<uint32_t>(smoothing));
      }
      *out_ += lineBreak_;
      smoothing_ = smoothing;
    }
  }

  struct Link {
    uint64_t bits;
    int64_t index;
    int32_t next;
  };

  const HostDocument& doc_;
  const std::string& lineBreak_;
  platform::ByteSink& sink_;
  bool ok_ = true;
  std::string buffer_;  // output not yet in the sink
  std::string* out_ = &buffer_;
  int64_t vertexCount_ = 0;
  int64_t texcoordCount_ = 0;
  int32_t material_ = -1;
  int32_t smoothing_ = 0;
  std::vector<int64_t> vertexIndex_;
  std::vector<int32_t> chainHead_;
  std::vector<Link> chain_;
  std::vector<int64_t> cornerTexcoord_;
};

}  // namespace

bool WriteCleanObj(const HostDocument& doc, const std::vector<std::string>& libraries,
                   const std::string& lineBreak, platform::ByteSink& sink) {
  CleanWriter writer(doc, lineBreak, sink);
  writer.libraries(libraries);
  for (int32_t s = 0; s < doc.objectSlotCount(); ++s) {
    const HostObject* obj = doc.object(s);
    if (obj != nullptr && HasLiveFace(*obj)) writer.object(*obj);
    if (!writer.flush()) return false;
  }
  return writer.flush();
}

std::string WriteCleanObj(const HostDocument& doc, const std::vector<std::string>& libraries,
                          const std::string& lineBreak) {
  std::string out;
  size_t corners = 0;
  for (int32_t s = 0; s < doc.objectSlotCount(); ++s) {
    const HostObject* obj = doc.object(s);
    if (obj != nullptr)
      corners += static_cast<size_t>(obj->vertexCount()) + static_cast<size_t>(obj->faceCount()) * 4;
  }
  out.reserve(corners * 24);
  platform::StringSink sink(&out);
  WriteCleanObj(doc, libraries, lineBreak, sink);
  return out;
}

}  // namespace pavlex::host::obj
