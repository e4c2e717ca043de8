#include "app/command_runner.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <variant>

#include "app/command_help.h"
#include "app/command_parser.h"
#include "app/path_suggestions.h"
#include "app/printers.h"
#include "app/progress_notice.h"
#include "hostapi/mq_codes.h"
#include "platform/text_conversion.h"

namespace pavlex::app {
namespace {

using Words = std::vector<std::string>;

[[noreturn]] void Usage(const std::string& verb) {
  for (const CommandHelp& entry : CommandHelpTable()) {
    if (verb == entry.verb) throw CommandError(std::string("usage: ") + entry.synopsis);
  }
  throw CommandError("usage: " + verb);
}

void NeedCount(const Words& words, size_t least, size_t most) {
  if (words.size() < least || words.size() > most) Usage(words[0]);
}

bool IsWholeNumber(const std::string& word) {
  return !word.empty() && word.find_first_not_of("0123456789") == std::string::npos;
}

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    out += (i == 0 ? "'" : (i + 1 == items.size() ? " or '" : ", '")) + items[i] + "'";
  }
  return out;
}

}  // namespace

CommandRunner::CommandRunner(host::HostSession& session, host::LoadedPlugin& plugin, std::FILE* out)
    : session_(session), plugin_(plugin), out_(out) {}

// --- documents ---------------------------------------------------------------------

void CommandRunner::takeDocument(host::ObjImport import, std::string path) {
  session_.replaceDocument(std::move(import.document));
  documentSource_ = std::move(import.source);
  documentPath_ = std::move(path);
}

bool CommandRunner::openFile(const std::string& path, std::string* error) {
  host::ObjImport import;
  {
    ProgressNotice progress("loading " + path);
    if (!host::LoadObjFile(path, &import, error)) return false;
  }
  for (const std::string& warning : import.warnings) std::fprintf(stderr, "pavlex: warning: %s\n", warning.c_str());
  takeDocument(std::move(import), path);
  return true;
}

bool CommandRunner::saveFile(const std::string& path, std::string* error) {
  ProgressNotice progress("saving " + path);
  return host::SaveObjFile(session_.document(), documentSource_.get(), path, error);
}

host::HostObject& CommandRunner::currentObject() {
  host::HostDocument& doc = session_.document();
  host::HostObject* object = doc.object(doc.currentObject());
  if (object == nullptr) throw CommandError("the document has no current object");
  return *object;
}

int32_t CommandRunner::objectSlot(const std::string& word) {
  const host::HostDocument& doc = session_.document();
  std::vector<std::string> names;
  for (int32_t slot = 0; slot < doc.objectSlotCount(); ++slot) {
    if (const host::HostObject* object = doc.object(slot)) {
      if (IsWholeNumber(word) ? slot == ParseIndex(word, "object index") : object->name() == word) return slot;
      names.push_back(std::to_string(slot) + " " + QuoteWord(object->name()));
    }
  }
  std::string known;
  for (const std::string& name : names) known += (known.empty() ? "" : ", ") + name;
  throw CommandError("no object " + QuoteWord(word) + " in the document (" + (known.empty() ? "none" : known) + ")");
}

int32_t CommandRunner::materialSlot(const std::string& word) {
  const host::HostDocument& doc = session_.document();
  std::string known;
  for (int32_t slot = 0; slot < doc.materialSlotCount(); ++slot) {
    if (const host::HostMaterial* material = doc.material(slot)) {
      if (IsWholeNumber(word) ? slot == ParseIndex(word, "material index") : material->name == word) return slot;
      known += (known.empty() ? "" : ", ") + std::to_string(slot) + " " + QuoteWord(material->name);
    }
  }
  throw CommandError("no material " + QuoteWord(word) + " in the document (" + (known.empty() ? "none" : known) +
                     ")");
}

// --- running -----------------------------------------------------------------------

std::optional<std::string> CommandRunner::check(const std::vector<ScriptLine>& lines) {
  for (const ScriptLine& line : lines) {
    try {
      // A dry run parses exactly as the real one and changes nothing.
      execute(TokenizeCommand(line.text), true);
    } catch (const CommandError& error) {
      return line.where() + ": " + error.what();
    }
  }
  return std::nullopt;
}

