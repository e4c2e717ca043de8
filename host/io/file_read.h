// Reading a whole file in one go.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace pavlex::host::io {

// The largest file each reader takes, checked against the file's size
// before any memory is set aside for it: a sparse or runaway file is
// refused at once instead of filling memory. Models are big by nature;
// everything a person writes by hand is small.
constexpr uint64_t kMaxModelBytes = uint64_t{4} << 30;      // OBJ: 4 GiB
constexpr uint64_t kMaxLibraryBytes = uint64_t{256} << 20;  // MTL: 256 MiB
constexpr uint64_t kMaxSettingsBytes = uint64_t{16} << 20;  // settings: 16 MiB
constexpr uint64_t kMaxScriptBytes = uint64_t{16} << 20;    // command scripts: 16 MiB

enum class RegularFileRead { kOk, kNotFound, kFailed };

// Reads a regular file of at most `limit` bytes into `out`. Anything else
// is refused with a reason, without waiting and without reading it: a
// folder, a FIFO (opening one for reading would wait for a writer), a
// device, and the system's generated files (/proc) whose size is not known
// in advance. On failure `reason` says why in a few words ("No such file or
// directory", "larger than 16 MiB").
RegularFileRead ReadRegularFile(const std::string& path, std::string* out, std::string* reason, uint64_t limit);

// "16 MiB": a limit as people read it.
inline std::string LimitText(uint64_t bytes) {
  for (const auto& [shift, unit] : {std::pair{30, " GiB"}, std::pair{20, " MiB"}, std::pair{10, " KiB"}}) {
    const uint64_t one = uint64_t{1} << shift;
    if (bytes >= one && bytes % one == 0) return std::to_string(bytes >> shift) + unit;
  }
  return std::to_string(bytes) + " bytes";
}

// True when `path` is a regular file holding exactly `bytes`.
inline bool FileHasContent(const std::string& path, std::string_view bytes) {
  std::string existing, reason;
  return ReadRegularFile(path, &existing, &reason, bytes.size()) == RegularFileRead::kOk && existing == bytes;
}

}  // namespace pavlex::host::io
