#include "host/obj/obj_patch_writer.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <vector>

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

class Patcher {
 public:
  Patcher(const HostDocument& doc, const ObjSource& source, const std::vector<TextEdit>& edits, std::string* out)
      : doc_(doc),
        source_(source),
        edits_(edits),
        out_(out),
        nextTexcoord_(static_cast<int64_t>(source.texcoords.size()) + 1) {}

  bool run() {
    const std::string& text = source_.text;
    out_->clear();
    out_->reserve(text.size() + text.size() / 8);
    size_t cursor = 0;
    for (const ObjSource::Element& e : source_.elements) {
      if (!readCurrent(e)) return false;
      bool changed = false;
      for (uint32_t t = 0; t < e.tokenCount; ++t) {
        changed_[t] = !SameUV(current_[t], source_.originalUV(e.firstToken + t));
        changed = changed || changed_[t];
      }
      if (!changed) continue;
      const size_t begin = static_cast<size_t>(e.offset);
      const auto* nl = static_cast<const char*>(std::memchr(text.data() + begin, '\n', text.size() - begin));
      size_t end = nl ? static_cast<size_t>(nl - text.data()) : text.size();
      if (end > begin && text[end - 1] == '\r') --end;
      cursor = applyEdits(begin, cursor);
      out_->append(text, cursor, begin - cursor);
      if (!rewrite(e, text.data() + begin, text.data() + end)) return false;
      cursor = end;
    }
    cursor = applyEdits(text.size(), cursor);
    out_->append(text, cursor, std::string::npos);
    if (!added_.empty()) {
      // Complete the last line first; a final lone '\r' only lacks its '\n'.
      if (!text.empty() && text.back() == '\r') {
        *out_ += '\n';
      } else if (!text.empty() && text.back() != '\n') {
        *out_ += source_.lineBreak;
      }
      *out_ += added_;
    }
    return true;
  }

 private:
  // Copies the text up to each edit before `limit` and the edit itself;
  // answers the new copy cursor.
  size_t applyEdits(size_t limit, size_t cursor) {
    for (; nextEdit_ < edits_.size() && edits_[nextEdit_].offset < limit; ++nextEdit_) {
      const TextEdit& edit = edits_[nextEdit_];
      out_->append(source_.text, cursor, static_cast<size_t>(edit.offset) - cursor);
      *out_ += edit.text;
      cursor = static_cast<size_t>(edit.offset + edit.length);
    }
    return cursor;
  }

  // The document's UV for every token of the element, into current_.
  bool readCurrent(const ObjSource::Element& e) {
    current_.resize(e.tokenCount);
    changed_.resize(e.tokenCount);
    const HostObject* obj = doc_.object(source_.objects[static_cast<size_t>(e.object)].slot);
    if (!e.isLine) {
      const MQCoordinate* uvs = obj->faceUVs(e.firstFace);
      for (uint32_t t = 0; t < e.tokenCount; ++t) current_[t] = uvs[t];
      return true;
    }
    // Point t is corner 0 of segment t and corner 1 of segment t - 1; one
    // token can only carry one UV.
    for (uint32_t t = 0; t < e.tokenCount; ++t) {
      const auto segment = static_cast<int32_t>(t);
      const bool hasNext = t + 1 < e.tokenCount, hasPrevious = t > 0;
      const MQCoordinate next = hasNext ? obj->faceUVs(e.firstFace + segment)[0] : MQCoordinate{};
      const MQCoordinate previous = hasPrevious ? obj->faceUVs(e.firstFace + segment - 1)[1] : MQCoordinate{};
      if (hasNext && hasPrevious && !SameUV(next, previous)) return false;
      current_[t] = hasNext ? next : previous;
    }
    return true;
  }

  bool rewrite(const ObjSource::Element& e, const char* begin, const char* end) {
    TokenCursor tokens(begin, end);
    std::string_view token;
    tokens.next(&token);  // the keyword
    const char* copied = begin;
    for (uint32_t t = 0; t < e.tokenCount && tokens.next(&token); ++t) {
      const size_t slash1 = token.find('/');
      const std::string_view vertex = token.substr(0, slash1);
      std::string_view vt, normal;
      if (slash1 != std::string_view::npos) {
        const std::string_view tail = token.substr(slash1 + 1);
        const size_t slash2 = tail.find('/');
        vt = tail.substr(0, slash2);
        if (slash2 != std::string_view::npos) normal = tail.substr(slash2 + 1);
      }
      if (!changed_[t] && !vt.empty()) continue;  // stays as written
      const int32_t original = source_.tokenTexcoord[e.firstToken + t];
      const int64_t index = texcoordFor(current_[t], original);
      if (index > std::numeric_limits<int32_t>::max()) return false;
      out_->append(copied, static_cast<size_t>(token.data() - copied));
      out_->append(vertex);
      *out_ += '/';
      AppendInt(out_, index);
      if (!normal.empty()) {
        *out_ += '/';
        out_->append(normal);
      }
      copied = token.data() + token.size();
    }
    out_->append(copied, static_cast<size_t>(end - copied));
    return true;
  }

  // The 1-based index of a vt entry holding `uv` (with the third component
  // of the corner's original vt, if it had one), adding it when needed.
  int64_t texcoordFor(const MQCoordinate& uv, int32_t original) {
    if (original >= 0) {
      // Corners that shared a vt usually move together: one new entry each.
      if (byOriginal_.empty()) byOriginal_.assign(source_.texcoords.size(), Reuse{});
      Reuse& reuse = byOriginal_[static_cast<size_t>(original)];
      if (reuse.index != 0 && SameUV(reuse.uv, uv)) return reuse.index;
      const float w =
          source_.texcoordW.empty() ? std::nanf("") : source_.texcoordW[static_cast<size_t>(original)];
      reuse = Reuse{add(uv, w), uv};
      return reuse.index;
    }
    const auto found = withoutOriginal_.find(UVBits(uv));
    if (found != withoutOriginal_.end()) return found->second;
    const int64_t index = add(uv, std::nanf(""));
    withoutOriginal_.emplace(UVBits(uv), index);
    return index;
  }

  int64_t add(const MQCoordinate& uv, float w) {
    added_ += "vt ";
    AppendFloat(&added_, uv.u);
    added_ += ' ';
    AppendFloat(&added_, uv.v);
    if (!std::isnan(w)) {
      added_ += ' ';
      AppendFloat(&added_, w);
    }
    added_ += source_.lineBreak;
    return nextTexcoord_++;
  }

  struct Reuse {
    int64_t index = 0;  // 0: none yet
    MQCoordinate uv{};
  };

  const HostDocument& doc_;
  const ObjSource& source_;
  const std::vector<TextEdit>& edits_;
  size_t nextEdit_ = 0;
  std::string* out_;
  std::string added_;  // the new vt lines
  int64_t nextTexcoord_;
  std::vector<MQCoordinate> current_;
  std::vector<uint8_t> changed_;
  std::vector<Reuse> byOriginal_;
  std::unordered_map<uint64_t, int64_t> withoutOriginal_;
};

}  // namespace

bool PatchObjText(const HostDocument& doc, const ObjSource& source, std::string* out,
                  const std::vector<TextEdit>& edits) {
  return Patcher(doc, source, edits, out).run();
}

}  // namespace pavlex::host::obj
