// select, deselect: UV corners, vertices, faces and lines of the current
// object, straight in the host's document.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "host/commands/command_families.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"
#include "host/commands/document_lookup.h"
#include "hostapi/mq_codes.h"

namespace pavlex::commands {
namespace {

// The words of a select or deselect, parsed.
struct SelectionRequest {
  bool on = true;        // select, or deselect
  bool clearAll = false;  // `select none` / `deselect all`: every kind
  std::string kind;      // uv, vertex, face, line
  bool whole = false;    // all / none: every element of the kind
  bool rect = false;     // uv rect
  std::vector<FaceCornerRef> corners;  // uv, line
  std::vector<std::pair<int32_t, int32_t>> runs;  // vertex, face: first and last index of each run
  double box[4] = {0, 0, 0, 0};
};

SelectionRequest ParseSelection(const Words& words) {
  SelectionRequest request;
  request.on = words[0] == "select";
  if (words.size() == 2 && words[1] == (request.on ? "none" : "all")) {
    request.clearAll = true;
    return request;
  }
  if (words.size() < 3) ThrowUsage(words[0]);
  const std::string& kind = words[1];
  if (kind != "uv" && kind != "vertex" && kind != "face" && kind != "line") {
    throw CommandError("'" + kind + "' is not a kind of selection (uv, vertex, face, line)");
  }
  request.kind = kind;
  request.whole = words.size() == 3 && (words[2] == "all" || words[2] == "none");
  request.rect = kind == "uv" && words[2] == "rect";
  if (request.rect) {
    if (words.size() != 7) throw CommandError("usage: " + words[0] + " uv rect U0 V0 U1 V1");
    for (int i = 0; i < 4; ++i) request.box[i] = ParseNumber(words[3 + static_cast<size_t>(i)], "rectangle");
  } else if (!request.whole) {
    for (size_t i = 2; i < words.size(); ++i) {
      if (kind == "uv") request.corners.push_back(ParseFaceCorner(words[i], "UV corner"));
      if (kind == "line") request.corners.push_back(ParseFaceCorner(words[i], "line"));
      if (kind == "vertex" || kind == "face") {
        const char* what = kind == "vertex" ? "vertex index" : "face index";
        // FIRST-LAST names a run: a box in the 3D view selects long runs.
        const size_t dash = words[i].find('-');
        if (dash == std::string::npos) {
          const int32_t index = ParseIndex(words[i], what);
          request.runs.emplace_back(index, index);
          continue;
        }
        const int32_t first = ParseIndex(words[i].substr(0, dash), what);
        const int32_t last = ParseIndex(words[i].substr(dash + 1), what);
        if (last < first) throw CommandError("'" + words[i] + "' is not a run (FIRST-LAST, FIRST <= LAST)");
        request.runs.emplace_back(first, last);
      }
    }
  }
  return request;
}

}  // namespace

void CheckSelection(const Words& words) {
  ParseSelection(words);
}

void RunSelection(CommandInterpreter& in, const Words& words) {
  const SelectionRequest request = ParseSelection(words);
  if (request.clearAll) {
    CurrentObject(in.session().document()).clearSelection(MQCLEARSELECT_ALL);
    in.session().draw();
    return;
  }
  const bool on = request.on, whole = request.whole, rect = request.rect;
  const std::string& kind = request.kind;
  const std::vector<FaceCornerRef>& corners = request.corners;
  const std::vector<std::pair<int32_t, int32_t>>& runs = request.runs;
  const double* box = request.box;
  host::HostObject& object = CurrentObject(in.session().document());
  const bool state = whole ? (on == (words[2] == "all")) : on;
  const std::string name = QuoteWord(object.name());
  auto checkFace = [&](int32_t f) {
    if (!object.validFace(f)) {
      throw CommandError("no face " + std::to_string(f) + " in " + name + " (it has " +
                         std::to_string(object.faceCount()) + ")");
    }
    if (object.cornerCount(f) == 0) throw CommandError("face " + std::to_string(f) + " of " + name + " is deleted");
  };
  // Every element is checked before any changes: an error changes nothing.
  for (const FaceCornerRef& ref : corners) {
    checkFace(ref.face);
    if (ref.corner >= object.cornerCount(ref.face)) {
      throw CommandError("face " + std::to_string(ref.face) + " has " + std::to_string(object.cornerCount(ref.face)) +
                         " corners, no corner " + std::to_string(ref.corner));
    }
  }
  auto checkVertex = [&](int32_t i) {
    if (!object.validVertex(i) || object.vertexDeleted(i)) {
      throw CommandError("no vertex " + std::to_string(i) + " in " + name + " (it has " +
                         std::to_string(object.vertexCount()) + ")");
    }
  };
  for (const auto& [first, last] : runs) {
    // The last index first: a run past the end fails before a long walk.
    if (kind == "face") checkFace(last);
    else checkVertex(last);
    for (int32_t i = first; i < last; ++i) {
      if (kind == "face") checkFace(i);
      else checkVertex(i);
    }
  }

  if (kind == "uv" && (whole || rect)) {
    const double u0 = std::min(box[0], box[2]), u1 = std::max(box[0], box[2]);
    const double v0 = std::min(box[1], box[3]), v1 = std::max(box[1], box[3]);
    for (int32_t f = 0; f < object.faceCount(); ++f) {
      const MQCoordinate* uvs = std::as_const(object).faceUVs(f);  // a read: no history copy
      for (int32_t c = 0; c < object.cornerCount(f); ++c) {
        const double u = uvs[c].u, v = uvs[c].v;
        if (whole || (u >= u0 && u <= u1 && v >= v0 && v <= v1)) object.setUVSelected(f, c, state);
      }
    }
  } else if (whole) {
    if (kind == "vertex") {
      for (int32_t v = 0; v < object.vertexCount(); ++v) object.setVertexSelected(v, state && !object.vertexDeleted(v));
    }
    for (int32_t f = 0; f < object.faceCount(); ++f) {
      if (kind == "face") object.setFaceSelected(f, state && object.cornerCount(f) > 0);
      if (kind == "line") {
        for (int32_t j = 0; j < object.cornerCount(f); ++j) object.setLineSelected(f, j, state);
      }
    }
  } else {
    for (const FaceCornerRef& ref : corners) {
      if (kind == "uv") object.setUVSelected(ref.face, ref.corner, on);
      if (kind == "line") object.setLineSelected(ref.face, ref.corner, on);
    }
    for (const auto& [first, last] : runs) {
      for (int32_t i = first; i <= last; ++i) {
        if (kind == "vertex") object.setVertexSelected(i, on);
        if (kind == "face") object.setFaceSelected(i, on);
      }
    }
  }
  in.session().draw();
}

}  // namespace pavlex::commands
