// The bytes of a file kept for writing back later: a large file in a
// private copy on disk that nothing else can change, a small one in
// memory, and the same refusals as any whole-file read.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "host/io/file_bytes.h"
#include "tests/support/temp_folder.h"

namespace pavlex::testing {
namespace {

namespace fs = std::filesystem;
using host::io::FileBytes;
using host::io::RegularFileRead;

constexpr uint64_t kCopyFrom = uint64_t{1} << 20;

// Every byte value, NUL and line breaks included, in an order with no period
// a page or a chunk could hide.
std::string Noise(size_t size) {
  std::string out(size, '\0');
  uint32_t state = 12345;
  for (char& c : out) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>(state >> 24);
  }
  return out;
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class FileBytesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder_.path().empty()); }
  RegularFileRead Read(const fs::path& path, FileBytes* out, uint64_t limit = uint64_t{1} << 30) {
    return host::io::ReadRegularFile(path.u8string(), out, &reason_, limit, kCopyFrom);
  }
  TempFolder folder_{"pavlex-file-bytes"};
  std::string reason_;
};

TEST_F(FileBytesTest, ALargeFileIsKeptApartFromTheOriginal) {
  const std::string content = Noise(3 * kCopyFrom + 17);
  const fs::path path = folder_ / "large.bin";
  Write(path, content);
  FileBytes kept;
  ASSERT_EQ(Read(path, &kept), RegularFileRead::kOk) << reason_;
  ASSERT_EQ(kept.size(), content.size());
#ifdef __linux__
  EXPECT_EQ(kept.memory(), nullptr);
#endif
  std::string_view view;
  ASSERT_TRUE(kept.view(&view, &reason_)) << reason_;
  EXPECT_TRUE(view == content);
  kept.release();

  // The original written over in place, cut short, then removed.
  {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file << std::string(kCopyFrom, 'x');
  }
  fs::resize_file(path, 3);
  fs::remove(path);

  const FileBytes moved = std::move(kept);
  for (const auto& [offset, length] : {std::pair<uint64_t, size_t>{0, 10}, {kCopyFrom - 5, 10},
                                       {2 * kCopyFrom, kCopyFrom}, {content.size() - 1, 1}, {0, content.size()}}) {
    std::string part(length, '\0');
    ASSERT_TRUE(moved.read(offset, length, part.data(), &reason_)) << reason_;
    EXPECT_TRUE(part == content.substr(offset, length)) << "at " << offset;
  }
}

TEST_F(FileBytesTest, ASmallFileStaysInMemory) {
  const std::string content = Noise(kCopyFrom - 1);
  Write(folder_ / "small.bin", content);
  FileBytes kept;
  ASSERT_EQ(Read(folder_ / "small.bin", &kept), RegularFileRead::kOk) << reason_;
  ASSERT_NE(kept.memory(), nullptr);
  EXPECT_TRUE(*kept.memory() == content);

  Write(folder_ / "empty.bin", "");
  ASSERT_EQ(Read(folder_ / "empty.bin", &kept), RegularFileRead::kOk) << reason_;
  EXPECT_TRUE(kept.empty());
}

TEST_F(FileBytesTest, RefusalsAreThoseOfAnyWholeFileRead) {
  FileBytes kept;
  EXPECT_EQ(Read(folder_ / "missing.bin", &kept), RegularFileRead::kNotFound);
  EXPECT_EQ(reason_, "No such file or directory");
  EXPECT_EQ(Read(folder_.path(), &kept), RegularFileRead::kFailed);
  EXPECT_EQ(reason_, "is a folder");
  Write(folder_ / "large.bin", Noise(2 * kCopyFrom));
  EXPECT_EQ(Read(folder_ / "large.bin", &kept, kCopyFrom), RegularFileRead::kFailed);
  EXPECT_EQ(reason_, "larger than 1 MiB");
}

}  // namespace
}  // namespace pavlex::testing
