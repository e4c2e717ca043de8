#include "host/obj/obj_parser.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <utility>

#include "host/io/path_names.h"
#include "host/obj/obj_numbers.h"
#include "host/obj/text_scan.h"

namespace pavlex::host::obj {
namespace {

constexpr size_t kMaxEntries = static_cast<size_t>(std::numeric_limits<int32_t>::max());
constexpr size_t kMaxWarnings = 50;

// Positive indices may point forward (checked once the whole file is read).
// The earliest line that points past the final count is always one that
// raised the largest forward index seen so far, so only those are kept.
class ForwardReferences {
 public:
  void note(int32_t index, uint64_t line) {
    if (records_.empty() || index > records_.back().second) records_.emplace_back(line, index);
  }
  // The first (line, index) beyond `count`, or null.
  const std::pair<uint64_t, int32_t>* firstBeyond(size_t count) const {
    for (const auto& record : records_) {
      if (static_cast<size_t>(record.second) > count) return &record;
    }
    return nullptr;
  }

 private:
  std::vector<std::pair<uint64_t, int32_t>> records_;
};

std::string DefaultObjectName(const std::string& displayName) {
  std::string name = io::NamePartOf(displayName);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name.empty() ? "object" : name;
}

class ObjParser {
 public:
  ObjParser(std::string_view text, const std::string& displayName, ParsedObj* out)
      : text_(text), name_(displayName), out_(out), packer_(&out->elements) {
    out_->objects.push_back(ParsedObject{DefaultObjectName(displayName), 0});
  }

  bool run(std::string* error) {
    const size_t binary = FindBinaryByte(text_);
    if (binary != std::string_view::npos) {
      line_ = LineNumberAt(text_, binary);
      return fail(error, "unexpected byte " + QuoteForMessage(text_.substr(binary, 1)) +
                             "; this is not a text OBJ file");
    }
    LineCursor lines(text_);
    TextLine line{};
    while (lines.next(&line)) {
      line_ = lines.number();
      if (!statement(line, error)) return false;
    }
    if (recognised_ == 0 && firstUnknownLine_ != 0) {
      line_ = firstUnknownLine_;
      return fail(error, "unknown statement " + QuoteForMessage(firstUnknown_) + "; this is not an OBJ file");
    }
    return checkForward(vertexForward_, out_->positions.size(), "vertex", error) &&
           checkForward(texcoordForward_, out_->texcoords.size(), "texture coordinate", error) &&
           checkForward(normalForward_, normalCount_, "normal", error);
  }

 private:
  bool statement(const TextLine& line, std::string* error) {
    TokenCursor tokens(line);
    std::string_view keyword;
    if (!tokens.next(&keyword)) return true;
    if (FindNonKeywordByte(keyword) != nullptr) {
      return fail(error, "unexpected bytes in " + QuoteForMessage(keyword) + "; this is not a text OBJ file");
    }
    ++recognised_;
    switch (keyword.size()) {
      case 1:
        switch (keyword[0]) {
          case 'v':
            return vertex(tokens, error);
          case 'f':
            return element(line, tokens, false, error);
          case 'l':
            return element(line, tokens, true, error);
          case 'o':
            startObject(tokens.rest(), false);
            return true;
          case 'g':
            startObject(tokens.rest(), true);
            return true;
          case 's':
            return smoothing(tokens, error);
          case 'p':
            warnOnce(keyword, "point elements ('p') are not loaded");
            return true;
        }
        break;
      case 2:
        if (keyword == "vt") return texcoord(tokens, error);
        if (keyword == "vn") return normal(tokens, error);
        if (keyword == "fo") return element(line, tokens, false, error);  // the old name of f
        break;
      case 6:
        if (keyword == "usemtl") return useMaterial(tokens.rest());
        if (keyword == "mtllib") return materialLibrary(tokens.rest(), error);
        break;
    }
    --recognised_;
    if (firstUnknownLine_ == 0) {
      firstUnknownLine_ = line_;
      firstUnknown_ = std::string(keyword);
    }
    warnOnce(keyword, "statement " + QuoteForMessage(keyword) + " is not supported; ignored");
    return true;
  }

  // --- entries ---------------------------------------------------------------

  bool numbers(TokenCursor& tokens, float* values, int minimum, int maximum, const char* what, int* count,
               std::string* error) {
    std::string_view token;
    int n = 0;
    while (tokens.next(&token)) {
      if (n == maximum) {
        return fail(error, std::string(what) + " takes at most " + std::to_string(maximum) + " numbers");
      }
      if (!number(token, &values[n], error)) return false;
      ++n;
    }
    if (n < minimum) {
      return fail(error, std::string(what) + " needs " + std::to_string(minimum) + " numbers, found " +
                             std::to_string(n));
    }
    *count = n;
    return true;
  }

  bool number(std::string_view token, float* out, std::string* error) {
    switch (ParseFloatToken(token, out)) {
      case NumberStatus::kOk:
        return true;
      case NumberStatus::kOutOfRange:
        return fail(error, "number " + QuoteForMessage(token) + " is out of range");
      case NumberStatus::kNotFinite:
        return fail(error, "number " + QuoteForMessage(token) + " is not finite");
      case NumberStatus::kMalformed:
        break;
    }
    return fail(error, "malformed number " + QuoteForMessage(token));
  }

