// A large model is kept for the lossless save in a private copy on disk
// instead of in memory, and its patched save streams into the file. Saves
// from that copy must be what saves from memory are, byte for byte,
// whatever happens to the opened file afterwards.
#include <gtest/gtest.h>
#ifdef __linux__
#include <sys/mount.h>
#endif

#include <filesystem>
#include <fstream>
#include <string>

#include "bench/grid_mesh.h"
#include "host/io/file_bytes.h"
#include "tests/obj/obj_test_support.h"

namespace pavlex::testing {
namespace {

namespace fs = std::filesystem;
using host::ObjImport;

ObjImport LoadText(const std::string& text, const TempFolder& folder) {
  ObjImport import;
  std::string error;
  EXPECT_TRUE(host::LoadObjText(text, "grid.obj", folder.path().u8string() + "/", &import, &error)) << error;
  return import;
}

std::string SaveTo(const ObjImport& import, const std::string& path) {
  std::string error;
  EXPECT_TRUE(host::SaveObjFile(*import.document, import.source.get(), path, &error)) << error;
  return ReadBytes(path);
}

// The bytes stay in memory on Windows.
void ExpectKeptOnDisk([[maybe_unused]] const ObjImport& import) {
#ifdef __linux__
  EXPECT_EQ(import.source->text.memory(), nullptr);
#endif
}

// A comment line of the file's own line break that takes the file over
// the size kept on disk, and changes every offset in it.
std::string PaddingFor(const std::string& text) {
  const size_t nl = text.find('\n');
  const bool crlf = nl != std::string::npos && nl > 0 && text[nl - 1] == '\r';
  return "# " + std::string(host::kObjKeptOnDiskFrom, '.') + (crlf ? "\r\n" : "\n");
}

// The data files twice, side by side: as they are, and each one with the
// padding in front of it (same names, so objects are named alike).
class ObjRoundTripOnDisk : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(models_.path().empty());
    for (const char* copy : {"plain", "padded"}) {
      fs::create_directory(models_ / copy);
      fs::copy(fs::u8path(PAVLEX_TEST_DATA_DIR) / "obj", models_ / copy, fs::copy_options::recursive);
    }
    original_ = ReadBytes(models_.file(std::string("plain/") + GetParam()));
    padding_ = PaddingFor(original_);
    WriteBytes(models_.file(std::string("padded/") + GetParam()), padding_ + original_);
  }
  std::string Plain() const { return models_.file(std::string("plain/") + GetParam()); }
  std::string Padded() const { return models_.file(std::string("padded/") + GetParam()); }

  TempFolder models_{"pavlex-models"};
  std::string original_, padding_;
};

TEST_P(ObjRoundTripOnDisk, UneditedSaveIsByteIdentical) {
  const ObjImport padded = LoadObj(Padded());
  ExpectKeptOnDisk(padded);
  TempFolder out;
  EXPECT_EQ(SaveTo(padded, out.file("saved.obj")), padding_ + original_);
}

TEST_P(ObjRoundTripOnDisk, UVEditsPatchAsTheyDoInMemory) {
  const ObjImport plain = LoadObj(Plain());
  const ObjImport padded = LoadObj(Padded());
  ASSERT_NE(plain.source->text.memory(), nullptr);
  EditEvenVertexUVs(plain);
  EditEvenVertexUVs(padded);
  TempFolder a, b;
  EXPECT_EQ(SaveTo(padded, b.file("saved.obj")), padding_ + SaveTo(plain, a.file("saved.obj")));
}

INSTANTIATE_TEST_SUITE_P(Files, ObjRoundTripOnDisk, ::testing::ValuesIn(kRoundTripFiles),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           std::string name = param.param;
                           name.resize(name.find('.'));
                           return name;
                         });

// A grid just over the size kept on disk, and the same text loaded from
// memory to compare with.
class ObjKeptCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    text_ = bench::MakeGridObj({150, 3, "grid"});
    ASSERT_GE(text_.size(), host::kObjKeptOnDiskFrom);
    WriteBytes(path_, text_);
  }

  TempFolder folder_{"pavlex-kept"};
  std::string path_ = folder_.file("grid.obj");
  std::string text_;
};

TEST_F(ObjKeptCopy, TheOpenedFileChangingOrGoingDoesNotReachTheSave) {
  const ObjImport kept = LoadObj(path_);
  ExpectKeptOnDisk(kept);
  {
    // Written over in place, then cut short, then removed.
    std::fstream file(fs::u8path(path_), std::ios::binary | std::ios::in | std::ios::out);
    file << std::string(100000, '#');
  }
  fs::resize_file(fs::u8path(path_), 10);
  fs::remove(fs::u8path(path_));

  EXPECT_EQ(SaveTo(kept, folder_.file("unchanged.obj")), text_);
  const ObjImport reference = LoadText(text_, folder_);
  EditEvenVertexUVs(kept);
  EditEvenVertexUVs(reference);
  const std::string expected = SaveTo(reference, folder_.file("reference.obj"));
  EXPECT_NE(expected, text_);
  EXPECT_EQ(SaveTo(kept, folder_.file("edited.obj")), expected);
}

TEST_F(ObjKeptCopy, SavesOverTheOpenedFileOneAfterAnother) {
  const ObjImport kept = LoadObj(path_);
  const ObjImport reference = LoadText(text_, folder_);
  for (int round = 0; round < 2; ++round) {
    EditEvenVertexUVs(kept);
    EditEvenVertexUVs(reference);
    EXPECT_EQ(SaveTo(kept, path_), SaveTo(reference, folder_.file("reference.obj"))) << "round " << round;
  }
  EXPECT_EQ(Geometry(LoadObj(path_)), Geometry(kept));
}

#ifdef __linux__
// The patched text streams into the file, as a clean one does; a disk that
// fills up partway leaves the old file whole and no temporary file behind,
// and the document still saves elsewhere. Needs a small tmpfs of our own.
TEST_F(ObjKeptCopy, ADiskFullPartwayLeavesTheOldFileWhole) {
  const ObjImport kept = LoadObj(path_);
  EditEvenVertexUVs(kept);
  const fs::path disk = folder_ / "disk";
  fs::create_directory(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0) GTEST_SKIP() << "cannot mount a tmpfs here";
  struct Unmount {
    fs::path at;
    ~Unmount() { ::umount(at.c_str()); }
  } unmount{disk};
  const std::string target = (disk / "grid.obj").u8string();
  WriteBytes(target, "old model");

  std::string error;
  EXPECT_FALSE(host::SaveObjFile(*kept.document, kept.source.get(), target, &error));
  EXPECT_EQ(error, target + ": cannot write: No space left on device");
  EXPECT_EQ(ReadBytes(target), "old model");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(disk)) names.push_back(entry.path().filename().u8string());
  EXPECT_EQ(names, std::vector<std::string>{"grid.obj"});

  const ObjImport reference = LoadText(text_, folder_);
  EditEvenVertexUVs(reference);
  EXPECT_EQ(SaveTo(kept, folder_.file("elsewhere.obj")), SaveTo(reference, folder_.file("reference.obj")));

  // A structural edit: the clean file streams the same way.
  ASSERT_TRUE(MQObj_DeleteFace(ObjectAt(kept, 0), 0, 0));
  EXPECT_FALSE(host::SaveObjFile(*kept.document, kept.source.get(), target, &error));
  EXPECT_EQ(error, target + ": cannot write: No space left on device");
  EXPECT_EQ(ReadBytes(target), "old model");
}
#endif

}  // namespace
}  // namespace pavlex::testing
