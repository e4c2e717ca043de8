// Layout images through the plug-in's Output dialog: the `layout`
// shorthand, the dialog's own buttons, and the output size remembered in
// the settings file from one run to the next.
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/cli/pavlex_process.h"

namespace pavlex::cli_test {
namespace {

uint32_t BigEndian32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

TEST(PavlexLayout, WritesAPngOfTheAskedSizeAndTheNextRunRemembersIt) {
  ScratchDir scratch;
  const std::string png = (scratch / "layout.png").string();
  PavlexRun run = RunPavlex(scratch, {"-c", "select uv all; layout " + png + " 64x32 wireframe,current-object"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string bytes = ReadAll(png);
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  EXPECT_EQ(BigEndian32(bytes, 16), 64u);
  EXPECT_EQ(BigEndian32(bytes, 20), 32u);

  run = RunPavlex(scratch, {"-c", "press File/Output; print tree; press Cancel"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\"spinbox\" {min=1, max=65535, visiblecolumn=5, increment=4, position=64}"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("position=32}"), std::string::npos) << run.out;
}

// "refer" asks for the file with a save-file dialog; the spin boxes snap
// down to multiples of 4; OK writes, Cancel does not.
TEST(PavlexLayout, OutputDialogButtons) {
  ScratchDir scratch;
  const std::string tga = (scratch / "layout.tga").string();
  PavlexRun run = RunPavlex(scratch, {"-c", "press File/Output; press refer; answer " + tga +
                                                "; set spinbox 18; set spinbox#2 9; press OK"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string bytes = ReadAll(tga);
  EXPECT_EQ(bytes.size(), 18u + 16u * 8u * 4u + 26u) << "16 x 8 pixels, header and footer";
  EXPECT_EQ(bytes.substr(bytes.size() - 18, 17), "TRUEVISION-XFILE.");

  run = RunPavlex(scratch, {"-c", "press File/Output; set edit " + (scratch / "no.bmp").string() +
                                      "; press refer; answer cancel; press Cancel"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(std::filesystem::exists(scratch / "no.bmp"));

  // Without a display the clipboard buttons fail silently, as the plug-in's
  // outputs do; the dialog stays open for Cancel.
  run = RunPavlex(scratch, {"-c", "press File/Output; press 'Color to Clipboard'; press 'Alpha to Clipboard'; "
                                  "press Cancel"});
  EXPECT_EQ(run.status, 0) << run.err;
}

TEST(PavlexLayout, BadOptionsAndNamesThatAreNoImageAreErrorsBeforeAnythingRuns) {
  ScratchDir scratch;
  PavlexRun run = RunPavlex(scratch, {"-c", "layout x.png 10x10 wirefram"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("-c:1: 'wirefram' is not a layout option"), std::string::npos) << run.err;

  run = RunPavlex(scratch, {"-c", "layout x.png 0x10"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("at least one pixel"), std::string::npos) << run.err;

  // The dialog writes nothing for such a name; the check says so at once.
  const std::string saved = (scratch / "out.obj").string();
  for (const char* name : {"notes.txt", "layout", "folder.png/x"}) {
    run = RunPavlex(scratch, {"-c", "select uv all; layout " + std::string(name) + " 8x8", "-o", saved});
    EXPECT_EQ(run.status, 1) << name;
    EXPECT_NE(run.err.find("-c:1: '" + std::string(name) + "' does not name an image file"), std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(saved));
  }
  run = RunPavlex(scratch, {"-c", "layout " + (scratch / "upper.PNG").string() + " 8x8"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(scratch / "upper.PNG"));
}

// The plug-in says why it could not write the image with an OK-only
// message box; in a script the box is acknowledged at once and the command
// fails with its message, and nothing is saved.
TEST(PavlexLayout, AFileThatCannotBeWrittenFailsWithThePlugInsMessage) {
  ScratchDir scratch;
  const std::string saved = (scratch / "out.obj").string();
  const PavlexRun run = RunPavlex(scratch, {"-c", "layout /no/such/dir/x.png 64x64\nprint document", "-o", saved});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("pavlex: -c:1: Cannot write /no/such/dir/x.png: "), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "") << "the run stops at the failed command";
  EXPECT_FALSE(std::filesystem::exists(saved));
}

// Each way a layout can fail says which file and why; a size the dialog
// cannot take as asked is said too, before it is drawn as it can.
TEST(PavlexLayout, SizesTheDialogChangesOrCannotDrawAreNamed) {
  ScratchDir scratch;
  const std::string clamped = (scratch / "wide.tga").string();
  PavlexRun run = RunPavlex(scratch, {"-c", "layout " + clamped + " 70000x8 wireframe"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("warning: the Output dialog takes 65532x8, not 70000x8"), std::string::npos) << run.err;
  EXPECT_TRUE(std::filesystem::exists(clamped));

  const std::string tiny = (scratch / "tiny.png").string();
  run = RunPavlex(scratch, {"-c", "layout " + tiny + " 2x2"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Cannot write " + tiny + ": the picture has no pixels (width or height 0)"),
            std::string::npos)
      << run.err;
  const std::string huge = (scratch / "huge.png").string();
  run = RunPavlex(scratch, {"-c", "layout " + huge + " 65532x65532"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Cannot write " + huge + ": the picture is too large (at most 1 GiB of pixels)"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(tiny));
  EXPECT_FALSE(std::filesystem::exists(huge));
}

}  // namespace
}  // namespace pavlex::cli_test
