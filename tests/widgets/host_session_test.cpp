// The running host and a real plug-in library: which host events it sends,
// when, and what it cleans up after a plug-in is gone.
#include "host/driver/host_driver.h"
#include "host/session/host_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "hostapi/mq_codes.h"
#include "platform/module_loader.h"

namespace pavlex::testing {
namespace {

// The recording plug-in, held open by the test as well, so its record
// outlives the host's unloading of it.
class Recorder {
 public:
  Recorder() : library_(platform::LoadModule(PAVLEX_RECORDING_PLUGIN)) {
    if (library_ == nullptr) throw std::runtime_error(platform::LastModuleError());
    Resolve("RecorderEvents", events_);
    Resolve("RecorderClear", clear_);
    clear_();
  }
  ~Recorder() { platform::ReleaseModule(library_); }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // The events received since the last call.
  std::vector<int32_t> take() {
    std::vector<int32_t> codes(64);
    codes.resize(static_cast<size_t>(events_(codes.data(), 64)));
    clear_();
    return codes;
  }

 private:
  template <typename Function>
  void Resolve(const char* name, Function& slot) {
    void* address = platform::FindSymbol(library_, name);
    if (address == nullptr) throw std::runtime_error(std::string("the recorder lacks ") + name);
    std::memcpy(&slot, &address, sizeof slot);
  }

  platform::ModuleHandle library_;
  int32_t (*events_)(int32_t*, int32_t) = nullptr;
  void (*clear_)() = nullptr;
};

using Events = std::vector<int32_t>;

host::HostSessionOptions MemoryOnly() {
  host::HostSessionOptions options;
  options.persistSettings = false;
  return options;
}

TEST(HostSessionTest, SendsLoadActivationDrawDocumentAndExitEventsInOrder) {
  Recorder recorder;
  host::HostSession session(MemoryOnly());
  std::string error;
  host::LoadedPlugin* plugin = session.loadPlugin(PAVLEX_RECORDING_PLUGIN, &error);
  ASSERT_NE(plugin, nullptr) << error;
  EXPECT_EQ(recorder.take(), Events{MQEVENT_INITIALIZE});
  EXPECT_FALSE(session.isActive(*plugin));

  EXPECT_TRUE(session.activate(*plugin));
  EXPECT_EQ(recorder.take(), (Events{MQEVENT_ACTIVATE, MQEVENT_IS_ACTIVATED}));
  EXPECT_TRUE(session.isActive(*plugin));

  session.draw();
  EXPECT_EQ(recorder.take(), Events{MQEVENT_DRAW});
  session.closeDocument();
  EXPECT_EQ(recorder.take(), (Events{MQEVENT_END_DOCUMENT, MQEVENT_DRAW}));

  EXPECT_FALSE(session.deactivate(*plugin));
  EXPECT_EQ(recorder.take(), (Events{MQEVENT_ACTIVATE, MQEVENT_IS_ACTIVATED}));

  EXPECT_TRUE(session.unloadPlugin(plugin));
  EXPECT_EQ(recorder.take(), Events{MQEVENT_EXIT});
  EXPECT_FALSE(session.unloadPlugin(plugin)) << "already gone";
  session.draw();
  EXPECT_TRUE(recorder.take().empty()) << "nothing reaches an unloaded plug-in";
}

TEST(HostSessionTest, AHandlerRunRedrawsOnceAndMessage100SwitchesThePlugInOff) {
  Recorder recorder;
  host::HostSession session(MemoryOnly());
  host::LoadedPlugin* plugin = session.loadPlugin(PAVLEX_RECORDING_PLUGIN, nullptr);
  ASSERT_NE(plugin, nullptr);
  ASSERT_TRUE(session.activate(*plugin));
  recorder.take();

  // Two MQ_RefreshView calls inside the handler and the command's own
  // redraw make one event 110, after the handler.
  host::HostDriver user(session);
  ASSERT_TRUE(user.press("Refresh"));
  EXPECT_EQ(recorder.take(), Events{MQEVENT_DRAW});

  const host::CommandResult off = user.press("Recorder::Off");
  ASSERT_TRUE(off) << off.error;
  EXPECT_TRUE(off.handled);
  EXPECT_FALSE(session.isActive(*plugin));
  EXPECT_EQ(recorder.take(), Events{MQEVENT_DRAW});
}

TEST(HostSessionTest, UnloadingRemovesThePlugInsWidgetsAndExitUnloadsEveryPlugIn) {
  Recorder recorder;
  {
    host::HostSession session(MemoryOnly());
    host::LoadedPlugin* plugin = session.loadPlugin(PAVLEX_RECORDING_PLUGIN, nullptr);
    ASSERT_NE(plugin, nullptr);
    const host::HostDriver user(session);
    ASSERT_NE(user.findWindow("Recorder"), 0);
    session.unloadPlugin(plugin);
    EXPECT_EQ(user.findWindow("Recorder"), 0) << "the host removes what an unloaded plug-in left";
    EXPECT_TRUE(user.listPaths().empty());

    ASSERT_NE(session.loadPlugin(PAVLEX_RECORDING_PLUGIN, nullptr), nullptr);
    EXPECT_THROW(host::HostSession second(MemoryOnly()), std::logic_error);
    recorder.take();
  }
  EXPECT_EQ(recorder.take(), Events{MQEVENT_EXIT});
  EXPECT_EQ(host::HostSession::Current(), nullptr);
}

}  // namespace
}  // namespace pavlex::testing
