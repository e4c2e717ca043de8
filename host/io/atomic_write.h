// Replacing files so that a failure never leaves one damaged: each file is
// written to a temporary file in its own folder, flushed to disk, and only
// when every file of the set was written completely are they renamed over
// their targets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/io/file_read.h"

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

// Renames `from` to `to` in the same folder, replacing a file already
// called `to`. False with the reason in a few words in `reason`.
bool RenameFile(const std::string& from, const std::string& to, std::string* reason);

// True when `path` is a regular file holding exactly `bytes`.
inline bool FileHasContent(const std::string& path, std::string_view bytes) {
  std::string existing, reason;
  return ReadRegularFile(path, &existing, &reason, bytes.size()) == RegularFileRead::kOk && existing == bytes;
}

}  // namespace pavlex::host::io
