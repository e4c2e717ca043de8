#include "python/command_text.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace pavlex::python {

std::string ScriptWord(const std::string& word) {
  if (word.find_first_of("\r\n") != std::string::npos) {
    throw std::invalid_argument("a command argument cannot hold a line break: " + word);
  }
  std::string quoted = "\"";
  for (char c : word) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string NumberWord(double value) {
  if (!std::isfinite(value)) throw std::invalid_argument("expected a finite number, not " + std::to_string(value));
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string LayoutLine(const std::string& file, std::optional<int64_t> width, std::optional<int64_t> height,
                       const std::optional<std::vector<std::string>>& layers) {
  std::string line = "layout " + ScriptWord(file);
  if (width.has_value() != height.has_value()) {
    throw std::invalid_argument("layout takes both width and height, or neither");
  }
  if (width) {
    if (*width < 1 || *height < 1) throw std::invalid_argument("an image needs at least one pixel each way");
    line += " " + std::to_string(*width) + "x" + std::to_string(*height);
  }
  if (layers) {
    if (layers->empty()) {
      throw std::invalid_argument("layers names at least one box (for example ['wireframe']); "
                                  "leave it out to keep the dialog's");
    }
    std::string list;
    for (const std::string& layer : *layers) {
      if (layer.empty() || layer.find_first_of(", \t\"'\r\n;") != std::string::npos) {
        throw std::invalid_argument("'" + layer + "' is not a layout box name");
      }
      list += (list.empty() ? "" : ",") + layer;
    }
    line += " " + list;
  }
  return line;
}

std::string SelectUVLine(const UVSelectionRequest& request) {
  std::string line = request.deselect ? "deselect uv" : "select uv";
  const int given = (!request.what.empty() ? 1 : 0) + (!request.corners.empty() ? 1 : 0) + (request.rect ? 1 : 0);
  if (given != 1) {
    throw std::invalid_argument("select_uv takes exactly one of 'all', 'none', a list of (face, corner) pairs "
                                "or rect=(u0, v0, u1, v1)");
  }
  if (!request.what.empty()) {
    if (request.what != "all" && request.what != "none") {
      throw std::invalid_argument("select_uv takes 'all' or 'none', not '" + request.what + "'");
    }
    return line + " " + request.what;
  }
  if (request.rect) {
    if (request.rect->size() != 4) throw std::invalid_argument("rect is (u0, v0, u1, v1)");
    line += " rect";
    for (double value : *request.rect) line += " " + NumberWord(value);
    return line;
  }
  for (const auto& [face, corner] : request.corners) {
    if (face < 0 || corner < 0) {
      throw std::invalid_argument("face and corner indices are not negative: (" + std::to_string(face) + ", " +
                                  std::to_string(corner) + ")");
    }
    line += " " + std::to_string(face) + ":" + std::to_string(corner);
  }
  return line;
}

}  // namespace pavlex::python