  bool vertex(TokenCursor& tokens, std::string* error) {
    // x y z, optionally w or an r g b colour: only the position is kept.
    float values[7];
    int count = 0;
    if (!numbers(tokens, values, 3, 7, "a vertex", &count, error)) return false;
    if (out_->positions.size() == kMaxEntries) return fail(error, "too many vertices");
    out_->positions.push_back(MQPoint{values[0], values[1], values[2]});
    return true;
  }

  bool texcoord(TokenCursor& tokens, std::string* error) {
    float values[3] = {0.0f, 0.0f, 0.0f};
    int count = 0;
    if (!numbers(tokens, values, 1, 3, "a texture coordinate", &count, error)) return false;
    if (out_->texcoords.size() == kMaxEntries) return fail(error, "too many texture coordinates");
    out_->texcoords.push_back(MQCoordinate{values[0], values[1]});
    // The third components are only stored once a file has one.
    if (count == 3 || !out_->texcoordW.empty()) {
      out_->texcoordW.resize(out_->texcoords.size() - 1, std::nanf(""));
      out_->texcoordW.push_back(count == 3 ? values[2] : std::nanf(""));
    }
    return true;
  }

  bool normal(TokenCursor& tokens, std::string* error) {
    float values[3];
    int count = 0;
    if (!numbers(tokens, values, 3, 3, "a normal", &count, error)) return false;
    if (normalCount_ == kMaxEntries) return fail(error, "too many normals");
    ++normalCount_;
    return true;
  }

  // --- faces and lines -------------------------------------------------------

  // Resolves a 1-based (or negative, relative) index against the `count`
  // entries read so far into a 0-based one.
  bool resolve(std::string_view text, size_t count, ForwardReferences* forward, const char* what,
               int32_t* out, std::string* error) {
    int32_t raw = 0;
    const NumberStatus status = ParseIndexToken(text, &raw);
    if (status == NumberStatus::kOutOfRange) {
      return fail(error, std::string(what) + " index " + QuoteForMessage(text) + " is out of range");
    }
    if (status != NumberStatus::kOk)
      return fail(error, "malformed " + std::string(what) + " index " + QuoteForMessage(text));
    if (raw > 0) {
      if (static_cast<size_t>(raw) > count) forward->note(raw, line_);
      *out = raw - 1;
      return true;
    }
    if (raw == 0) return fail(error, std::string(what) + " index 0 is not valid; OBJ indices start at 1");
    const int64_t index = static_cast<int64_t>(count) + raw;
    if (index < 0) {
      return fail(error, "relative " + std::string(what) + " index " + std::to_string(raw) +
                             " reaches before the first " + what + " (" + std::to_string(count) + " so far)");
    }
    *out = static_cast<int32_t>(index);
    return true;
  }

  // One corner: v, v/vt, v//vn or v/vt/vn. An empty vt or vn part means none.
  bool corner(std::string_view token, std::string* error) {
    const size_t slash1 = token.find('/');
    const std::string_view v = token.substr(0, slash1);
    std::string_view vt, vn;
    if (slash1 != std::string_view::npos) {
      const std::string_view tail = token.substr(slash1 + 1);
      const size_t slash2 = tail.find('/');
      vt = tail.substr(0, slash2);
      if (slash2 != std::string_view::npos) {
        vn = tail.substr(slash2 + 1);
        if (vn.find('/') != std::string_view::npos)
          return fail(error, "malformed corner " + QuoteForMessage(token));
      }
    }
    int32_t vertex = 0, texcoord = -1, normal = 0;
    if (!resolve(v, out_->positions.size(), &vertexForward_, "vertex", &vertex, error)) return false;
    if (!vt.empty() &&
        !resolve(vt, out_->texcoords.size(), &texcoordForward_, "texture coordinate", &texcoord, error))
      return false;
    if (!vn.empty() && !resolve(vn, normalCount_, &normalForward_, "normal", &normal, error)) return false;
    out_->tokenVertex.push_back(vertex);
    cornerTexcoords_.push_back(texcoord);
    return true;
  }

  bool element(const TextLine& line, TokenCursor& tokens, bool isLine, std::string* error) {
    const size_t first = out_->tokenVertex.size();
    if (out_->elements.count == kMaxEntries) return fail(error, "too many faces");
    cornerTexcoords_.clear();
    std::string_view token;
    while (tokens.next(&token)) {
      if (out_->tokenVertex.size() == std::numeric_limits<uint32_t>::max())
        return fail(error, "too many corners");
      if (!corner(token, error)) return false;
    }
    const size_t count = out_->tokenVertex.size() - first;
    const size_t minimum = isLine ? 2 : 3;
    if (count < minimum) {
      return fail(error, std::string(isLine ? "a line has " : "a face has ") + std::to_string(count) +
                             (count == 1 ? " point" : " points") + "; it needs at least " +
                             std::to_string(minimum));
    }
    packer_.add(static_cast<uint64_t>(line.begin - text_.data()), current_, smoothing_, material_, isLine,
                cornerTexcoords_.data(), static_cast<uint32_t>(count));
    ParsedObject& object = out_->objects[static_cast<size_t>(current_)];
    ++object.elementCount;
    object.faceCount += isLine ? count - 1 : 1;
    object.cornerCount += isLine ? 2 * (count - 1) : count;
    return true;
  }

