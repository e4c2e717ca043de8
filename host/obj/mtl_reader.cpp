#include "host/obj/mtl_reader.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "host/obj/obj_numbers.h"
#include "host/obj/text_scan.h"

namespace pavlex::host::obj {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

float Mean(const MQColor& c) {
  // In double, so that a grey colour (a, a, a) gives exactly a.
  return static_cast<float>((static_cast<double>(c.r) + c.g + c.b) / 3.0);
}

// The file name of a map statement: options ("-s 1 1 1 name") come first,
// so with options the name is the last token; without, the whole rest of
// the line (names may contain blanks).
std::string_view MapNameText(TokenCursor tokens) {
  const std::string_view rest = tokens.rest();
  if (rest.empty() || rest.front() != '-') return rest;
  std::string_view token, last;
  while (tokens.next(&token)) last = token;
  return last;
}

std::string MapName(const TokenCursor& tokens) {
  return EncodeName(MapNameText(tokens));
}

// Statements whose argument ends with an image file name. The reader maps
// only some of them; a copy of the library must keep all of them pointing
// at their files.
bool NamesAFile(const std::string& keyword) {
  return keyword.compare(0, 4, "map_") == 0 || keyword == "bump" || keyword == "disp" ||
         keyword == "decal" || keyword == "refl" || keyword == "norm";
}

// Every fault below spoils one statement, never the model: it is reported
// as a warning and the statement is left out, so the material keeps the
// host's default for that value.
class MtlParser {
 public:
  MtlParser(std::string_view text, const std::string& displayName, std::vector<MtlMaterial>* out,
            std::vector<std::string>* warnings)
      : text_(text), name_(displayName), out_(out), warnings_(warnings) {}

  // False only when the text is not a text file at all.
  bool run(std::string* error) {
    const size_t binary = FindBinaryByte(text_);
    if (binary != std::string_view::npos) {
      *error = name_ + ":" + std::to_string(LineNumberAt(text_, binary)) + ": unexpected byte " +
               QuoteForMessage(text_.substr(binary, 1)) + "; not a text material library";
      return false;
    }
    LineCursor lines(text_);
    TextLine line{};
    while (lines.next(&line)) {
      line_ = lines.number();
      TokenCursor tokens(line);
      std::string_view keyword;
      if (!tokens.next(&keyword)) continue;
      if (FindNonKeywordByte(keyword) != nullptr) {
        warn("unexpected bytes in " + QuoteForMessage(keyword) + "; line ignored");
        continue;
      }
      statement(Lower(keyword), tokens);
    }
    return true;
  }

 private:
  void statement(const std::string& keyword, TokenCursor& tokens) {
    if (keyword == "newmtl") {
      // Kept under an empty name: its values still belong to it, not to the
      // material before it, and a copy of the library stays verbatim.
      const std::string_view rest = tokens.rest();
      if (rest.empty()) warn("newmtl without a material name; kept as a material without a name");
      bool recoded = false;
      MtlMaterial material;
      material.name = DecodeName(rest, &recoded);
      material.line = line_;
      if (recoded) warn("material name is not UTF-8; read as Latin-1");
      out_->push_back(std::move(material));
      return;
    }
    const bool known = keyword == "kd" || keyword == "ka" || keyword == "ks" || keyword == "ke" ||
                       keyword == "ns" || keyword == "d" || keyword == "tr" || keyword == "map_kd" ||
                       keyword == "map_d" || keyword == "map_bump" || keyword == "bump";
    if (!known) return;
    if (out_->empty()) {
      if (!warnedOrphan_) warn("'" + keyword + "' before the first newmtl is ignored");
      warnedOrphan_ = true;
      return;
    }
    MtlMaterial& m = out_->back();
    if (keyword == "kd") return color(tokens, &m.kd, &m.hasKd);
    if (keyword == "ka") return color(tokens, &m.ka, &m.hasKa);
    if (keyword == "ks") return color(tokens, &m.ks, &m.hasKs);
    if (keyword == "ke") return color(tokens, &m.ke, &m.hasKe);
    if (keyword == "ns") return scalar(tokens, &m.ns, &m.hasNs);
    if (keyword == "tr") return scalar(tokens, &m.tr, &m.hasTr);
    if (keyword == "d") {
      // "d -halo 0.5": the halo form still gives the dissolve value.
      TokenCursor peek = tokens;
      std::string_view first;
      if (peek.next(&first) && first == "-halo") tokens = peek;
      return scalar(tokens, &m.d, &m.hasD);
    }
    if (keyword == "map_kd") m.mapKd = MapName(tokens);
    if (keyword == "map_d") m.mapD = MapName(tokens);
    if (keyword == "map_bump" || keyword == "bump") m.mapBump = MapName(tokens);
  }

