// Replacing files so that a failure never leaves one damaged: each file is
// written to a temporary file in its own folder, flushed to disk, and only
// when every file of a set was written completely are they renamed over
// their targets. Both the host (documents, materials, settings) and the
// plug-in (pictures) write every file through here.
//
// Guarantees, on both systems:
// - the temporary file sits beside its target (a rename never crosses
//   file systems) and is removed again on every failure;
// - an existing target keeps its permissions (mode bits on Linux, the
//   hidden/system/archive attributes on Windows);
// - an existing target that is read-only (no write permission for anyone,
//   or none for this user; the read-only attribute on Windows) is refused
//   rather than replaced, even for the super-user;
// - a symbolic link that the caller named as the target (the file a person
//   chose to save to) is followed: the file it leads to is replaced and the
//   link stays a link; one that leads nowhere is replaced itself;
// - a symbolic link where a companion file goes (the material library
//   written beside a model, which nobody named) is refused: in a shared
//   folder anyone could have planted it to have this save overwrite a file
//   of theirs;
// - an existing target that is not a regular file (a folder, a FIFO, a
//   device) is refused.
//
// File names are UTF-8 (on Linux, the bytes of the name).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/byte_sink.h"

namespace pavlex::platform {

// What went wrong, by kind, so each side can word it for its audience.
enum class FileProblem {
  kNone,
  kFolderMissing,       // the folder, or one on its way, does not exist (or is a file)
  kIsFolder,            // the target is a folder
  kNotRegularFile,      // the target is a device, a pipe, ...
  kSymbolicLink,        // a companion file's place holds a symbolic link
  kReadOnly,            // the existing target refuses writing
  kAccessDenied,        // the system refused (folder permissions, ...)
  kReadOnlyFileSystem,  // the whole volume is read-only
  kDiskFull,            // no space left, or the quota is used up
  kInUse,               // another program holds the file (Windows)
  kNotProduced,         // the caller's producer gave up without a system error
  kSystem,              // anything else: see FileFailure::systemText
};

// The step at which a replacement failed.
enum class FileStep {
  kCheck,    // the existing target was refused before anything was written
  kCreate,   // the temporary file could not be made
  kWrite,    // writing, flushing or closing the temporary file failed
  kReplace,  // the rename over the target failed
};

struct FileFailure {
  FileProblem problem = FileProblem::kNone;
  FileStep step = FileStep::kCheck;
  std::string path;        // the file as the caller named it
  std::string folder;      // where the temporary file was to be made ("." for none)
  std::string systemText;  // the system's words ("No space left on device"); empty for our own refusals

  // A few plain words for a person: "the folder does not exist", "it is a
  // folder", "the file is read-only", "the disk is full", ...
  std::string Reason() const;
  // One line naming the file and the step, for logs and command errors:
  // "x.obj: cannot create a file in 'dir': No such file or directory".
  std::string Message() const;
};

// How a symbolic link at a target's place is treated (see above).
enum class LinkRule {
  kFollow,  // the file a person named: write to where the link leads
  kRefuse,  // a companion file nobody named: never write through a link
};

// Fills a sink; answers false to abandon the file. A producer whose sink
// refused bytes may stop at once: the sink's system error is what the
// failure reports.
using FileProducer = std::function<bool(ByteSink&)>;

// A file of a set and its whole contents (owned by the caller for the
// duration of the call).
struct FileContents {
  FileContents(std::string path_, std::string_view bytes_, LinkRule links_ = LinkRule::kFollow)
      : path(std::move(path_)), bytes(bytes_), links(links_) {}
  // Contents streamed by `produce` instead of held whole.
  static FileContents Streamed(std::string path, FileProducer produce, LinkRule links = LinkRule::kFollow) {
    FileContents file(std::move(path), std::string_view(), links);
    file.produce = std::move(produce);
    return file;
  }

  std::string path;
  std::string_view bytes;
  LinkRule links = LinkRule::kFollow;
  FileProducer produce;  // when set, used instead of `bytes`
};

// Replaces every file of the set, all or nothing: on failure nothing was
// renamed (or, when a rename itself fails, the files renamed before it are
// complete new versions and the rest are untouched), no temporary file is
// left, and `failure` (may be null) says which file and why.
bool WriteFilesAtomically(const std::vector<FileContents>& files, FileFailure* failure);

// Replaces one file with what `produce` streams into the sink. The sink
// buffers, so small writes cost no system call each.
bool WriteFileAtomically(const std::string& path, const FileProducer& produce, FileFailure* failure);

// Renames `from` to `to` in the same folder, replacing a file already
// called `to`. False with the system's words in `reason`.
bool RenameFile(const std::string& from, const std::string& to, std::string* reason);

}  // namespace pavlex::platform
