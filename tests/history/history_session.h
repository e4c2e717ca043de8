// A host session with the real plug-in switched on, driven through the
// command language as a front end drives it, with what the tests of the
// history need: the document's whole observable state as one text, and a
// grid model written to a file.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "bench/grid_mesh.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_script.h"
#include "host/session/host_session.h"
#include "tests/obj/obj_test_support.h"
#include "tests/support/temp_folder.h"

namespace pavlex::testing {

class HistorySessionTest : public ::testing::Test {
 protected:
  void SetUp() override { StartSession(host::EditHistory::kDefaultByteLimit); }
  void TearDown() override { StopSession(); }

  void StartSession(size_t historyLimit) {
    StopSession();
    ASSERT_FALSE(folder_.path().empty());
    host::HostSessionOptions options;
    options.persistSettings = false;
    options.historyByteLimit = historyLimit;
    session_ = std::make_unique<host::HostSession>(options);
    std::string error;
    plugin_ = session_->loadPlugin(PAVLEX_PLUGIN_LIBRARY, &error);
    ASSERT_NE(plugin_, nullptr) << error;
    ASSERT_TRUE(session_->activate(*plugin_));
  }
  void StopSession() {
    if (session_ != nullptr) session_->setModalDriver(nullptr);
    interpreter_.reset();
    session_.reset();
  }

  // Runs a script through a fresh interpreter (an earlier failure does not
  // stop it); true when no command failed. Output and messages accumulate.
  bool Run(const std::string& script) {
    commands::CommandFrontEnd frontEnd{commands::TextSink([this](std::string_view text) { out_.append(text); }),
                                       commands::TextSink([this](std::string_view text) { messages_.append(text); }),
                                       "", {}, {}, nullptr, {}};
    session_->setModalDriver(nullptr);
    interpreter_ = std::make_unique<commands::CommandInterpreter>(*session_, *plugin_, std::move(frontEnd));
    session_->setModalDriver(interpreter_.get());
    commands::ScriptQueue queue(commands::SplitScript(script, "t"));
    return interpreter_->run(queue);
  }
  // Runs a script that must succeed.
  void Do(const std::string& script) {
    messages_.clear();
    ASSERT_TRUE(Run(script)) << script << "\n" << messages_;
  }
  // The one message a failing script leaves.
  std::string Failure(const std::string& script) {
    messages_.clear();
    EXPECT_FALSE(Run(script)) << script;
    return messages_;
  }

  // Everything a user can observe of the document: the saved OBJ and MTL
  // bytes, and the printed objects, faces (with unique IDs), UVs and
  // selections of every object, current object and material marked.
  std::string State() {
    const std::string obj = folder_.file("state.obj");
    out_.clear();
    host::HostDocument& doc = session_->document();
    const int32_t current = doc.currentObject();
    std::string script = "print document";
    // Printing another object needs it current: read the slots directly.
    for (int32_t slot = 0; slot < doc.objectSlotCount(); ++slot) {
      if (doc.object(slot) == nullptr) continue;
      doc.setCurrentObject(slot);
      EXPECT_TRUE(Run("print object; print faces; print uv; print selection")) << messages_;
    }
    doc.setCurrentObject(current);
    std::string printed = out_;
    out_.clear();
    EXPECT_TRUE(Run(script)) << messages_;
    printed += out_;
    const bool saved = Run("save " + obj);
    std::string state = printed + "\n--- obj ---\n" + (saved ? ReadBytes(obj) : "(not saved: " + messages_ + ")");
    const std::string mtl = folder_.file("state.mtl");
    if (std::ifstream(mtl).good()) state += "\n--- mtl ---\n" + ReadBytes(mtl);
    return state;
  }

  // An n x n quad grid in k x k UV islands, written to a file in the folder.
  std::string GridFile(int n, int k, const std::string& name = "grid.obj") {
    const std::string path = folder_.file(name);
    std::ofstream(path, std::ios::binary) << bench::MakeGridObj({n, k, "grid"});
    return path;
  }

  size_t UndoCount() { return session_->history().undoCount(); }
  size_t RedoCount() { return session_->history().redoCount(); }

  TempFolder folder_;
  std::unique_ptr<host::HostSession> session_;
  host::LoadedPlugin* plugin_ = nullptr;
  std::unique_ptr<commands::CommandInterpreter> interpreter_;
  std::string out_, messages_;
};

}  // namespace pavlex::testing
