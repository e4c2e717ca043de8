// Input that is not a loadable OBJ: one clear "file:line: message", and
// nothing loaded.
#include <gtest/gtest.h>

#include "tests/obj/obj_test_support.h"

namespace pavlex::testing {
namespace {

using host::ObjImport;

// Loads and expects failure with exactly `message`; the output must stay
// as it was (here: holding a document loaded before).
void ExpectRejected(const std::string& text, const std::string& message) {
  ObjImport out;
  std::string error;
  ASSERT_TRUE(host::LoadObjText("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", "good.obj", "", &out, &error))
      << error;
  const host::HostDocument* before = out.document.get();
  EXPECT_FALSE(host::LoadObjText(text, "bad.obj", "", &out, &error)) << "accepted: " << text;
  EXPECT_EQ(error, message);
  EXPECT_EQ(out.document.get(), before);
  EXPECT_NE(out.source, nullptr);
}

TEST(ObjBadInput, DataFilesNameTheirLine) {
  const struct {
    const char* file;
    const char* message;
  } cases[] = {
      {"bad_index_out_of_range.obj", ":5: vertex index 4 is out of range; the file has 3"},
      {"bad_index_zero.obj", ":4: vertex index 0 is not valid; OBJ indices start at 1"},
      {"bad_number.obj", ":2: malformed number '0,5'"},
      {"bad_face_two_corners.obj", ":5: a face has 2 points; it needs at least 3"},
      {"bad_binary.obj", ":4: unexpected byte '\\x00'; this is not a text OBJ file"},
  };
  for (const auto& c : cases) {
    ObjImport out;
    std::string error;
    EXPECT_FALSE(host::LoadObjFile(ObjData(c.file), &out, &error)) << c.file;
    EXPECT_EQ(error, ObjData(c.file) + c.message);
    EXPECT_EQ(out.document, nullptr);
  }
}

TEST(ObjBadInput, IndicesOutOfRange) {
  ExpectRejected("v 0 0 0\nf 1 1 -2\n",
                 "bad.obj:2: relative vertex index -2 reaches before the first vertex (1 so far)");
  ExpectRejected("v 0 0 0\nvt 0 0\nf 1/1 1/2 1/1\n",
                 "bad.obj:3: texture coordinate index 2 is out of range; the file has 1");
  ExpectRejected("v 0 0 0\nf 1//1 1//1 1//1\n", "bad.obj:2: normal index 1 is out of range; the file has 0");
  ExpectRejected("v 0 0 0\nf 1 1 99999999999\n", "bad.obj:2: vertex index '99999999999' is out of range");
  // The earliest offending line is reported, even when a later one points further.
  ExpectRejected("v 0 0 0\nf 1 1 5\nf 1 1 9\nv 0 0 0\n",
                 "bad.obj:2: vertex index 5 is out of range; the file has 2");
}

TEST(ObjBadInput, MalformedStatements) {
  ExpectRejected("v 1 2\n", "bad.obj:1: a vertex needs 3 numbers, found 2");
  ExpectRejected("v 1 2 3 4 5 6 7 8\n", "bad.obj:1: a vertex takes at most 7 numbers");
  ExpectRejected("v 1 2 nan\n", "bad.obj:1: number 'nan' is not finite");
  ExpectRejected("vn 0 0 1e39\n", "bad.obj:1: number '1e39' is out of range");
  ExpectRejected("vt 0.5 0.5 0.5 0.5\n", "bad.obj:1: a texture coordinate takes at most 3 numbers");
  ExpectRejected("v 0 0 0\nf 1/x 1 1\n", "bad.obj:2: malformed texture coordinate index 'x'");
  ExpectRejected("v 0 0 0\nf 1/1/1/1 1 1\n", "bad.obj:2: malformed corner '1/1/1/1'");
  ExpectRejected("v 0 0 0\nl 1\n", "bad.obj:2: a line has 1 point; it needs at least 2");
  ExpectRejected("s maybe\n", "bad.obj:1: smoothing group 'maybe' is not 'off' or a number");
  ExpectRejected("mtllib\n", "bad.obj:1: mtllib needs a file name");
}

TEST(ObjBadInput, BinaryAndForeignText) {
  ExpectRejected("v 0 0 0\n\x7f\x45LF\x02\x01\n",
                 "bad.obj:2: unexpected bytes in '\\x7fELF\\x02\\x01'; this is not a text OBJ file");
  ExpectRejected("v 0 0 0\rv 1 1 1\r", "bad.obj:1: unexpected byte '\\x0d'; this is not a text OBJ file");
  ExpectRejected("Dear reader,\nthis is a letter.\n",
                 "bad.obj:1: unknown statement 'Dear'; this is not an OBJ file");
}

TEST(ObjBadInput, UnreadableFiles) {
  ObjImport out;
  std::string error;
  EXPECT_FALSE(host::LoadObjFile(ObjData("no_such_file.obj"), &out, &error));
  EXPECT_EQ(error, ObjData("no_such_file.obj") + ": cannot read: No such file or directory");
  EXPECT_FALSE(host::LoadObjFile(std::string(PAVLEX_TEST_DATA_DIR), &out, &error));
  EXPECT_EQ(error, std::string(PAVLEX_TEST_DATA_DIR) + ": cannot read: is a folder");
  // A device that never ends must not be read into memory.
#ifdef _WIN32
  const std::string device = "NUL";
#else
  const std::string device = "/dev/zero";
#endif
  EXPECT_FALSE(host::LoadObjFile(device, &out, &error));
  EXPECT_EQ(error, device + ": cannot read: not a regular file");
  EXPECT_EQ(out.document, nullptr);
}

}  // namespace
}  // namespace pavlex::testing
