// What the fuzzers that start a real host session share: a scratch folder
// that is the working directory and is emptied after every input, and the
// plug-in kept mapped for the whole run.
#pragma once

#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "host/plugin/plugin_loader.h"

namespace pavlex::fuzz {

// A fresh folder under the temporary directory, removed at exit.
inline const std::string& ScratchFolder() {
  // Never freed: the exit handler that removes the folder needs the name.
  static const std::string& folder = *new std::string([] {
    std::error_code ignored;
    std::string pattern = (std::filesystem::temp_directory_path(ignored) / "pavlex-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("pavlex fuzz: scratch folder");
      std::abort();
    }
    std::atexit([] {
      std::error_code ignoredToo;
      std::filesystem::remove_all(ScratchFolder(), ignoredToo);
    });
    return pattern;
  }());
  return folder;
}

// The scratch folder is the working directory while it lives, so every
// relative name an input writes lands in it; libFuzzer's own files (corpus,
// artifacts) keep the directory the fuzzer was started in.
class InScratchFolder {
 public:
  InScratchFolder() {
    std::error_code failed;
    previous_ = std::filesystem::current_path(failed);
    if (failed || chdir(ScratchFolder().c_str()) != 0) {
      std::perror("pavlex fuzz: entering the scratch folder");
      std::abort();
    }
  }
  ~InScratchFolder() {
    if (chdir(previous_.c_str()) != 0) std::abort();
  }
  InScratchFolder(const InScratchFolder&) = delete;
  InScratchFolder& operator=(const InScratchFolder&) = delete;

 private:
  std::filesystem::path previous_;
};

// Empties the scratch folder, so no input sees what an earlier one wrote.
inline void ClearScratchFolder() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(ScratchFolder(), ignored)) {
    std::filesystem::remove_all(entry.path(), ignored);
  }
}

// Each session loads and unloads the plug-in. Holding one more reference
// keeps its code and its coverage counters in place between inputs:
// libFuzzer reads the counters of every module it saw and fails once one is
// unmapped. The plug-in's own objects (its memory slots, its output size)
// then live from one input to the next, as in a host that runs for long; a
// crash that does not replay on its own input needs the inputs before it.
inline void KeepPluginMapped() {
  static void* const handle = dlopen(host::DefaultPluginPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    std::fprintf(stderr, "pavlex fuzz: cannot load the plug-in: %s\n", dlerror());
    std::abort();
  }
}

}  // namespace pavlex::fuzz
