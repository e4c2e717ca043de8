// The plug-in object: one per loaded library, behind every exported entry
// point. It owns the window (while initialized) and the state that
// outlives commands (for as long as the library is loaded).
//
//   Loaded  --event 1-->  Ready (window hidden)  --event 100 on-->  Shown
//   Shown   --event 100 off, or the user hides the window-->  Ready
//   any     --event 2-->  Exited (window destroyed; state kept)
#pragma once

#include <memory>

#include "plugin/shell/station_plugin.h"
#include "plugin/state/plugin_state.h"

namespace pavlex {

class PavlexWindow;

class Pavlex : public MQStationPlugin {
 public:
  Pavlex();
  // Destroys the window if the host never sent its exit event.
  ~Pavlex() override;
  Pavlex(const Pavlex&) = delete;
  Pavlex& operator=(const Pavlex&) = delete;

  void GetPlugInID(uint32_t* product, uint32_t* id) const override;
  const char* GetPlugInName() const override;
  int32_t GetPlugInType() const override;
  const MQWChar* EnumString() const override;

  // Reads the settings and, the first time, builds the window and applies
  // its stored position and the stored output size. Always true.
  bool Initialize() override;
  // Writes the window position and output size, then destroys the window.
  void Exit() override;
  bool Activate(MQDocument document, bool flag) override;
  bool IsActivated(MQDocument document) override;
  void OnDraw(MQDocument document, MQScene scene, int32_t width, int32_t height) override;
  void OnDocumentEnd(MQDocument document) override;

 private:
  std::unique_ptr<PavlexWindow> window_;
  PluginState state_;
};

}  // namespace pavlex
