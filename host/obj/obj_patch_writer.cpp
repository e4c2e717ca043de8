#include "host/obj/obj_patch_writer.h"

#include <algorithm>
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

constexpr size_t kChunk = size_t{1} << 20;

uint64_t UVBits(const MQCoordinate& uv) {
  uint64_t bits;
  static_assert(sizeof bits == sizeof uv);
  std::memcpy(&bits, &uv, sizeof bits);
  return bits;
}

// The kept text, read through a window that moves forward with the patch:
// a copy on disk is never held whole. Text in memory is read in place.
class TextWindow {
 public:
  explicit TextWindow(const io::FileBytes& bytes) : bytes_(bytes), memory_(bytes.memory()) {}

  uint64_t size() const { return bytes_.size(); }

  // Bytes [from, from + length), within size(); valid until the next call.
  // Null when the copy cannot be read (`reason` says why).
  const char* get(uint64_t from, size_t length, std::string* reason) {
    if (memory_ != nullptr) return memory_->data() + from;
    if (from < start_ || from > start_ + filled_) {
      start_ = from;
      filled_ = 0;
    } else if (from + length > start_ + filled_ && from > start_) {
      // Keep what is still wanted, at the front.
      const auto drop = static_cast<size_t>(from - start_);
      std::memmove(buffer_.data(), buffer_.data() + drop, filled_ - drop);
      filled_ -= drop;
      start_ = from;
    }
    if (from + length > start_ + filled_) {
      if (buffer_.size() < length) buffer_.resize(std::max(length, kChunk));
      const auto want = static_cast<size_t>(
          std::min<uint64_t>(buffer_.size() - filled_, bytes_.size() - (start_ + filled_)));
      if (!bytes_.read(start_ + filled_, want, buffer_.data() + filled_, reason)) return nullptr;
      filled_ += want;
    }
    return buffer_.data() + (from - start_);
  }

 private:
  const io::FileBytes& bytes_;
  const std::string* memory_;  // null: on disk
  std::vector<char> buffer_;
  uint64_t start_ = 0;  // where buffer_[0] is in the text
  size_t filled_ = 0;
};

class Patcher {
 public:
  Patcher(const HostDocument& doc, const ObjSource& source, const std::vector<TextEdit>& edits,
          platform::ByteSink& sink, std::string* reason)
      : doc_(doc),
        source_(source),
        edits_(edits),
        sink_(sink),
        reason_(reason),
        text_(source.text),
        nextTexcoord_(static_cast<int64_t>(source.texcoords.size()) + 1) {}

  PatchResult run() {
    const uint64_t size = text_.size();
    uint64_t cursor = 0;
    ElementCursor elements(source_.elements);
    while (elements.next()) {
      const Element& e = elements.element();
      const int32_t* texcoords = elements.texcoords();
      if (!readCurrent(e)) return PatchResult::kNotDescribable;
      bool changed = false;
      for (uint32_t t = 0; t < e.tokenCount; ++t) {
        changed_[t] = !SameUV(current_[t], source_.originalUV(texcoords[t]));
        changed = changed || changed_[t];
      }
      if (!changed) continue;
      const uint64_t begin = e.offset;
      if (!applyEdits(begin, &cursor) || !copy(cursor, begin)) return failure();
      const char* line = nullptr;
      uint64_t end = 0;
      if (!lineAt(begin, &line, &end)) return failure();
      if (!rewrite(e, texcoords, line, line + (end - begin))) return PatchResult::kNotDescribable;
      cursor = end;
      if (pending_.size() >= kChunk && !flush()) return failure();
    }
    if (!applyEdits(size, &cursor) || !copy(cursor, size)) return failure();
    if (!added_.empty()) {
      // Complete the last line first; a final lone '\r' only lacks its '\n'.
      const char* last = size == 0 ? nullptr : text_.get(size - 1, 1, reason_);
      if (size != 0 && last == nullptr) return failure();
      if (last != nullptr && *last == '\r') {
        pending_ += '\n';
      } else if (last != nullptr && *last != '\n') {
        pending_ += source_.lineBreak;
      }
      for (const std::vector<Added>& chunk : added_) {
        for (const Added& vt : chunk) {
          pending_ += "vt ";
          AppendFloat(&pending_, vt.uv.u);
          pending_ += ' ';
          AppendFloat(&pending_, vt.uv.v);
          if (!std::isnan(vt.w)) {
            pending_ += ' ';
            AppendFloat(&pending_, vt.w);
          }
          pending_ += source_.lineBreak;
          if (pending_.size() >= kChunk && !flush()) return failure();
        }
      }
    }
    return flush() ? PatchResult::kWritten : failure();
  }

 private:
  PatchResult failure() const { return sinkRefused_ ? PatchResult::kSinkRefused : PatchResult::kSourceUnreadable; }

  bool flush() {
    if (pending_.empty()) return true;
    if (!sink_.Write(pending_.data(), pending_.size())) {
      sinkRefused_ = true;
      return false;
    }
    pending_.clear();
    return true;
  }

  bool emit(const char* data, size_t length) {
    if (pending_.size() + length < kChunk) {
      pending_.append(data, length);
      return true;
    }
    if (!flush()) return false;
    if (!sink_.Write(data, length)) {
      sinkRefused_ = true;
      return false;
    }
    return true;
  }

