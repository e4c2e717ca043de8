// pavlex runs as users and pipelines run it: files in and out, scripts,
// the built-in sample, inspection output, settings.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/cli/pavlex_process.h"

namespace pavlex::cli_test {
namespace {


bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(PavlexFiles, PrintsTheUVsTheFileHoldsAndCountsItsObject) {
  ScratchDir scratch;
  const PavlexRun run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c", "print uv; print object"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, run.out.find("object ")),
            "uv 0 0 0 0\nuv 0 1 0.400000006 0\nuv 0 2 0.400000006 0.400000006\nuv 0 3 0 0.400000006\n"
            "uv 1 0 0.600000024 0\nuv 1 1 1 0\nuv 1 2 1 0.400000006\nuv 1 3 0.600000024 0.400000006\n");
  EXPECT_TRUE(Contains(run.out, "object 0 seams\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "vertices 6\nfaces 2\nlive-faces 2\ncorners 8\nvisible yes\nlocked no\n")) << run.out;
}

// A UV edit saves as a patch of the original file: its comments stay, and
// opening the saved file gives back the edited UVs.
TEST(PavlexFiles, SavedEditsReadBackAndKeepTheFileAsItWas) {
  ScratchDir scratch;
  const std::string saved = (scratch / "out.obj").string();
  PavlexRun run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c", "select uv 1:0 1:2; press Invert/H; print uv",
                                      "-o", saved});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string edited = run.out;
  EXPECT_TRUE(Contains(ReadAll(saved), "# Two quads over six vertices.")) << ReadAll(saved);

