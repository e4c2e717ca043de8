// Whole-file reads and atomic writes for the host's own files.
#pragma once

#include <string>
#include <string_view>

namespace pavlex::host {

enum class FileReadStatus { kRead, kMissing, kFailed };

// Reads the whole file into `bytes`. kMissing when it does not exist;
// kFailed, with the reason in `error`, when it exists but cannot be read.
FileReadStatus ReadWholeFile(const std::string& path, std::string* bytes, std::string* error);

// Writes `bytes` to a temporary file in the target's folder (created when
// missing), flushes it to disk and renames it over `path`, so readers see
// the old file or the new one, never a part. An existing file's permission
// bits are kept; a new file gets 0644. False, with the reason in `error`,
// when any step fails; the target is then untouched and no temporary stays.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error);

}  // namespace pavlex::host
