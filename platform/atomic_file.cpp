#include "platform/atomic_file.h"

#include "platform/atomic_file_steps.h"

namespace pavlex::platform {

std::string FileFailure::Reason() const {
  switch (problem) {
    case FileProblem::kNone:
      return std::string();
    case FileProblem::kFolderMissing:
      return "the folder does not exist";
    case FileProblem::kIsFolder:
      return "it is a folder";
    case FileProblem::kNotRegularFile:
      return "it is not a regular file";
    case FileProblem::kSymbolicLink:
      return "it is a symbolic link, and this file is not written through one";
    case FileProblem::kReadOnly:
      return "the file is read-only";
    case FileProblem::kAccessDenied:
      return "permission denied";
    case FileProblem::kReadOnlyFileSystem:
      return "the disk is read-only";
    case FileProblem::kDiskFull:
      return "the disk is full";
    case FileProblem::kInUse:
      return "the file is in use by another program";
    case FileProblem::kNotProduced:
      return "its contents could not be made";
    case FileProblem::kSystem:
      break;
  }
  return systemText.empty() ? std::string("the system refused") : systemText;
}

std::string FileFailure::Message() const {
  // The system's own words where there are some, so messages match what
  // other tools print for the same failure.
  const std::string why = systemText.empty() ? Reason() : systemText;
  switch (step) {
    case FileStep::kCheck:
      if (problem == FileProblem::kIsFolder || problem == FileProblem::kNotRegularFile) {
        return path + ": cannot save: not a regular file";
      }
      if (problem == FileProblem::kReadOnly) return path + ": cannot save: the file is read-only";
      if (problem == FileProblem::kSymbolicLink) {
        return path + ": cannot save: it is a symbolic link, and a file written beside the one you named is "
                      "never written through one";
      }
      return path + ": cannot save: " + why;
    case FileStep::kCreate:
      return path + ": cannot create a file in '" + folder + "': " + why;
    case FileStep::kWrite:
      return path + ": cannot write: " + why;
    case FileStep::kReplace:
      break;
  }
  return path + ": cannot replace the file: " + why;
}

namespace {

bool ReplaceAll(const std::vector<std::string>& paths, const std::vector<const FileProducer*>& producers,
                const std::vector<LinkRule>& links, FileFailure* failure) {
  FileFailure ignored;
  FileFailure& report = failure != nullptr ? *failure : ignored;
  report = FileFailure();
  std::vector<detail::PendingFile> pending;
  pending.reserve(paths.size());
  const auto discardFrom = [&pending](size_t first) {
    for (size_t i = first; i < pending.size(); ++i) detail::Discard(pending[i]);
  };
  for (size_t i = 0; i < paths.size(); ++i) {
    detail::PendingFile file;
    if (!detail::WriteTemporary(paths[i], *producers[i], links[i], &file, &report)) {
      discardFrom(0);
      return false;
    }
    pending.push_back(std::move(file));
  }
  for (size_t i = 0; i < pending.size(); ++i) {
    if (!detail::MoveIntoPlace(paths[i], pending[i], &report)) {
      discardFrom(i);
      return false;
    }
  }
  return true;
}

}  // namespace

bool WriteFilesAtomically(const std::vector<FileContents>& files, FileFailure* failure) {
  std::vector<std::string> paths;
  std::vector<FileProducer> producers;
  std::vector<LinkRule> links;
  paths.reserve(files.size());
  producers.reserve(files.size());
  for (const FileContents& file : files) {
    paths.push_back(file.path);
    links.push_back(file.links);
    const std::string_view bytes = file.bytes;
    if (file.produce) {
      producers.push_back(file.produce);
    } else {
      producers.emplace_back([bytes](ByteSink& sink) { return sink.Write(bytes.data(), bytes.size()); });
    }
  }
  std::vector<const FileProducer*> pointers;
  for (const FileProducer& producer : producers) pointers.push_back(&producer);
  return ReplaceAll(paths, pointers, links, failure);
}

bool WriteFileAtomically(const std::string& path, const FileProducer& produce, FileFailure* failure) {
  return ReplaceAll({path}, {&produce}, {LinkRule::kFollow}, failure);
}

}  // namespace pavlex::platform