bool CommandRunner::run(CommandSource& source) {
  CommandSource* outer = source_;
  source_ = &source;
  ScriptLine line;
  while (!stopped() && source.next(&line)) runLine(line);
  source_ = outer;
  return !failed_;
}

void CommandRunner::fail(const ScriptLine& line, const std::string& message) {
  std::fprintf(stderr, "pavlex: %s: %s\n", line.where().c_str(), message.c_str());
  std::fflush(stderr);
  if (source_ == nullptr || !source_->interactive()) failed_ = true;
}

void CommandRunner::runLine(const ScriptLine& line) {
  const ScriptLine outer = current_;
  current_ = line;
  try {
    execute(TokenizeCommand(line.text), false);
  } catch (const CommandError& error) {
    fail(line, error.what());
  }
  current_ = outer;
  std::fflush(out_);
}

void CommandRunner::execute(const Words& words, bool dry) {
  if (words.empty()) return;
  const std::string& verb = words[0];
  if (verb == "open" || verb == "save" || verb == "close" || verb == "object" || verb == "material" ||
      verb == "delete" || verb == "compact") {
    documentCommand(words, dry);
  } else if (verb == "show" || verb == "hide" || verb == "lock" || verb == "unlock") {
    visibilityCommand(words, dry);
  } else if (verb == "select" || verb == "deselect") {
    selectCommand(words, dry);
  } else if (verb == "activate" || verb == "deactivate" || verb == "press" || verb == "click" || verb == "check" ||
             verb == "set" || verb == "minimize" || verb == "restore" || verb == "draw") {
    widgetCommand(words, dry);
  } else if (verb == "print") {
    printCommand(words, dry);
  } else if (verb == "answer") {
    answerCommand(words, dry);
  } else if (verb == "layout") {
    layoutCommand(words, dry);
  } else if (verb == "help") {
    NeedCount(words, 1, 2);
    if (dry) return;
    if (!PrintCommandHelp(out_, words.size() > 1 ? words[1] : std::string())) {
      throw CommandError("no command '" + words[1] + "'; `help` lists them");
    }
  } else if (verb == "quit" || verb == "exit") {
    NeedCount(words, 1, 1);
    if (dry) return;
    if (!modals_.empty()) throw CommandError("the dialog '" + modals_.back().title + "' is open; close it first");
    quit_ = true;
  } else {
    throw CommandError("unknown command '" + verb + "' (did you mean " + Join(NearestPaths(verb, CommandVerbs(), 1)) +
                       "? `help` lists the commands)");
  }
}

// --- document commands -------------------------------------------------------------

void CommandRunner::documentCommand(const Words& words, bool dry) {
  const std::string& verb = words[0];
  std::string error;
  if (verb == "open") {
    NeedCount(words, 2, 2);
    if (dry) return;
    if (!openFile(words[1], &error)) throw CommandError(error);
  } else if (verb == "save") {
    NeedCount(words, 1, 2);
    if (dry) return;
    const std::string path = words.size() > 1 ? words[1] : documentPath_;
    if (path.empty()) throw CommandError("the document came from no file: say where, `save FILE`");
    if (!saveFile(path, &error)) throw CommandError(error);
    documentPath_ = path;
  } else if (verb == "close") {
    NeedCount(words, 1, 1);
    if (dry) return;
    session_.closeDocument();
    documentSource_.reset();
    documentPath_.clear();
  } else if (verb == "object" || verb == "material") {
    NeedCount(words, 2, 2);
    if (dry) return;
    host::HostDocument& doc = session_.document();
    if (verb == "object") {
      doc.setCurrentObject(objectSlot(words[1]));
    } else {
      doc.setCurrentMaterial(materialSlot(words[1]));
    }
    session_.draw();
  } else if (verb == "delete") {
    if (words.size() < 3 || words[1] != "face") Usage(verb);
    std::vector<int32_t> faces;
    for (size_t i = 2; i < words.size(); ++i) faces.push_back(ParseIndex(words[i], "face index"));
    if (dry) return;
    host::HostObject& object = currentObject();
    // Every face is checked before any is deleted: an error changes nothing.
    for (int32_t f : faces) {
      if (!object.validFace(f)) {
        throw CommandError("no face " + std::to_string(f) + " in " + QuoteWord(object.name()) + " (it has " +
                           std::to_string(object.faceCount()) + ")");
      }
      if (object.cornerCount(f) == 0) throw CommandError("face " + std::to_string(f) + " is already deleted");
    }
    for (int32_t f : faces) object.deleteFace(f, false);
    session_.draw();
  } else {  // compact
    NeedCount(words, 1, 1);
    if (dry) return;
    session_.document().compact();
    session_.draw();
  }
}

