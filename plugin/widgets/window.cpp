#include "plugin/widgets/window.h"

#include "plugin/widgets/widget_request.h"

namespace pavlex {

MQWindow::MQWindow(const MQWindowBase& parent) {
  AdoptCreatedWidget(CreateHostWidget("window"));
  AttachToParentWindow(parent, GetID());
}

std::unique_ptr<MQWindow> MQWindow::Wrap(int32_t hostWindowId) {
  std::unique_ptr<MQWindow> window(new MQWindow());
  window->WrapHostWidget(hostWindowId);
  return window;
}

}  // namespace pavlex
