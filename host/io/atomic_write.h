// Replacing files so that a failure never leaves one damaged: each file is
// written to a temporary file in its own folder, flushed to disk, and only
// when every file of the set was written completely are they renamed over
// their targets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pavlex::host::io {

struct FileToWrite {
  std::string path;
  std::string_view bytes;  // owned by the caller for the duration of the call
};

// On failure nothing was renamed (or, if a rename itself fails, the files
// renamed before it are complete new versions and the rest are untouched),
// no temporary file is left behind, and `error` is one line naming the file.
// An existing target keeps its permissions; a read-only one (no write
// permission for anyone, or none for this user) is refused rather than
// replaced. A symbolic link is followed: its target is replaced.
bool WriteFilesAtomically(const std::vector<FileToWrite>& files, std::string* error);

// True when `path` is a regular file holding exactly `bytes`.
bool FileHasContent(const std::string& path, std::string_view bytes);

}  // namespace pavlex::host::io
