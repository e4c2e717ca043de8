// layout: a shorthand for what a person types into the plug-in's Output
// dialog. Whether the image was written is the plug-in's to say: when it
// cannot write the file it shows an OK-only message box, and the
// interpreter fails the command with that box's message.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "host/commands/command_families.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"

namespace pavlex::commands {
namespace {

// Layer and filter options and the check boxes they tick.
constexpr std::pair<const char*, const char*> kBoxes[] = {
    {"wireframe", "wireframe"},           {"material", "material color"},
    {"object", "object color"},           {"shader", "shader"},
    {"current-object", "current object"}, {"current-material", "current material"}};

// The file extensions the Output dialog writes, lower case.
constexpr const char* kImageExtensions[] = {".bmp", ".jpg", ".jpeg", ".png", ".tga"};

struct LayoutRequest {
  std::string file;
  std::string width, height;                        // empty: the dialog's
  std::vector<std::pair<std::string, bool>> boxes;  // check box path, state; empty: the dialog's
};

bool IsImageName(const std::string& file) {
  const size_t dot = file.rfind('.');
  const size_t slash = file.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string extension = file.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return std::any_of(std::begin(kImageExtensions), std::end(kImageExtensions),
                     [&](const char* known) { return extension == known; });
}

LayoutRequest ParseLayout(const Words& words) {
  LayoutRequest request;
  request.file = words[1];
  // The dialog writes nothing for any other name; say so before anything runs.
  if (!IsImageName(request.file)) {
    throw CommandError("'" + request.file + "' does not name an image file (.bmp, .jpg, .jpeg, .png or .tga)");
  }
  bool anyOption = false;
  for (size_t i = 2; i < words.size(); ++i) {
    const std::string& word = words[i];
    const size_t x = word.find('x');
    if (x != std::string::npos && word.find_first_not_of("0123456789x") == std::string::npos &&
        request.width.empty()) {
      request.width = std::to_string(ParseIndex(word.substr(0, x), "image width"));
      request.height = std::to_string(ParseIndex(word.substr(x + 1), "image height"));
      if (request.width == "0" || request.height == "0") {
        throw CommandError("an image needs at least one pixel each way");
      }
      continue;
    }
    if (anyOption) ThrowUsage("layout");
    anyOption = true;
    // Every layer and filter box is set: the listed ones on, the others off.
    std::vector<std::string> listed;
    for (size_t at = 0; at <= word.size();) {
      const size_t comma = std::min(word.find(',', at), word.size());
      listed.push_back(word.substr(at, comma - at));
      at = comma + 1;
    }
    std::vector<std::string> slots;
    for (const std::string& item : listed) {
      const bool known =
          std::any_of(std::begin(kBoxes), std::end(kBoxes), [&](const auto& b) { return item == b.first; });
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
      request.boxes.emplace_back(path, std::find(listed.begin(), listed.end(), option) != listed.end());
    }
    request.boxes.emplace_back("memory", !slots.empty());
    for (const char* slot : {"1", "2", "3", "4"}) {
      request.boxes.emplace_back(slot, std::find(slots.begin(), slots.end(), slot) != slots.end());
    }
  }
  return request;
}

}  // namespace

void CheckLayout(const Words& words) {
  ParseLayout(words);
}

namespace {

// The size the Output dialog ends up with: its spin boxes stop at 65535,
// and it snaps each side down to a multiple of 4.
int64_t DialogSize(const std::string& typed) {
  const int64_t clamped = std::min<int64_t>(std::stoll(typed), 0xFFFF);
  return clamped - clamped % 4;
}

}  // namespace

void RunLayout(CommandInterpreter& in, const Words& words) {
  LayoutRequest request = ParseLayout(words);
  request.file = in.outputName(request.file);
  if (!IsImageName(request.file)) {
    throw CommandError("'" + request.file + "' does not name an image file (.bmp, .jpg, .jpeg, .png or .tga)");
  }
  if (!request.width.empty()) {
    const int64_t width = DialogSize(request.width), height = DialogSize(request.height);
    if (std::to_string(width) != request.width || std::to_string(height) != request.height) {
      in.warn("the Output dialog takes " + std::to_string(width) + "x" + std::to_string(height) + ", not " +
              request.width + "x" + request.height + " (at most 65535 a side, rounded down to a multiple of 4)");
    }
  }
  // What a person would type into the Output dialog.
  std::vector<std::string> typed;
  if (!request.width.empty()) {
    typed.push_back("set spinbox " + request.width);
    typed.push_back("set spinbox#2 " + request.height);
  }
  for (const auto& [path, on] : request.boxes) typed.push_back("check " + QuoteWord(path) + (on ? " on" : " off"));
  typed.push_back("set edit " + QuoteWord(request.file));
  typed.push_back("press OK");
  in.inject(typed);

  host::CommandResult result;
  in.workStarted("rendering " + request.file);
  result = in.driver().press("Pavlex::File/Output");
  in.workEnded();
  const bool unused = in.dropInjected();
  if (!result) throw CommandError(result.error);
  // A failure inside the dialog (a message box the plug-in showed, a
  // command that did not apply) has been reported where it happened.
  if (in.failed()) return;
  if (unused) throw CommandError("the Output dialog did not open");
}

}  // namespace pavlex::commands