  // --- state statements ------------------------------------------------------

  std::string name(std::string_view bytes) {
    bool recoded = false;
    std::string decoded = DecodeName(bytes, &recoded);
    // The key has a blank, so no keyword's warning can share it.
    if (recoded) warnOnce(" names", "a name is not UTF-8; read as Latin-1");
    return decoded;
  }

  void startObject(std::string_view rest, bool isGroup) {
    std::string objectName = rest.empty() ? std::string("default") : name(rest);
    const auto found = objectByName_.find(objectName);
    if (isGroup && found != objectByName_.end()) {
      current_ = found->second;
      return;
    }
    ParsedObject& currentObject = out_->objects[static_cast<size_t>(current_)];
    if (currentObject.elementCount == 0) {
      const auto old = objectByName_.find(currentObject.name);
      if (old != objectByName_.end() && old->second == current_) objectByName_.erase(old);
      currentObject.name = objectName;
    } else {
      current_ = static_cast<int32_t>(out_->objects.size());
      out_->objects.push_back(ParsedObject{objectName, 0});
    }
    objectByName_[std::move(objectName)] = current_;
  }

  bool smoothing(TokenCursor& tokens, std::string* error) {
    std::string_view token, extra;
    if (!tokens.next(&token) || token == "off") {
      smoothing_ = 0;
    } else {
      uint64_t group = 0;
      for (const char c : token) {
        const unsigned digit = static_cast<unsigned char>(c) - static_cast<unsigned>('0');
        if (digit > 9 || group > std::numeric_limits<uint32_t>::max()) {
          return fail(error, "smoothing group " + QuoteForMessage(token) + " is not 'off' or a number");
        }
        group = group * 10 + digit;
      }
      if (group > std::numeric_limits<uint32_t>::max()) {
        return fail(error, "smoothing group " + QuoteForMessage(token) + " is out of range");
      }
      // Kept as the same 32 bits, written back unsigned.
      smoothing_ = static_cast<int32_t>(static_cast<uint32_t>(group));
    }
    if (tokens.next(&extra)) return fail(error, "smoothing takes one group, found " + QuoteForMessage(extra));
    return true;
  }

  bool useMaterial(std::string_view rest) {
    if (rest.empty()) {
      material_ = -1;
      return true;
    }
    std::string materialName = name(rest);
    const auto found = materialByName_.find(materialName);
    if (found != materialByName_.end()) {
      material_ = found->second;
      return true;
    }
    material_ = static_cast<int32_t>(out_->materials.size());
    out_->materials.push_back(NamedUse{materialName, line_});
    materialByName_.emplace(std::move(materialName), material_);
    return true;
  }

  bool materialLibrary(std::string_view rest, std::string* error) {
    if (rest.empty()) return fail(error, "mtllib needs a file name");
    out_->libraries.push_back(
        NamedUse{std::string(rest), line_, static_cast<uint64_t>(rest.data() - text_.data())});
    return true;
  }

  // --- reporting -------------------------------------------------------------

  bool checkForward(const ForwardReferences& forward, size_t count, const char* what, std::string* error) {
    const auto* bad = forward.firstBeyond(count);
    if (bad == nullptr) return true;
    line_ = bad->first;
    return fail(error, std::string(what) + " index " + std::to_string(bad->second) +
                           " is out of range; the file has " + std::to_string(count));
  }

  void warnOnce(std::string_view key, const std::string& message) {
    for (const std::string& seen : warned_) {
      if (seen == key) return;
    }
    if (out_->warnings.size() >= kMaxWarnings) return;
    warned_.emplace_back(key);
    out_->warnings.push_back(name_ + ":" + std::to_string(line_) + ": " + message);
  }

  bool fail(std::string* error, const std::string& message) {
    *error = name_ + ":" + std::to_string(line_) + ": " + message;
    return false;
  }

  std::string_view text_;
  const std::string& name_;
  ParsedObj* out_;
  ElementPacker packer_;
  std::vector<int32_t> cornerTexcoords_;  // of the statement being read
  uint64_t line_ = 0;
  size_t normalCount_ = 0;
  int32_t current_ = 0;
  int32_t material_ = -1;
  int32_t smoothing_ = 0;
  ForwardReferences vertexForward_, texcoordForward_, normalForward_;
  std::unordered_map<std::string, int32_t> objectByName_;
  std::unordered_map<std::string, int32_t> materialByName_;
  std::vector<std::string> warned_;
  uint64_t recognised_ = 0;
  uint64_t firstUnknownLine_ = 0;
  std::string firstUnknown_;
};

}  // namespace

bool ParseObjText(std::string_view text, const std::string& displayName, ParsedObj* out, std::string* error) {
  return ObjParser(text, displayName, out).run(error);
}

}  // namespace pavlex::host::obj