  run = RunPavlex(scratch, {saved, "-c", "print uv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, edited);
  EXPECT_TRUE(Contains(run.out, "uv 1 0 1 0\n")) << run.out;
}

// `save` without a name writes back to the file opened last; `save FILE`
// then becomes the target of the next plain `save`.
TEST(PavlexFiles, SaveWithoutANameWritesTheOpenedFile) {
  ScratchDir scratch;
  const std::filesystem::path copy = scratch / "copy.obj", other = scratch / "other.obj";
  std::filesystem::copy_file(TestData("obj/seams.obj"), copy);
  const PavlexRun run = RunPavlex(scratch, {"-c", "open " + copy.string() +
                                                      "; select uv all; press Snap/L; save; save " +
                                                      other.string() + "; close; print document"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(ReadAll(copy), "\nvt 0 0.4\n")) << "unchanged vt lines stay";
  EXPECT_EQ(ReadAll(copy), ReadAll(other));
  EXPECT_NE(ReadAll(copy), ReadAll(TestData("obj/seams.obj")));
}

// Deleting keeps the slot with no corners; compacting shifts later faces
// down and keeps their unique IDs.
TEST(PavlexFiles, DeleteAndCompactShiftFacesAndKeepUniqueIds) {
  ScratchDir scratch;
  const PavlexRun run =
      RunPavlex(scratch, {TestData("obj/seams.obj"), "-c", "print faces; delete face 0; print faces; compact; print faces; print uv"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = run.out.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(run.out.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), 2u + 2u + 1u + 4u) << run.out;
  const std::string uid1 = lines[1].substr(lines[1].find("uid "), lines[1].find(" corners") - lines[1].find("uid "));
  EXPECT_EQ(lines[2], "face 0 uid 0 corners 0 material -1") << "a deleted face's ID is retired: " << run.out;
  EXPECT_EQ(lines[3], lines[1]);
  EXPECT_EQ(lines[4], "face 0 " + uid1 + " corners 4 material -1");
  EXPECT_EQ(lines[5], "uv 0 0 0.600000024 0");
}

TEST(PavlexSample, HoldsThreeObjectsTwoMaterialsSharingOneTextureAndALight) {
  ScratchDir scratch;
  const std::string saved = (scratch / "sample.obj").string();
  const PavlexRun run = RunPavlex(scratch, {"-c", "print document; object Banner; print object", "-o", saved});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out,
                       "object 0 Crate *\nobject 1 Mask\nobject 2 Banner\n"
                       "material 0 Wood *\nmaterial 1 WoodDark\nmaterial 2 Paint\n"))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "object 2 Banner\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "faces 2\nlive-faces 2\ncorners 11\n")) << "a pentagon and a hexagon: " << run.out;
  const std::string mtl = ReadAll(scratch / "sample.mtl");
  size_t textures = 0;
  for (size_t at = 0; (at = mtl.find("map_Kd wood.png", at)) != std::string::npos; ++at) ++textures;
  EXPECT_EQ(textures, 2u) << mtl;
}

// The Crate's sides are one island cut by a seam, its caps two more.
TEST(PavlexSample, CrateIslandsFollowItsSeams) {
  ScratchDir scratch;
  PavlexRun run = RunPavlex(scratch, {"-c", "select uv 0:0; press Select/group; print selection"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 16) << "the four sides: " << run.out;
  run = RunPavlex(scratch, {"-c", "select uv 4:0; press Select/group; print selection"});
  EXPECT_EQ(run.out, "uv 4 0\nuv 4 1\nuv 4 2\nuv 4 3\n");
}

TEST(PavlexDocument, ObjectsAndMaterialsByIndexOrNameAndTheirFlags) {
  ScratchDir scratch;
  const PavlexRun run = RunPavlex(scratch, {"-c", "object 1; material WoodDark; hide object Crate 2; lock object Mask; "
                                                  "print document; print object; object Crate; print object"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "object 1 Mask *\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "material 1 WoodDark *\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "object 1 Mask\nunique-id")) << run.out;
  EXPECT_TRUE(Contains(run.out, "visible yes\nlocked yes\nobject 0 Crate\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "visible no\nlocked no\n")) << run.out;
}

TEST(PavlexSelection, RectanglesAddDeselectRemovesAndNoneClearsEveryKind) {
  ScratchDir scratch;
  const PavlexRun run = RunPavlex(
      scratch, {TestData("obj/seams.obj"), "-c",
                "select uv rect 0.5 -1 2 0.1; print selection; deselect uv 1:1; select vertex 3; select face 0; "
                "select line 1:3; print selection; select none; print selection"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "uv 1 0\nuv 1 1\nuv 1 0\nvertex 3\nline 1 3\nface 0\n");
}

// Runs FIRST-LAST (what a box in the 3D view writes) select what the
// single indices would, and a bad or overlong run changes nothing.
TEST(PavlexSelection, IndexRunsSelectLikeTheirIndicesAndBadRunsChangeNothing) {
  ScratchDir scratch;
  PavlexRun run = RunPavlex(scratch, {"-c", "object Mask; select face 0-2; deselect face 1-1; select vertex 2-4 0; "
                                            "print selection"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "vertex 0\nvertex 2\nvertex 3\nvertex 4\nface 0\nface 2\n");
  for (const char* bad : {"select face 2-1", "select face 0-99", "select face 0-2147483647", "select face 1-",
                          "select vertex -3"}) {
    run = RunPavlex(scratch, {"-c", std::string("object Mask; select face 3; ") + bad + "; print selection"});
    EXPECT_EQ(run.status, 1) << bad;
    EXPECT_EQ(run.out, "") << bad;
  }
  run = RunPavlex(scratch, {"-c", "object Mask; select face 3; print selection; select face 0-99"});
  EXPECT_TRUE(Contains(run.err, "no face 99 in Mask")) << run.err;
}

// Scripts: comments, quoted paths, ';' inside quotes, several sources in
// order, standard input.
TEST(PavlexScripts, FilesCommandsAndStandardInputRunInOrder) {
  ScratchDir scratch;
  WriteAll(scratch / "edit.pavlex",
           "# select the right face's left edge\n"
           "select uv 1:0 \\\n"
           "  # a comment line between commands\n"
           "select uv 1:3; press \"Grab/Sew\"   # not a comment: ignored by nobody\n");
  PavlexRun run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-s", (scratch / "edit.pavlex").string()});
  EXPECT_EQ(run.status, 1) << "a '\\' does not continue a line: " << run.err;
  EXPECT_TRUE(Contains(run.err, "edit.pavlex:2: '\\' is not a UV corner")) << run.err;

  WriteAll(scratch / "edit.pavlex",
           "# select both sides of the seam\n"
           "select uv 0:1 0:2\n"
           "\n"
           "  # then sew them\n"
           "select uv 1:0 1:3; press 'Grab/Sew'\n");
  run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-c", "print selection", "-s",
                            (scratch / "edit.pavlex").string(), "-c", "print uv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "uv 0 1 0.5 0\n")) << "-s before the second -c: " << run.out;

  run = RunPavlex(scratch, {TestData("obj/seams.obj"), "-s", "-"}, "select uv all\nprint selection\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 8) << run.out;
}

// Without commands and without a terminal, pavlex just converts.
TEST(PavlexScripts, NoCommandsFromAPipeOpensAndSaves) {
  ScratchDir scratch;
  const PavlexRun run =
      RunPavlex(scratch, {TestData("obj/seams.obj"), "-o", (scratch / "same.obj").string()}, "print uv\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadAll(scratch / "same.obj"), ReadAll(TestData("obj/seams.obj")));
}

TEST(PavlexProgram, ListWidgetsHelpVersionAndSettings) {
  ScratchDir scratch;
  PavlexRun run = RunPavlex(scratch, {"--list-widgets"});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* path : {"UV -> Object/V\tbutton\n", "Grab/Gather\tdoublespinbox\n", "Memory/Lock/3\tbutton\n",
                           "Invert/center\tcheckbox\n", "File/Output\tbutton\n", "Manipulate\tgroupbox\n"}) {
    EXPECT_TRUE(Contains(run.out, path)) << path;
  }
  EXPECT_FALSE(std::filesystem::exists(scratch / "settings.xml")) << "listing leaves the settings alone";

  run = RunPavlex(scratch, {"--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* part : {"--commands", "--script", "--save", "--settings", "--plugin", "--list-widgets",
                           "press PATH", "answer ok|cancel", "Exit status"}) {
    EXPECT_TRUE(Contains(run.out, part)) << part;
  }
  run = RunPavlex(scratch, {"--version"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(Contains(run.out, "pavlex 1.")) << run.out;

  // A normal run writes the plug-in's settings at exit, where it was told.
  run = RunPavlex(scratch, {"-c", "draw", "--settings", (scratch / "mine.xml").string()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(ReadAll(scratch / "mine.xml"), "Plugin-")) << ReadAll(scratch / "mine.xml");
}

TEST(PavlexProgram, HelpCommandListsTheCommands) {
  ScratchDir scratch;
  const PavlexRun run = RunPavlex(scratch, {"-c", "help; help press"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "select uv all|none")) << run.out;
  EXPECT_TRUE(Contains(run.out, "print widgets") || Contains(run.out, "widgets|tree")) << run.out;
}

}  // namespace
}  // namespace pavlex::cli_test
