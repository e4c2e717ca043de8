// What became of one layout output, so the dialog can tell the user why a
// file did not appear instead of closing as if it had.
#pragma once

#include <string>

namespace pavlex {

enum class OutputStatus {
  kDone,                // the destination received the picture
  kNoDestination,       // rendered and dropped: the name has no known extension
  kImageNotCreated,     // the picture could not be made (no pixels, too large, no memory)
  kFileNotWritten,      // the file could not be written; the old one is intact
  kClipboardRefused,    // the clipboard could not be reached
  kImagingUnavailable,  // the system's imaging library did not start
};

struct OutputResult {
  OutputStatus status = OutputStatus::kDone;
  std::string reason;  // UTF-8, a few plain words ("the folder does not exist"); empty when done

  // Dropping a picture whose name asks for no format is what the user
  // asked for, not a failure.
  bool failed() const { return status != OutputStatus::kDone && status != OutputStatus::kNoDestination; }
};

}  // namespace pavlex
