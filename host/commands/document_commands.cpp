// open, save, close, object, material, delete, compact: the host's document
// itself, without the plug-in.
#include <string>
#include <vector>

#include "host/commands/command_families.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"
#include "host/commands/document_lookup.h"

namespace pavlex::commands {
namespace {

// Brackets slow work for the front end on every way out.
class Work {
 public:
  Work(CommandInterpreter& in, const std::string& what) : in_(in) { in_.workStarted(what); }
  ~Work() { in_.workEnded(); }
  Work(const Work&) = delete;
  Work& operator=(const Work&) = delete;

 private:
  CommandInterpreter& in_;
};

std::vector<int32_t> FaceIndices(const Words& words) {
  std::vector<int32_t> faces;
  for (size_t i = 2; i < words.size(); ++i) faces.push_back(ParseIndex(words[i], "face index"));
  return faces;
}

}  // namespace

void RunOpen(CommandInterpreter& in, const Words& words) {
  std::string error;
  std::vector<std::string> warnings;
  bool opened = false;
  {
    Work work(in, "loading " + words[1]);
    opened = in.session().openDocument(words[1], &error, &warnings);
  }
  if (!opened) throw CommandError(error);
  for (const std::string& warning : warnings) in.warn(warning);
}

void RunSave(CommandInterpreter& in, const Words& words) {
  const std::string path = words.size() > 1 ? words[1] : in.session().documentPath();
  if (path.empty()) throw CommandError("the document came from no file: say where, `save FILE`");
  std::string error;
  Work work(in, "saving " + path);
  if (!in.session().saveDocument(path, &error)) throw CommandError(error);
}

void RunClose(CommandInterpreter& in, const Words&) {
  in.session().closeDocument();
}

void RunObject(CommandInterpreter& in, const Words& words) {
  host::HostDocument& doc = in.session().document();
  doc.setCurrentObject(ObjectSlot(doc, words[1]));
  in.session().draw();
}

void RunMaterial(CommandInterpreter& in, const Words& words) {
  host::HostDocument& doc = in.session().document();
  doc.setCurrentMaterial(MaterialSlot(doc, words[1]));
  in.session().draw();
}

void CheckDelete(const Words& words) {
  if (words[1] != "face") ThrowUsage(words[0]);
  FaceIndices(words);
}

void RunDelete(CommandInterpreter& in, const Words& words) {
  const std::vector<int32_t> faces = FaceIndices(words);
  host::HostObject& object = CurrentObject(in.session().document());
  // Every face is checked before any is deleted: an error changes nothing.
  for (int32_t f : faces) {
    if (!object.validFace(f)) {
      throw CommandError("no face " + std::to_string(f) + " in " + QuoteWord(object.name()) + " (it has " +
                         std::to_string(object.faceCount()) + ")");
    }
    if (object.cornerCount(f) == 0) throw CommandError("face " + std::to_string(f) + " is already deleted");
  }
  for (int32_t f : faces) object.deleteFace(f, false);
  in.session().draw();
}

void RunCompact(CommandInterpreter& in, const Words&) {
  in.session().document().compact();
  in.session().draw();
}

}  // namespace pavlex::commands
