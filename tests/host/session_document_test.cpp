// The session keeps what a lossless save needs beside the document: any
// front end opens, saves and saves again with one call each, and a file's
// comments and spacing survive UV edits.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "host/session/host_session.h"
#include "tests/obj/obj_test_support.h"
#include "tests/support/temp_folder.h"

namespace pavlex::testing {
namespace {

host::HostSessionOptions MemoryOnly() {
  host::HostSessionOptions options;
  options.persistSettings = false;
  return options;
}

class SessionDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    original_ = ReadBytes(ObjData("comments.obj"));
    ASSERT_FALSE(original_.empty());
    source_ = folder_.file("model.obj");
    WriteBytes(source_, original_);
  }

  host::HostSession session_{MemoryOnly()};
  TempFolder folder_;
  std::string original_;
  std::string source_;
};

TEST_F(SessionDocumentTest, OpenSaveAndSaveAgainKeepTheFilesBytes) {
  std::string error;
  ASSERT_TRUE(session_.openDocument(source_, &error)) << error;
  EXPECT_EQ(session_.documentPath(), source_);

  const std::string copy = folder_.file("copy.obj");
  ASSERT_TRUE(session_.saveDocument(copy, &error)) << error;
  EXPECT_EQ(ReadBytes(copy), original_) << "no edits: byte for byte";
  EXPECT_EQ(session_.documentPath(), copy) << "a plain save goes where the last one went";

  // A UV edit patches only the changed face; comments and spacing stay.
  host::HostDocument& doc = session_.document();
  host::HostObject* object = doc.object(doc.currentObject());
  ASSERT_NE(object, nullptr);
  object->faceUVs(0)[1] = MQCoordinate{0.25f, 0.5f};
  ASSERT_TRUE(session_.saveDocument(std::string(), &error)) << error;
  const std::string edited = ReadBytes(copy);
  EXPECT_NE(edited, original_);
  EXPECT_NE(edited.find("v 1 1 0 # trailing comment"), std::string::npos) << edited;
  EXPECT_NE(edited.find("   f 1/1 3/3 4/4"), std::string::npos) << "the untouched face keeps its line";
  EXPECT_NE(edited.find("vt 0.25 0.5"), std::string::npos) << edited;

  // Saving again, here or elsewhere, writes the same bytes.
  ASSERT_TRUE(session_.saveDocument(std::string(), &error)) << error;
  EXPECT_EQ(ReadBytes(copy), edited);
  const std::string again = folder_.file("again.obj");
  ASSERT_TRUE(session_.saveDocument(again, &error)) << error;
  EXPECT_EQ(ReadBytes(again), edited);
  EXPECT_EQ(ReadBytes(source_), original_) << "the opened file is never written behind the user's back";
}

TEST_F(SessionDocumentTest, ADocumentFromNoFileNeedsAPathAndFailuresKeepWhatWasThere) {
  std::string error;
  EXPECT_FALSE(session_.saveDocument(std::string(), &error));
  EXPECT_FALSE(error.empty());

  ASSERT_TRUE(session_.openDocument(source_, &error)) << error;
  host::HostDocument* opened = &session_.document();

  // A file that cannot be read leaves the document and its path alone.
  error.clear();
  EXPECT_FALSE(session_.openDocument(folder_.file("missing.obj"), &error));
  EXPECT_NE(error.find("missing.obj"), std::string::npos) << error;
  EXPECT_EQ(&session_.document(), opened);
  EXPECT_EQ(session_.documentPath(), source_);

  // A save that fails keeps the old path for the next plain save.
  error.clear();
  EXPECT_FALSE(session_.saveDocument(folder_.file("no/such/folder/x.obj"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(session_.documentPath(), source_);

  // A new document, closed or handed over, came from no file.
  session_.closeDocument();
  EXPECT_TRUE(session_.documentPath().empty());
  EXPECT_FALSE(session_.saveDocument(std::string(), &error));
  ASSERT_TRUE(session_.openDocument(source_, &error)) << error;
  session_.replaceDocument(std::make_unique<host::HostDocument>());
  EXPECT_TRUE(session_.documentPath().empty());

  // An empty document written afresh, then read back: no image of the old
  // file leaks into it.
  const std::string fresh = folder_.file("fresh.obj");
  ASSERT_TRUE(session_.saveDocument(fresh, &error)) << error;
  EXPECT_EQ(ReadBytes(fresh).find("trailing comment"), std::string::npos);
}

}  // namespace
}  // namespace pavlex::testing
