// The file names one run writes for each of several models: `-o` and
// `layout` take patterns in which {dir}, {stem} and {ext} stand for the
// parts of the model's name, and no two models may end up writing one file.
// Pure functions of names; whether two names lead to one file is asked of
// the caller's `FileKey` (the file system's rule).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pavlex::app {

// The parts of a model's file name a pattern can use.
struct ModelNameParts {
  std::string dir;   // the folder as written, without a trailing separator; "." when none
  std::string stem;  // the file name without its last extension
  std::string ext;   // the last extension without its dot; empty when none
};

// "art/chair.v2.obj" -> {"art", "chair.v2", "obj"}. The empty name (the
// built-in sample) is {".", "sample", "obj"}.
ModelNameParts SplitModelName(const std::string& model);

// True when `pattern` holds a placeholder ({dir}, {stem}, {ext}, or an
// unknown one that ExpandNamePattern refuses).
bool HasPlaceholder(const std::string& pattern);

// Replaces {dir}, {stem} and {ext}; "{{" and "}}" stand for one brace. False
// with a message in `error` for an unknown or unclosed placeholder.
bool ExpandNamePattern(const std::string& pattern, const ModelNameParts& parts, std::string* out,
                       std::string* error);

// A file one model's run writes or reads.
struct PlannedFile {
  size_t model = 0;   // index into the models
  std::string name;   // as expanded
  bool input = false; // the model itself, which its own run may overwrite
};

// The first two files of different models that lead to one file (equal
// keys), where at least one of them is written: answers the message, or
// nothing. A model's run may write its own input or one file twice (the
// later write wins, as in a run over one model).
std::optional<std::string> FindNameClash(const std::vector<PlannedFile>& files,
                                         const std::vector<std::string>& models,
                                         const std::function<std::string(const std::string&)>& fileKey);

}  // namespace pavlex::app
