#include "app/model_names.h"

#include <unordered_map>

namespace pavlex::app {
namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

std::string Shown(const std::string& model) {
  return model.empty() ? std::string("the built-in sample") : "'" + model + "'";
}

}  // namespace

ModelNameParts SplitModelName(const std::string& model) {
  if (model.empty()) return {".", "sample", "obj"};
  size_t slash = std::string::npos;
  for (size_t i = model.size(); i-- > 0;) {
    if (IsSeparator(model[i])) {
      slash = i;
      break;
    }
  }
  ModelNameParts parts;
  std::string file = model;
  if (slash == std::string::npos) {
    parts.dir = ".";
  } else {
    file = model.substr(slash + 1);
    // Runs of separators name the same folder; the root keeps its one.
    size_t end = slash;
    while (end > 0 && IsSeparator(model[end - 1])) --end;
    parts.dir = end == 0 ? model.substr(0, 1) : model.substr(0, end);
#ifdef _WIN32
    if (parts.dir.size() == 2 && parts.dir[1] == ':') parts.dir += model[end];  // "C:\": the drive's root
#endif
  }
  // A leading dot marks a hidden file, not an extension.
  const size_t dot = file.rfind('.');
  if (dot == std::string::npos || dot == 0) {
    parts.stem = file;
  } else {
    parts.stem = file.substr(0, dot);
    parts.ext = file.substr(dot + 1);
  }
  return parts;
}

bool HasPlaceholder(const std::string& pattern) {
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '{') continue;
    if (i + 1 < pattern.size() && pattern[i + 1] == '{') {
      ++i;
      continue;
    }
    return true;
  }
  return false;
}

bool ExpandNamePattern(const std::string& pattern, const ModelNameParts& parts, std::string* out,
                       std::string* error) {
  std::string result;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if ((c == '{' || c == '}') && i + 1 < pattern.size() && pattern[i + 1] == c) {
      result += c;
      ++i;
      continue;
    }
    if (c != '{') {
      result += c;
      continue;
    }
    const size_t close = pattern.find('}', i);
    const std::string name = close == std::string::npos ? std::string() : pattern.substr(i + 1, close - i - 1);
    if (name == "dir") {
      result += parts.dir;
    } else if (name == "stem") {
      result += parts.stem;
    } else if (name == "ext") {
      result += parts.ext;
    } else {
      *error = "'" + pattern + "': " +
               (close == std::string::npos ? std::string("a '{' without its '}'")
                                           : "unknown placeholder {" + name + "}") +
               " (the placeholders are {dir}, {stem} and {ext}; '{{' and '}}' write a brace)";
      return false;
    }
    i = close;
  }
  *out = std::move(result);
  return true;
}

std::optional<std::string> FindNameClash(const std::vector<PlannedFile>& files,
                                         const std::vector<std::string>& models,
                                         const std::function<std::string(const std::string&)>& fileKey) {
  // Per key, the first file seen of it; inputs are listed first so that a
  // clash with a model is worded as one.
  std::unordered_map<std::string, size_t> seen;
  for (size_t i = 0; i < files.size(); ++i) {
    const PlannedFile& file = files[i];
    const auto [at, fresh] = seen.emplace(fileKey(file.name), i);
    if (fresh) continue;
    const PlannedFile& earlier = files[at->second];
    if (earlier.model == file.model) continue;
    if (earlier.input && file.input) continue;  // the same model named twice is caught by its outputs
    const std::string target = "'" + file.name + "'";
    if (earlier.input) {
      return target + " of " + Shown(models[file.model]) + " would overwrite the model " +
             Shown(models[earlier.model]) + " while another run reads it";
    }
    if (file.input) {
      return target + " of " + Shown(models[earlier.model]) + " would overwrite the model " +
             Shown(models[file.model]) + " while another run reads it";
    }
    return Shown(models[earlier.model]) + " and " + Shown(models[file.model]) + " would both write " +
           ("'" + earlier.name + "'") + (earlier.name == file.name ? std::string() : " (" + target + ")");
  }
  return std::nullopt;
}

}  // namespace pavlex::app
