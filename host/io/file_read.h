// Reading a whole file in one go.
#pragma once

#include <string>
#include <string_view>

namespace pavlex::host::io {

enum class RegularFileRead { kOk, kNotFound, kFailed };

// Reads a regular file into `out`. Anything else (a folder, a device that
// never ends) is refused, so memory stays bounded by the file's size. On
// failure `reason` says why in a few words ("No such file or directory").
RegularFileRead ReadRegularFile(const std::string& path, std::string* out, std::string* reason);

// True when `path` is a regular file holding exactly `bytes`.
inline bool FileHasContent(const std::string& path, std::string_view bytes) {
  std::string existing, reason;
  return ReadRegularFile(path, &existing, &reason) == RegularFileRead::kOk && existing == bytes;
}

}  // namespace pavlex::host::io
