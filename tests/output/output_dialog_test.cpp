// The "FileOuput" dialog opened from the Pavlex window's "File/Output" in a
// host session, driven while it is modal, as a user does.
#ifdef __linux__
#include <sys/mount.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tests/plugin_window/pavlex_session.h"
#include "tests/support/environment.h"
#include "tests/support/temp_folder.h"

namespace pavlex::testing {
namespace {

namespace fs = std::filesystem;

class DialogScript : public host::ModalDriver {
 public:
  void runModal(host::HostSession& session, int32_t) override {
    ++runs;
    host::HostDriver user(session);
    if (script) script(user);
  }
  int32_t messageBox(host::HostSession&, const host::MessageBoxRequest& box) override {
    boxes.push_back(box);
    return 1;
  }
  bool saveFile(host::HostSession&, host::SaveFileRequest& request) override {
    saveRequest = request;
    if (chosenName.empty()) return false;
    request.fileName = chosenName;
    return true;
  }
  std::function<void(host::HostDriver&)> script;
  int32_t runs = 0;
  host::SaveFileRequest saveRequest;
  std::u16string chosenName;
  std::vector<host::MessageBoxRequest> boxes;
};

class OutputDialogTest : public PavlexSessionTest {
 protected:
  void SetUp() override {
    PavlexSessionTest::SetUp();
    session().setModalDriver(&dialogs_);
    ASSERT_TRUE(session().activate(plugin()));
    AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{{0, 1, 2, 3}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}}});
    ASSERT_FALSE(temp_.path().empty());
    folder_ = temp_.path();
  }
  void TearDown() override {
    if (session_ != nullptr) session().setModalDriver(nullptr);
    PavlexSessionTest::TearDown();
  }

  void Open(std::function<void(host::HostDriver&)> script) {
    dialogs_.script = std::move(script);
    const host::CommandResult result = driver().press("Pavlex::File/Output");
    EXPECT_TRUE(result.done) << result.error;
  }
  template <class T>
  T Dialog(const std::string& path, host::WidgetKind kind, const char* name) {
    std::string error;
    const int32_t id = driver().findWidget(path, kind, &error);
    EXPECT_NE(id, 0) << error;
    const T* value = property<T>(id, name);
    return value != nullptr ? *value : T{};
  }
  int32_t Spin(const std::string& path) { return Dialog<int32_t>(path, host::WidgetKind::kSpinBox, "position"); }
  bool Checked(const std::string& path) { return Dialog<bool>(path, host::WidgetKind::kCheckBox, "checked"); }
  std::u16string FileName() { return Dialog<std::u16string>("edit", host::WidgetKind::kEdit, "text"); }
  void Do(const host::CommandResult& result) { EXPECT_TRUE(result.done) << result.error; }

  // Width and height from the PNG signature and IHDR chunk, big-endian.
  static std::pair<uint32_t, uint32_t> PngSize(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    uint8_t head[24] = {};
    if (!in.read(reinterpret_cast<char*>(head), sizeof(head))) return {0, 0};
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!std::equal(signature, signature + 8, head) || !std::equal(head + 12, head + 16, "IHDR")) return {0, 0};
    const auto be32 = [&](size_t at) {
      return static_cast<uint32_t>(head[at]) << 24 | head[at + 1] << 16 | head[at + 2] << 8 | head[at + 3];
    };
    return {be32(16), be32(20)};
  }

  DialogScript dialogs_;
  TempFolder temp_{"pavlex-dialog"};
  fs::path folder_;
};

TEST_F(OutputDialogTest, OpensWithTheRememberedOptionsAndCancelWritesNothing) {
  Open([&](host::HostDriver& s) {
    EXPECT_EQ(Spin("spinbox"), 1024);
    EXPECT_EQ(Spin("spinbox#2"), 1024);
    EXPECT_TRUE(Checked("wireframe"));
    EXPECT_FALSE(Checked("material color"));
    EXPECT_FALSE(Checked("object color"));
    EXPECT_FALSE(Checked("shader"));
    EXPECT_TRUE(Checked("current object"));
    EXPECT_TRUE(Checked("current material"));
    EXPECT_FALSE(Checked("memory"));
    for (const char* slot : {"1", "2", "3", "4"}) EXPECT_FALSE(Checked(slot));
    EXPECT_EQ(FileName(), u"");
    Do(s.set("edit", (folder_ / "cancelled.png").string()));
    Do(s.press("Cancel"));
  });
  EXPECT_EQ(dialogs_.runs, 1);
  EXPECT_FALSE(fs::exists(folder_ / "cancelled.png"));
  // OK with an empty name does nothing either, and nothing is remembered.
  Open([&](host::HostDriver& s) {
    EXPECT_EQ(FileName(), u"");
    Do(s.set("spinbox", 64.0));
    Do(s.press("OK"));
  });
  Open([&](host::HostDriver& s) {
    EXPECT_EQ(Spin("spinbox"), 1024);
    Do(s.press("Cancel"));
  });
}

