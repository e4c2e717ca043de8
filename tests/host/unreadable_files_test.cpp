// What the host reads must be a file a person saved, of a size known before
// it is read: anything else is refused at once with a reason, without
// waiting on it and without setting memory aside for it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/session/host_session.h"
#include "host/obj/obj_file.h"
#include "tests/support/temp_folder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace pavlex::testing {
namespace {

std::string LoadError(const std::string& path) {
  host::ObjImport out;
  std::string error;
  EXPECT_FALSE(host::LoadObjFile(path, &out, &error)) << path;
  return error;
}

class UnreadableFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(temp_.path().empty()); }
  std::string Path(const char* name) const { return (temp_.path() / name).u8string(); }
  TempFolder temp_{"pavlex-unreadable"};
};

TEST_F(UnreadableFilesTest, FoldersAreRefusedByName) {
  EXPECT_EQ(LoadError(temp_.path().u8string()), temp_.path().u8string() + ": cannot read: is a folder");
}

#ifndef _WIN32
// Windows would set the whole size aside on disk. A file far beyond the model limit whose blocks were never written: it
// costs no disk, and reading it would fill memory with zeros first.
TEST_F(UnreadableFilesTest, AModelBeyondTheLimitIsRefusedBeforeItIsRead) {
  const std::string path = Path("sparse.obj");
  std::ofstream(path) << "v 0 0 0\n";
  std::error_code failure;
  std::filesystem::resize_file(path, uint64_t{20} << 30, failure);
  if (failure) GTEST_SKIP() << "this file system cannot hold a sparse 20 GiB file: " << failure.message();
  EXPECT_EQ(LoadError(path), path + ": cannot read: larger than 4 GiB");
}

// Opening a FIFO for reading waits for a writer; the host must not.
TEST_F(UnreadableFilesTest, AFifoIsRefusedWithoutWaitingForAWriter) {
  const std::string fifo = Path("model.obj");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(LoadError(fifo), fifo + ": cannot read: not a regular file");

  // The same holds for a material library and for the settings file.
  const std::string obj = Path("uses-fifo.obj");
  std::ofstream(obj) << "mtllib model.obj\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  host::ObjImport out;
  std::string error;
  ASSERT_TRUE(host::LoadObjFile(obj, &out, &error)) << error;
  ASSERT_EQ(out.warnings.size(), 1u);
  EXPECT_NE(out.warnings[0].find("not a regular file"), std::string::npos) << out.warnings[0];

  std::ostringstream report;
  host::HostSessionOptions options;
  options.settingsPath = fifo;
  options.diagnostics = &report;
  { host::HostSession session(options); }
  EXPECT_NE(report.str().find("not a regular file"), std::string::npos) << report.str();
}

// /proc files say they are empty and then have content.
TEST_F(UnreadableFilesTest, GeneratedSystemFilesAreNotTakenAsEmpty) {
  if (!std::filesystem::exists("/proc/self/status")) GTEST_SKIP() << "no /proc here";
  EXPECT_EQ(LoadError("/proc/self/status"),
            "/proc/self/status: cannot read: not a regular file (its size is not known before it is read)");
}
#endif

}  // namespace
}  // namespace pavlex::testing
