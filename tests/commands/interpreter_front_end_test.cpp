// The command language as a front end other than the pavlex command runs
// it: output and messages arrive through callbacks, slow work is announced,
// and dialogs are answered by the commands that follow, all in the real
// host with the real plug-in.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/commands/command_interpreter.h"
#include "host/commands/command_script.h"
#include "host/session/host_session.h"
#include "tests/obj/obj_test_support.h"
#include "tests/support/temp_folder.h"

namespace pavlex::commands {
namespace {

using pavlex::testing::ObjData;
using pavlex::testing::ReadBytes;
using pavlex::testing::TempFolder;

class InterpreterFrontEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::HostSessionOptions options;
    options.persistSettings = false;
    session_ = std::make_unique<host::HostSession>(options);
    std::string error;
    plugin_ = session_->loadPlugin(PAVLEX_PLUGIN_LIBRARY, &error);
    ASSERT_NE(plugin_, nullptr) << error;
    ASSERT_TRUE(session_->activate(*plugin_));
    ASSERT_TRUE(session_->openDocument(ObjData("several_objects.obj"), &error)) << error;

    CommandFrontEnd frontEnd{TextSink([this](std::string_view text) { out_.append(text); }),
                             TextSink([this](std::string_view text) { messages_.append(text); }), "", {}, {}, nullptr, {}};
    frontEnd.workStarted = [this](const std::string& what) { work_.push_back("start " + what); };
    frontEnd.workEnded = [this] { work_.push_back("end"); };
    interpreter_ = std::make_unique<CommandInterpreter>(*session_, *plugin_, std::move(frontEnd));
    session_->setModalDriver(interpreter_.get());
  }
  void TearDown() override {
    if (session_ != nullptr) session_->setModalDriver(nullptr);
    interpreter_.reset();
    session_.reset();
  }

  bool Run(const std::string& script) {
    ScriptQueue queue(SplitScript(script, "t"));
    return interpreter_->run(queue);
  }

  std::unique_ptr<host::HostSession> session_;
  host::LoadedPlugin* plugin_ = nullptr;
  std::unique_ptr<CommandInterpreter> interpreter_;
  std::string out_, messages_;
  std::vector<std::string> work_;
};

TEST_F(InterpreterFrontEndTest, PrintGoesToTheCallbackAndSlowWorkIsAnnounced) {
  TempFolder folder;
  ASSERT_FALSE(folder.path().empty());
  const std::string saved = folder.file("saved.obj");
  ASSERT_TRUE(Run("print document; save " + saved + "; open " + saved + "; object right; print object")) << messages_;
  EXPECT_EQ(messages_, "");
  EXPECT_NE(out_.find("object 0 left *\nobject 1 right\nobject 2 far\n"), std::string::npos) << out_;
  EXPECT_NE(out_.find("object 1 right\nunique-id"), std::string::npos) << out_;
  EXPECT_EQ(work_, (std::vector<std::string>{"start saving " + saved, "end", "start loading " + saved, "end"}));
  EXPECT_EQ(session_->documentPath(), saved);
  EXPECT_EQ(ReadBytes(saved), ReadBytes(ObjData("several_objects.obj"))) << "opened and saved unchanged";
}

TEST_F(InterpreterFrontEndTest, ErrorsGoToTheMessagesWithTheirLineAndStopAScript) {
  EXPECT_FALSE(Run("print document\npress Select/grop\nprint document"));
  EXPECT_EQ(messages_,
            "t:2: no button named 'Select/grop' (not in 'Pavlex'); nearest: 'Select/group', 'Select/floating' or "
            "'Invert/H'\n");
  EXPECT_EQ(out_.find("object 0 left *"), out_.rfind("object 0 left *")) << "the run stopped:\n" << out_;

  // The dry run names the first bad command and runs nothing.
  const std::vector<ScriptLine> lines = SplitScript("select uv all\npress\nselect uv none", "u");
  EXPECT_EQ(interpreter_->check(lines), std::string("u:2: usage: press PATH"));
  EXPECT_FALSE(session_->document().object(0)->isUVSelected(0, 0));
}

TEST_F(InterpreterFrontEndTest, CommandsAfterTheOneThatOpenedADialogActInsideIt) {
  ASSERT_TRUE(Run("select uv all; press Manipulate/Numerical; print widgets; press Cancel; print widgets"))
      << messages_;
  const size_t inside = out_.find("pivot U\tdoublespinbox\n");
  const size_t outside = out_.find("Select/group\tbutton\n");
  EXPECT_NE(inside, std::string::npos) << out_;
  EXPECT_NE(outside, std::string::npos) << out_;
  EXPECT_LT(inside, outside) << "the dialog's paths first, then the window's";
  EXPECT_EQ(session_->runningDialog(), 0);

  // A script that ends inside the dialog is an error; the dialog closes.
  EXPECT_FALSE(Run("press Manipulate/Numerical"));
  EXPECT_NE(messages_.find("t:1: the script ended while the dialog 'Numerical Manipulate' is open"),
            std::string::npos)
      << messages_;
  EXPECT_EQ(session_->runningDialog(), 0);
}

}  // namespace
}  // namespace pavlex::commands