  bool number(std::string_view token, float* out) {
    switch (ParseFloatToken(token, out)) {
      case NumberStatus::kOk:
        return true;
      case NumberStatus::kOutOfRange:
        return ignored("number " + QuoteForMessage(token) + " is out of range");
      case NumberStatus::kNotFinite:
        return ignored("number " + QuoteForMessage(token) + " is not finite");
      case NumberStatus::kMalformed:
        break;
    }
    return ignored("malformed number " + QuoteForMessage(token));
  }

  void color(TokenCursor& tokens, MQColor* out, bool* has) {
    std::string_view token;
    float values[3] = {};
    int count = 0;
    TokenCursor peek = tokens;
    if (peek.next(&token) && (token == "spectral" || token == "xyz")) {
      warn("'" + std::string(token) + "' colours are not supported; ignored");
      return;
    }
    while (tokens.next(&token)) {
      if (count == 3) {
        ignored("a colour takes 1 or 3 numbers");
        return;
      }
      if (!number(token, &values[count])) return;
      ++count;
    }
    if (count != 1 && count != 3) {
      ignored("a colour takes 1 or 3 numbers");
      return;
    }
    if (count == 1) values[1] = values[2] = values[0];
    *out = MQColor{values[0], values[1], values[2]};
    *has = true;
  }

  void scalar(TokenCursor& tokens, float* out, bool* has) {
    std::string_view token, extra;
    if (!tokens.next(&token)) {
      ignored("a number is missing");
      return;
    }
    if (tokens.next(&extra)) {
      ignored("one number expected, found " + QuoteForMessage(extra));
      return;
    }
    if (!number(token, out)) return;
    *has = true;
  }

  void warn(const std::string& message) {
    warnings_->push_back(name_ + ":" + std::to_string(line_) + ": " + message);
  }

  bool ignored(const std::string& message) {
    warn(message + "; statement ignored");
    return false;
  }

  std::string_view text_;
  const std::string& name_;
  std::vector<MtlMaterial>* out_;
  std::vector<std::string>* warnings_;
  uint64_t line_ = 0;
  bool warnedOrphan_ = false;
};

}  // namespace

bool ReadMtlText(std::string_view text, const std::string& displayName, std::vector<MtlMaterial>* out,
                 std::vector<std::string>* warnings, std::string* error) {
  std::vector<MtlMaterial> materials;
  std::vector<std::string> notes;
  if (!MtlParser(text, displayName, &materials, &notes).run(error)) return false;
  out->insert(out->end(), std::make_move_iterator(materials.begin()),
              std::make_move_iterator(materials.end()));
  warnings->insert(warnings->end(), notes.begin(), notes.end());
  return true;
}

std::string RenameMtlFiles(std::string_view text,
                           const std::function<std::string(const std::string&)>& rename) {
  std::string out;
  size_t copied = 0;
  LineCursor lines(text);
  TextLine line{};
  while (lines.next(&line)) {
    TokenCursor tokens(line);
    std::string_view keyword;
    if (!tokens.next(&keyword) || !NamesAFile(Lower(keyword))) continue;
    const std::string_view written = MapNameText(tokens);
    if (written.empty()) continue;
    const std::string name = EncodeName(written);
    const std::string renamed = rename(name);
    if (renamed == name) continue;
    const auto at = static_cast<size_t>(written.data() - text.data());
    out.append(text, copied, at - copied);
    out += EncodeName(renamed);
    copied = at + written.size();
  }
  out.append(text, copied, std::string_view::npos);
  return out;
}

void ApplyMtlMaterial(const MtlMaterial& source, HostMaterial* target) {
  target->name = source.name;
  if (source.hasKd) {
    target->color = source.kd;
    target->diffuse = 1.0f;
  }
  if (source.hasKa) target->ambient = Mean(source.ka);
  if (source.hasKs) target->specular = Mean(source.ks);
  if (source.hasKe) target->emission = Mean(source.ke);
  if (source.hasNs) target->power = source.ns;
  if (source.hasD) {
    target->alpha = source.d;
  } else if (source.hasTr) {
    target->alpha = 1.0f - source.tr;
  }
  if (!source.mapKd.empty()) target->textureName = source.mapKd;
  if (!source.mapD.empty()) target->alphaName = source.mapD;
  if (!source.mapBump.empty()) target->bumpName = source.mapBump;
}

}  // namespace pavlex::host::obj
