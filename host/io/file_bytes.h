// The bytes of a file kept after it was read, to be written back later: in
// memory, or, for a large file, in a private copy on disk.
//
// The private copy is a file in the temporary folder that has no name (or
// loses it at once), so no other program can change or remove it, and it
// disappears with the FileBytes (or the process). Its pages sit in the
// system's file cache, which can hand them back under pressure, instead of
// in this process's memory. A folder that is itself memory (tmpfs) is not
// used for it: the copy would save nothing there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "host/io/file_read.h"

namespace pavlex::host::io {

class FileBytes {
 public:
  FileBytes();
  explicit FileBytes(std::string bytes);  // kept in memory
  FileBytes(FileBytes&& other) noexcept;
  FileBytes& operator=(FileBytes&& other) noexcept;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;
  ~FileBytes();

  uint64_t size() const;
  bool empty() const { return size() == 0; }
  // The bytes when they are held in memory; null when they are on disk.
  const std::string* memory() const { return copy_ == nullptr ? &memory_ : nullptr; }

  // Every byte in one piece: the memory itself, or the private copy mapped
  // read-only until release() (or the end of the FileBytes). Touched pages
  // of a mapping count as resident until then. False with the system's
  // words in `reason` when the copy cannot be mapped.
  bool view(std::string_view* out, std::string* reason);
  // Ends the mapping view() made; the copy stays. Nothing to do in memory.
  void release();

  // Copies bytes [offset, offset + length), which must lie within size(),
  // into `out`. False with the system's words in `reason` when the private
  // copy cannot be read.
  bool read(uint64_t offset, size_t length, char* out, std::string* reason) const;

  struct DiskCopy;  // per system

 private:
  std::string memory_;
  std::unique_ptr<DiskCopy> copy_;

  friend RegularFileRead ReadRegularFile(const std::string& path, FileBytes* out, std::string* reason,
                                         uint64_t limit, uint64_t copyFrom);
};

// ReadRegularFile (file_read.h) for keeping: the same refusals and reasons.
// A file of at least `copyFrom` bytes goes into a private copy on disk, or
// into memory when no copy can be made (no usable temporary folder, a full
// disk) or the system makes none (Windows); a smaller one into memory.
RegularFileRead ReadRegularFile(const std::string& path, FileBytes* out, std::string* reason, uint64_t limit,
                                uint64_t copyFrom);

}  // namespace pavlex::host::io
