// A top-level window of the host's widget service.
#pragma once

#include "plugin/widgets/window_base.h"

namespace pavlex {

class MQWindow : public MQWindowBase {
 public:
  // Creates a host window and attaches it to `parent`.
  explicit MQWindow(const MQWindowBase& parent);
  ~MQWindow() override = default;

  // A handle on a window the host owns (its main window): never deleted.
  static std::unique_ptr<MQWindow> Wrap(int32_t hostWindowId);

 private:
  MQWindow() = default;
};

}  // namespace pavlex