TEST_F(OutputDialogTest, OkSnapsTheSizeWritesTheFileAndIsRememberedNextTime) {
  const fs::path path = folder_ / "layout.png";
  Open([&](host::HostDriver& s) {
    Do(s.set("spinbox", 1023.0));
    EXPECT_EQ(Spin("spinbox"), 1020);
    Do(s.set("spinbox#2", 30.0));
    EXPECT_EQ(Spin("spinbox#2"), 28);
    Do(s.check("wireframe", false));
    Do(s.check("shader", true));
    Do(s.check("current material", false));
    Do(s.set("edit", path.string()));
    Do(s.press("OK"));
  });
  EXPECT_EQ(PngSize(path), std::make_pair(1020u, 28u));
  Open([&](host::HostDriver& s) {
    EXPECT_EQ(Spin("spinbox"), 1020);
    EXPECT_EQ(Spin("spinbox#2"), 28);
    EXPECT_FALSE(Checked("wireframe"));
    EXPECT_TRUE(Checked("shader"));
    EXPECT_TRUE(Checked("current object"));
    EXPECT_FALSE(Checked("current material"));
    EXPECT_EQ(FileName(), path.u16string());
    // Sizes of 1 to 3 snap to 0, which draws and writes nothing.
    Do(s.set("spinbox", 3.0));
    EXPECT_EQ(Spin("spinbox"), 0);
    Do(s.set("edit", (folder_ / "empty.png").string()));
    Do(s.press("OK"));
  });
  EXPECT_FALSE(fs::exists(folder_ / "empty.png"));
  // Nothing was drawn, and the user hears why.
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].message, u"Cannot write " + (folder_ / "empty.png").u16string() +
                                          u": the picture has no pixels (width or height 0)");
}

TEST_F(OutputDialogTest, ReferOffersFourFiltersAndTakesTheChosenName) {
  const fs::path chosen = folder_ / "chosen.tga";
  dialogs_.chosenName = chosen.u16string();
  Open([&](host::HostDriver& s) {
    Do(s.set("edit", "typed.bmp"));
    Do(s.press("refer"));
    EXPECT_EQ(FileName(), chosen.u16string());
    Do(s.press("OK"));
  });
  EXPECT_EQ(dialogs_.saveRequest.title, u"Texture filename");
  EXPECT_EQ(dialogs_.saveRequest.filters,
            (std::vector<std::u16string>{u"Bitmap file (*.bmp)|*.bmp", u"Tegra file (*.tga)|*.tga",
                                         u"Jpeg file (*.jpg)|*.jpg;*.jpeg", u"PNG file (*.png)|*.png"}));
  EXPECT_EQ(dialogs_.saveRequest.filterIndex, 0);
  EXPECT_EQ(dialogs_.saveRequest.fileName, u"typed.bmp");
  EXPECT_EQ(fs::file_size(chosen), 18u + 1024u * 1024u * 4u + 26u);
  // A cancelled browse keeps the typed name.
  dialogs_.chosenName.clear();
  Open([&](host::HostDriver& s) {
    Do(s.press("refer"));
    EXPECT_EQ(FileName(), chosen.u16string());
    Do(s.press("Cancel"));
  });
}

// The 4 x 4 TGA the dialog wrote, one character a pixel: 'o' the object
// colour, '.' transparent, '?' anything else. TGA rows run bottom-up.
std::vector<std::string> TgaArt(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.size() != 18u + 4u * 4u * 4u + 26u) return {"(not a 4 x 4 TGA)"};
  std::vector<std::string> rows(4, std::string(4, '?'));
  for (size_t y = 0; y < 4; ++y) {
    for (size_t x = 0; x < 4; ++x) {
      const size_t at = 18 + 4 * ((3 - y) * 4 + x);
      const uint32_t pixel = bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                             static_cast<uint32_t>(bytes[at + 3]) << 24;
      if (pixel == 0xFF336699u) rows[y][x] = 'o';
      if (pixel == 0u) rows[y][x] = '.';
    }
  }
  return rows;
}

