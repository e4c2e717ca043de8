// The "FileOuput" dialog opened from the Pavlex window's "File/Output" in a
// host session, driven while it is modal, as a user does.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

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

}  // namespace
}  // namespace pavlex::testing