void CommandRunner::visibilityCommand(const Words& words, bool dry) {
  const std::string& verb = words[0];
  if (verb == "hide" && words.size() == 3 && words[1] == "window") {
    if (dry) return;
    const host::CommandResult result = session_.hideWindow(words[2]);
    if (!result) throw CommandError(result.error);
    return;
  }
  if (words.size() < 3 || words[1] != "object") Usage(verb);
  if (dry) return;
  std::vector<int32_t> slots;
  for (size_t i = 2; i < words.size(); ++i) slots.push_back(objectSlot(words[i]));
  for (int32_t slot : slots) {
    host::HostObject* object = session_.document().object(slot);
    if (verb == "show" || verb == "hide") {
      object->visible = verb == "show";
    } else {
      object->locked = verb == "lock";
    }
  }
  session_.draw();
}

// --- selection ---------------------------------------------------------------------

void CommandRunner::selectCommand(const Words& words, bool dry) {
  const bool on = words[0] == "select";
  if (words.size() == 2 && words[1] == (on ? "none" : "all")) {
    if (dry) return;
    currentObject().clearSelection(MQCLEARSELECT_ALL);
    session_.draw();
    return;
  }
  if (words.size() < 3) Usage(words[0]);
  const std::string& kind = words[1];
  if (kind != "uv" && kind != "vertex" && kind != "face" && kind != "line") {
    throw CommandError("'" + kind + "' is not a kind of selection (uv, vertex, face, line)");
  }
  // all / none act on every element of the kind.
  const bool whole = words.size() == 3 && (words[2] == "all" || words[2] == "none");
  const bool rect = kind == "uv" && words[2] == "rect";
  std::vector<FaceCornerRef> corners;  // uv, line
  std::vector<int32_t> indices;        // vertex, face
  double box[4] = {0, 0, 0, 0};
  if (rect) {
    if (words.size() != 7) throw CommandError("usage: " + words[0] + " uv rect U0 V0 U1 V1");
    for (int i = 0; i < 4; ++i) box[i] = ParseNumber(words[3 + static_cast<size_t>(i)], "rectangle");
  } else if (!whole) {
    for (size_t i = 2; i < words.size(); ++i) {
      if (kind == "uv") corners.push_back(ParseFaceCorner(words[i], "UV corner"));
      if (kind == "line") corners.push_back(ParseFaceCorner(words[i], "line"));
      if (kind == "vertex") indices.push_back(ParseIndex(words[i], "vertex index"));
      if (kind == "face") indices.push_back(ParseIndex(words[i], "face index"));
    }
  }
  if (dry) return;

  host::HostObject& object = currentObject();
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
  for (int32_t i : indices) {
    if (kind == "face") {
      checkFace(i);
    } else if (!object.validVertex(i) || object.vertexDeleted(i)) {
      throw CommandError("no vertex " + std::to_string(i) + " in " + name + " (it has " +
                         std::to_string(object.vertexCount()) + ")");
    }
  }

  if (kind == "uv" && (whole || rect)) {
    const double u0 = std::min(box[0], box[2]), u1 = std::max(box[0], box[2]);
    const double v0 = std::min(box[1], box[3]), v1 = std::max(box[1], box[3]);
    for (int32_t f = 0; f < object.faceCount(); ++f) {
      const MQCoordinate* uvs = object.faceUVs(f);
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
    for (int32_t i : indices) {
      if (kind == "vertex") object.setVertexSelected(i, on);
      if (kind == "face") object.setFaceSelected(i, on);
    }
  }
  session_.draw();
}

// --- the plug-in's widgets ---------------------------------------------------------

std::vector<host::WidgetPathEntry> CommandRunner::reachablePaths() const {
  std::vector<host::WidgetPathEntry> out;
  const std::string title = modals_.empty() ? std::string("Pavlex") : modals_.back().title;
  bool shown = false;
  for (const auto& [key, value] : session_.snapshot(session_.findWindow(title)).properties) {
    if (key == "visible" && std::holds_alternative<bool>(value)) shown = std::get<bool>(value);
  }
  if (!shown) return out;
  for (host::WidgetPathEntry& entry : session_.listPaths()) {
    if (entry.window == title) out.push_back(std::move(entry));
  }
  return out;
}

std::string CommandRunner::unknownPath(const std::string& path, const std::string& reason,
                                       const std::vector<host::WidgetKind>& kinds) const {
  if (reason.rfind("no ", 0) != 0) return reason;
  std::vector<std::string> known;
  for (const host::WidgetPathEntry& entry : reachablePaths()) {
    if (std::find(kinds.begin(), kinds.end(), entry.kind) != kinds.end()) known.push_back(entry.path);
  }
  const size_t split = path.find("::");
  const std::string wanted = split == std::string::npos ? path : path.substr(split + 2);
  if (known.empty()) return reason;
  return reason + "; nearest: " + Join(NearestPaths(wanted, known, 3));
}

void CommandRunner::noteModalButton(int32_t button) {
  if (modals_.empty() || button == 0) return;
  const host::WidgetSnapshot snapshot = session_.snapshot(button);
  for (const auto& [key, value] : snapshot.properties) {
    if (key == "modalresult" && std::holds_alternative<int32_t>(value) && std::get<int32_t>(value) != 0) {
      modals_.back().closed = true;
    }
  }
}

void CommandRunner::widgetCommand(const Words& words, bool dry) {
  const std::string& verb = words[0];
  if (verb == "activate" || verb == "deactivate" || verb == "draw") {
    NeedCount(words, 1, 1);
    if (dry) return;
    if (verb == "draw") {
      session_.draw();
    } else if (verb == "activate") {
      session_.activate(plugin_);
    } else {
      session_.deactivate(plugin_);
    }
    return;
  }

  uint32_t modifiers = host::kNoModifier;
  bool on = false;
  if (verb == "press" || verb == "minimize" || verb == "restore") {
    NeedCount(words, 2, 2);
  } else if (verb == "click") {
    NeedCount(words, 2, 3);
    if (words.size() == 3) {
      if (words[2] == "ctrl") {
        modifiers = host::kCtrl;
      } else if (words[2] == "shift") {
        modifiers = host::kShift;
      } else {
        throw CommandError("'" + words[2] + "' is not a key to hold (ctrl or shift)");
      }
    }
  } else if (verb == "check") {
    NeedCount(words, 3, 3);
    if (words[2] != "on" && words[2] != "off") throw CommandError("check takes on or off, not '" + words[2] + "'");
    on = words[2] == "on";
  } else {  // set
    NeedCount(words, 3, 3);
  }
  if (dry) return;

  const std::string& path = words[1];
  // Inside a dialog, a button with a modal result closes it; which button
  // a path names must be known before the press, while the dialog runs.
  const int32_t button =
      modals_.empty() || (verb != "press" && verb != "click") ? 0 : session_.findWidget(path, host::WidgetKind::kButton);
  using Kind = host::WidgetKind;
  host::CommandResult result;
  std::vector<Kind> kinds = {Kind::kGroupBox};
  if (verb == "press") {
    result = session_.press(path);
    kinds = {Kind::kButton};
  } else if (verb == "click") {
    result = session_.click(path, modifiers);
    kinds = {Kind::kButton, Kind::kCheckBox};
  } else if (verb == "check") {
    result = session_.check(path, on);
    kinds = {Kind::kCheckBox};
  } else if (verb == "set") {
    result = session_.set(path, std::string_view(words[2]));
    kinds = {Kind::kSpinBox, Kind::kDoubleSpinBox, Kind::kEdit};
  } else if (verb == "minimize") {
    result = session_.minimize(path);
  } else {
    result = session_.restore(path);
  }
  if (!result) throw CommandError(unknownPath(path, result.error, kinds));
  noteModalButton(button);
}

// --- inspection --------------------------------------------------------------------

void CommandRunner::printCommand(const Words& words, bool dry) {
  if (words.size() < 2) Usage("print");
  const std::string& what = words[1];
  const bool known = what == "uv" || what == "selection" || what == "object" || what == "faces" ||
                     what == "document" || what == "widgets" || what == "tree";
  if (!known) throw CommandError("cannot print '" + what + "' (uv, selection, object, faces, document, widgets, tree)");
  NeedCount(words, 2, what == "tree" ? 3 : 2);
  if (dry) return;
  if (what == "uv") {
    PrintUVs(out_, currentObject());
  } else if (what == "selection") {
    PrintSelection(out_, currentObject());
  } else if (what == "object") {
    PrintObject(out_, currentObject());
  } else if (what == "faces") {
    PrintFaces(out_, currentObject());
  } else if (what == "document") {
    PrintDocument(out_, session_.document());
  } else if (what == "widgets") {
    PrintWidgetPaths(out_, reachablePaths());
  } else {
    const std::string title = words.size() > 2 ? words[2] : (modals_.empty() ? "Pavlex" : modals_.back().title);
    const int32_t window = session_.findWindow(title);
    if (window == 0) throw CommandError("no window titled '" + title + "'");
    std::fputs(session_.dumpTree(window).c_str(), out_);
  }
}

// --- layout images ------------------------------------------------------------------

void CommandRunner::layoutCommand(const Words& words, bool dry) {
  if (words.size() < 2 || words.size() > 4) Usage("layout");
  const std::string& file = words[1];
  std::string width, height;
  std::vector<std::pair<std::string, bool>> boxes;  // check box path, state
  bool anyOption = false;
  for (size_t i = 2; i < words.size(); ++i) {
    const std::string& word = words[i];
    const size_t x = word.find('x');
    if (x != std::string::npos && word.find_first_not_of("0123456789x") == std::string::npos && width.empty()) {
      width = std::to_string(ParseIndex(word.substr(0, x), "image width"));
      height = std::to_string(ParseIndex(word.substr(x + 1), "image height"));
      if (width == "0" || height == "0") throw CommandError("an image needs at least one pixel each way");
      continue;
    }
    if (anyOption) Usage("layout");
    anyOption = true;
    // Every layer and filter box is set: the listed ones on, the others off.
    static const std::pair<const char*, const char*> kBoxes[] = {
        {"wireframe", "wireframe"},           {"material", "material color"},
        {"object", "object color"},           {"shader", "shader"},
        {"current-object", "current object"}, {"current-material", "current material"}};
    std::vector<std::string> listed;
    for (size_t at = 0; at <= word.size();) {
      const size_t comma = std::min(word.find(',', at), word.size());
      listed.push_back(word.substr(at, comma - at));
      at = comma + 1;
    }
    std::vector<std::string> slots;
    for (const std::string& item : listed) {
      const bool known = std::any_of(std::begin(kBoxes), std::end(kBoxes), [&](const auto& b) { return item == b.first; });
      if (known) continue;
      if (item.size() == 8 && item.rfind("memory=", 0) == 0 && item[7] >= '1' && item[7] <= '4') {
        slots.push_back(item.substr(7));
        continue;
      }
      throw CommandError("'" + item +
                         "' is not a layout option (wireframe, material, object, shader, current-object, "
                         "current-material, memory=1..4)");
    }
    for (const auto& [option, path] : kBoxes) {
      boxes.emplace_back(path, std::find(listed.begin(), listed.end(), option) != listed.end());
    }
    boxes.emplace_back("memory", !slots.empty());
    for (const char* slot : {"1", "2", "3", "4"}) {
      boxes.emplace_back(slot, std::find(slots.begin(), slots.end(), slot) != slots.end());
    }
  }
  if (dry) return;

  // What a person would type into the Output dialog.
  std::vector<std::string> typed;
  if (!width.empty()) {
    typed.push_back("set spinbox " + width);
    typed.push_back("set spinbox#2 " + height);
  }
  for (const auto& [path, on] : boxes) typed.push_back("check " + QuoteWord(path) + (on ? " on" : " off"));
  typed.push_back("set edit " + QuoteWord(file));
  typed.push_back("press OK");
  for (const std::string& text : typed) injected_.push_back({text, current_.origin, current_.line});

  std::error_code ignored;
  const std::filesystem::path written = std::filesystem::u8path(file);
  const auto before = std::filesystem::exists(written, ignored) ? std::filesystem::last_write_time(written, ignored)
                                                                : std::filesystem::file_time_type::min();
  host::CommandResult result;
  {
    ProgressNotice progress("rendering " + file);
    result = session_.press("Pavlex::File/Output");
  }
  const bool unused = !injected_.empty();
  injected_.clear();
  if (!result) throw CommandError(result.error);
  if (failed_) return;
  if (unused) throw CommandError("the Output dialog did not open");
  if (!std::filesystem::exists(written, ignored) || std::filesystem::last_write_time(written, ignored) == before) {
    throw CommandError("no image was written to " + file);
  }
}

// --- modal runs --------------------------------------------------------------------

void CommandRunner::answerCommand(const Words& words, bool dry) {
  NeedCount(words, 2, 2);
  if (dry) return;
  // A message box or save-file dialog takes its answer before commands run.
  throw CommandError("nothing is waiting for an answer");
}

bool CommandRunner::nextInside(const ScriptLine& opener, const std::string& what, ScriptLine* line) {
  if (!injected_.empty()) {
    *line = injected_.front();
    injected_.erase(injected_.begin());
    return true;
  }
  if (source_ == nullptr || !source_->next(line)) {
    const bool typed = source_ != nullptr && source_->interactive();
    fail(opener, std::string(typed ? "the input" : "the script") + " ended while " + what + " is open");
    // Even at a terminal: the dialog closes as cancelled, and nothing the
    // user meant to finish in it may be saved.
    failed_ = true;
    return false;
  }
  if (!source_->interactive() && line->origin != opener.origin) {
    fail(opener, "the script ended while " + what + " is open");
    return false;
  }
  return true;
}

void CommandRunner::runModal(host::HostSession& session, int32_t dialog) {
  if (stopped()) return;
  std::string title;
  for (const auto& [key, value] : session.snapshot(dialog).properties) {
    if (key == "title" && std::holds_alternative<std::u16string>(value)) {
      title = platform::Utf16ToUtf8(std::get<std::u16string>(value));
    }
  }
  modals_.push_back(Modal{dialog, title, current_, false});
  if (source_ != nullptr) source_->setContext(title);
  const std::string what = "the dialog '" + title + "'";
  ScriptLine line;
  while (!stopped() && !modals_.back().closed && nextInside(modals_.back().openedBy, what, &line)) runLine(line);
  modals_.pop_back();
  if (source_ != nullptr) source_->setContext(modals_.empty() ? std::string() : modals_.back().title);
}

int32_t CommandRunner::messageBox(host::HostSession& session, const host::MessageBoxRequest& box) {
  const int32_t fallback = ModalDriver::messageBox(session, box);
  if (stopped()) return fallback;
  const std::string what = "the message box \"" + platform::Utf16ToUtf8(box.message) + "\"";
  const bool yesNo = box.type.find("yes") != std::string::npos;
  const ScriptLine opener = current_;
  ScriptLine line;
  while (!stopped() && nextInside(opener, what, &line)) {
    try {
      const Words words = TokenizeCommand(line.text);
      const std::string expected = yesNo ? "`answer yes` or `answer no`" : "`answer ok` or `answer cancel`";
      if (words.empty() || words[0] != "answer") throw CommandError(what + " is waiting for " + expected);
      NeedCount(words, 2, 2);
      if (yesNo && (words[1] == "yes" || words[1] == "no")) return words[1] == "yes" ? 6 : 7;
      if (!yesNo && (words[1] == "ok" || words[1] == "cancel")) return words[1] == "ok" ? 1 : 2;
      throw CommandError(what + " takes " + expected + ", not '" + words[1] + "'");
    } catch (const CommandError& error) {
      fail(line, error.what());
    }
  }
  return fallback;
}

bool CommandRunner::saveFile(host::HostSession&, host::SaveFileRequest& request) {
  if (stopped()) return false;
  const std::string what = "the save-file dialog '" + platform::Utf16ToUtf8(request.title) + "'";
  const ScriptLine opener = current_;
  ScriptLine line;
  while (!stopped() && nextInside(opener, what, &line)) {
    try {
      const Words words = TokenizeCommand(line.text);
      if (words.empty() || words[0] != "answer") {
        throw CommandError(what + " is waiting for `answer FILE` or `answer cancel`");
      }
      NeedCount(words, 2, 2);
      if (words[1] == "cancel") return false;
      request.fileName = platform::Utf8ToUtf16(words[1]);
      return true;
    } catch (const CommandError& error) {
      fail(line, error.what());
    }
  }
  return false;
}

}  // namespace pavlex::app