// Four quads stacked in v, one pixel row each on a 4 x 4 picture. Slot 2
// holds faces 0 and 2, slot 1 face 3 and half of face 1.
TEST_F(OutputDialogTest, MemoryBoxesFilterTheLayoutOnlyWithMemoryTicked) {
  std::vector<MQPoint> points;
  std::vector<FaceInput> faces;
  for (int32_t row = 0; row < 4; ++row) {
    const float top = static_cast<float>(row) / 4.0f, bottom = static_cast<float>(row + 1) / 4.0f;
    const int32_t base = static_cast<int32_t>(points.size());
    for (int k = 0; k < 4; ++k) points.push_back({static_cast<float>(k), static_cast<float>(row), 0});
    faces.push_back({{base, base + 1, base + 2, base + 3}, {{0, top}, {1, top}, {1, bottom}, {0, bottom}}});
  }
  host::HostObject& rows = AddObject(points, faces);
  rows.color = {0.2f, 0.4f, 0.6f};
  const auto select = [&](int32_t face, int32_t corners) {
    for (int32_t c = 0; c < corners; ++c) rows.setUVSelected(face, c, true);
  };
  select(0, 4);
  select(2, 4);
  Do(driver().press("Pavlex::Memory/Store/2"));
  session().document().clearSelection(MQCLEARSELECT_ALL);
  select(3, 4);
  select(1, 2);
  Do(driver().press("Pavlex::Memory/Store/1"));

  const auto output = [&](const std::string& name, bool memory, std::vector<const char*> slots) {
    const fs::path path = folder_ / name;
    Open([&](host::HostDriver& s) {
      Do(s.set("spinbox", 4.0));
      Do(s.set("spinbox#2", 4.0));
      Do(s.check("wireframe", false));
      Do(s.check("object color", true));
      Do(s.check("current material", false));
      EXPECT_FALSE(Checked("memory")) << "the memory boxes always open clear";
      for (const char* slot : {"1", "2", "3", "4"}) EXPECT_FALSE(Checked(slot));
      if (memory) Do(s.check("memory", true));
      for (const char* slot : slots) Do(s.check(slot, true));
      Do(s.set("edit", path.string()));
      Do(s.press("OK"));
    });
    return TgaArt(path);
  };
  using Art = std::vector<std::string>;
  EXPECT_EQ(output("slot2.tga", true, {"2"}), (Art{"oooo", "....", "oooo", "...."}));
  EXPECT_EQ(output("slots12.tga", true, {"1", "2"}), (Art{"oooo", "....", "oooo", "oooo"}));
  EXPECT_EQ(output("slot3.tga", true, {"3"}), (Art{"....", "....", "....", "...."}));
  // Slot boxes without "memory", and "memory" without a slot, filter nothing.
  EXPECT_EQ(output("no-memory.tga", false, {"2"}), (Art{"oooo", "oooo", "oooo", "oooo"}));
  EXPECT_EQ(output("no-slot.tga", true, {}), (Art{"oooo", "oooo", "oooo", "oooo"}));
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(OutputDialogTest, ClipboardButtonsKeepTheDialogOpenAndTheRememberedOptions) {
  // Without a display the copies fail silently on Linux; the Windows
  // clipboard takes them.
  const ScopedEnvironment noDisplay("DISPLAY", std::nullopt);
  const ScopedEnvironment noWayland("WAYLAND_DISPLAY", std::nullopt);
  Open([&](host::HostDriver& s) {
    Do(s.set("spinbox", 16.0));
    Do(s.set("edit", (folder_ / "not-written.png").string()));
    Do(s.press("Color to Clipboard"));
    Do(s.press("Alpha to Clipboard"));
    EXPECT_EQ(Spin("spinbox"), 16);  // still open
    Do(s.press("Cancel"));
  });
  Open([&](host::HostDriver& s) {
    EXPECT_EQ(Spin("spinbox"), 1024);
    EXPECT_EQ(FileName(), u"");
    Do(s.press("Cancel"));
  });
  EXPECT_FALSE(fs::exists(folder_ / "not-written.png"));
}

// OK onto a file that cannot be written: one OK-only message box over the
// Pavlex window names the file and the reason, no file appears, and a file
// already there keeps every byte.
TEST_F(OutputDialogTest, OkOntoAnUnwritableTargetSaysWhyAndWritesNothing) {
  const auto pressOk = [&](const fs::path& target) {
    Open([&](host::HostDriver& s) {
      Do(s.set("spinbox", 16.0));
      Do(s.set("spinbox#2", 16.0));
      Do(s.set("edit", target.string()));
      Do(s.press("OK"));
    });
  };
  const fs::path missing = folder_ / "no-such-folder" / "layout.png";
  pressOk(missing);
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].type, "ok");
  EXPECT_EQ(dialogs_.boxes[0].title, u"Pavlex");
  EXPECT_EQ(dialogs_.boxes[0].message, u"Cannot write " + missing.u16string() + u": the folder does not exist");
  EXPECT_FALSE(fs::exists(missing.parent_path()));

  const fs::path folderTarget = folder_ / "pictures.png";
  fs::create_directory(folderTarget);
  pressOk(folderTarget);
  ASSERT_EQ(dialogs_.boxes.size(), 2u);
  EXPECT_EQ(dialogs_.boxes[1].message, u"Cannot write " + folderTarget.u16string() + u": it is a folder");
  EXPECT_TRUE(fs::is_directory(folderTarget));
  EXPECT_TRUE(fs::is_empty(folderTarget));

  // Read-only by its mode bits, which the writer honours even for root.
  const fs::path kept = folder_ / "kept.tga";
  { std::ofstream(kept, std::ios::binary) << "old picture"; }
  fs::permissions(kept, fs::perms::owner_read, fs::perm_options::replace);
  pressOk(kept);
  ASSERT_EQ(dialogs_.boxes.size(), 3u);
  EXPECT_EQ(dialogs_.boxes[2].message, u"Cannot write " + kept.u16string() + u": the file is read-only");
  fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
  std::ifstream in(kept, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "old picture");
  // Nothing but what the test made, and no temporary file.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"kept.tga", "pictures.png"}));

  // A file that can be written shows no box, and the failures did not stop
  // the dialog from remembering the last name.
  pressOk(folder_ / "fine.png");
  EXPECT_EQ(dialogs_.boxes.size(), 3u);
  EXPECT_EQ(PngSize(folder_ / "fine.png"), std::make_pair(16u, 16u));
}

