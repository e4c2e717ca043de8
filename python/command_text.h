// The command lines the module's typed calls stand for. Each typed call
// runs one line of the host command language, so a press from Python and
// `press` in a script are the same code from the parser on. These
// functions only spell the words; they throw std::invalid_argument for
// what no command line can hold.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pavlex::python {

// One word, double-quoted with \" and \\ escaped, so blanks, quotes, ';'
// and '#' stay inside it. A line break cannot: it ends a command.
std::string ScriptWord(const std::string& word);

// "layout FILE [WxH] [BOX,BOX,...]". Width and height come together or not
// at all; an empty `layers` list is refused, since the command could not
// say it (the dialog's boxes are kept with no list at all).
std::string LayoutLine(const std::string& file, std::optional<int64_t> width, std::optional<int64_t> height,
                       const std::optional<std::vector<std::string>>& layers);

// "select uv ..." or "deselect uv ...": `what` is "all" or "none", or
// empty with `corners` (face, corner) or `rect` (u0, v0, u1, v1) set.
struct UVSelectionRequest {
  std::string what;
  std::vector<std::pair<int64_t, int64_t>> corners;
  std::optional<std::vector<double>> rect;
  bool deselect = false;
};
std::string SelectUVLine(const UVSelectionRequest& request);

// A number as the command language reads it back to the same double.
std::string NumberWord(double value);

}  // namespace pavlex::python