  // Text [from, to) as it is.
  bool copy(uint64_t from, uint64_t to) {
    while (from < to) {
      const auto length = static_cast<size_t>(std::min<uint64_t>(to - from, kChunk));
      const char* bytes = text_.get(from, length, reason_);
      if (bytes == nullptr || !emit(bytes, length)) return false;
      from += length;
    }
    return true;
  }

  // The line starting at `begin`, its break excluded; `end` is where the
  // break (or the text) begins.
  bool lineAt(uint64_t begin, const char** line, uint64_t* end) {
    const uint64_t size = text_.size();
    size_t length = static_cast<size_t>(std::min<uint64_t>(size - begin, 4096));
    for (;;) {
      const char* bytes = text_.get(begin, length, reason_);
      if (bytes == nullptr) return false;
      const auto* nl = static_cast<const char*>(std::memchr(bytes, '\n', length));
      if (nl != nullptr || begin + length == size) {
        size_t stop = nl != nullptr ? static_cast<size_t>(nl - bytes) : length;
        if (stop > 0 && bytes[stop - 1] == '\r') --stop;
        *line = bytes;
        *end = begin + stop;
        return true;
      }
      length = static_cast<size_t>(std::min<uint64_t>(size - begin, uint64_t{length} * 4));
    }
  }

  // Copies the text up to each edit before `limit` and the edit itself,
  // moving the copy cursor past it.
  bool applyEdits(uint64_t limit, uint64_t* cursor) {
    for (; nextEdit_ < edits_.size() && edits_[nextEdit_].offset < limit; ++nextEdit_) {
      const TextEdit& edit = edits_[nextEdit_];
      if (!copy(*cursor, edit.offset) || !emit(edit.text.data(), edit.text.size())) return false;
      *cursor = edit.offset + edit.length;
    }
    return true;
  }

  // The document's UV for every token of the element, into current_.
  bool readCurrent(const Element& e) {
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

  bool rewrite(const Element& e, const int32_t* texcoords, const char* begin, const char* end) {
    std::string* out = &pending_;
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
      const int64_t index = texcoordFor(current_[t], texcoords[t]);
      if (index > std::numeric_limits<int32_t>::max()) return false;
      out->append(copied, static_cast<size_t>(token.data() - copied));
      out->append(vertex);
      *out += '/';
      AppendInt(out, index);
      if (!normal.empty()) {
        *out += '/';
        out->append(normal);
      }
      copied = token.data() + token.size();
    }
    out->append(copied, static_cast<size_t>(end - copied));
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
      const int64_t index = add(uv, w);
      // An index past the int32 range ends the patch, so it is never reused.
      reuse = Reuse{static_cast<uint32_t>(std::min<int64_t>(index, std::numeric_limits<uint32_t>::max())), uv};
      return index;
    }
    const auto found = withoutOriginal_.find(UVBits(uv));
    if (found != withoutOriginal_.end()) return found->second;
    const int64_t index = add(uv, std::nanf(""));
    withoutOriginal_.emplace(UVBits(uv), index);
    return index;
  }

  int64_t add(const MQCoordinate& uv, float w) {
    // In fixed chunks: a growing array would briefly hold its old and new
    // storage, half again the size of the list.
    if (added_.empty() || added_.back().size() == kAddedChunk) {
      added_.emplace_back();
      added_.back().reserve(kAddedChunk);
    }
    added_.back().push_back(Added{uv, w});
    return nextTexcoord_++;
  }

  struct Reuse {
    uint32_t index = 0;  // 0: none yet
    MQCoordinate uv{};
  };
  // A vt entry the patch appends.
  struct Added {
    MQCoordinate uv;
    float w;  // NaN: none
  };

  const HostDocument& doc_;
  const ObjSource& source_;
  const std::vector<TextEdit>& edits_;
  size_t nextEdit_ = 0;
  platform::ByteSink& sink_;
  std::string* reason_;
  bool sinkRefused_ = false;
  TextWindow text_;
  std::string pending_;  // output not yet in the sink
  static constexpr size_t kAddedChunk = size_t{1} << 16;
  std::vector<std::vector<Added>> added_;  // in file order
  int64_t nextTexcoord_;
  std::vector<MQCoordinate> current_;
  std::vector<uint8_t> changed_;
  std::vector<Reuse> byOriginal_;
  std::unordered_map<uint64_t, int64_t> withoutOriginal_;
};

}  // namespace

PatchResult PatchObjText(const HostDocument& doc, const ObjSource& source, platform::ByteSink& sink,
                         const std::vector<TextEdit>& edits, std::string* reason) {
  std::string ignored;
  return Patcher(doc, source, edits, sink, reason != nullptr ? reason : &ignored).run();
}

bool PatchObjText(const HostDocument& doc, const ObjSource& source, std::string* out,
                  const std::vector<TextEdit>& edits) {
  out->clear();
  out->reserve(static_cast<size_t>(source.text.size() + source.text.size() / 8));
  platform::StringSink sink(out);
  return PatchObjText(doc, source, sink, edits, nullptr) == PatchResult::kWritten;
}

}  // namespace pavlex::host::obj