#ifdef __linux__
// A full disk: the picture's bytes are refused half-way, the old picture
// stays whole and the temporary file goes. Needs a small tmpfs of our own.
TEST_F(OutputDialogTest, OkOntoAFullDiskSaysSoAndKeepsTheOldPicture) {
  const fs::path disk = folder_ / "disk";
  fs::create_directory(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "cannot mount a tmpfs here";
  struct Unmount {
    fs::path at;
    ~Unmount() { ::umount(at.c_str()); }
  } unmount{disk};
  const fs::path kept = disk / "kept.bmp";
  { std::ofstream(kept, std::ios::binary) << "old picture"; }
  {
    std::ofstream filler(disk / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    for (int i = 0; i < 64 && filler.write(block.data(), block.size()); ++i) filler.flush();
  }
  Open([&](host::HostDriver& s) {
    Do(s.set("spinbox", 256.0));
    Do(s.set("spinbox#2", 256.0));
    Do(s.set("edit", kept.string()));
    Do(s.press("OK"));
  });
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].message, u"Cannot write " + kept.u16string() + u": the disk is full");
  std::ifstream in(kept, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "old picture");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(disk)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"filler", "kept.bmp"}));
}
#endif

// The clipboard buttons stay quiet when there is no clipboard to reach.
TEST_F(OutputDialogTest, ClipboardFailuresShowNoMessage) {
  const ScopedEnvironment noDisplay("DISPLAY", std::nullopt);
  const ScopedEnvironment noWayland("WAYLAND_DISPLAY", std::nullopt);
  Open([&](host::HostDriver& s) {
    Do(s.set("spinbox", 0.0));
    Do(s.press("Color to Clipboard"));
    Do(s.set("spinbox", 16.0));
    Do(s.press("Alpha to Clipboard"));
    Do(s.press("Cancel"));
  });
  EXPECT_TRUE(dialogs_.boxes.empty());
}

}  // namespace
}  // namespace pavlex::testing
