#include "plugin/widgets/dialog.h"

#include "hostapi/mq_codes.h"
#include "plugin/widgets/widget_request.h"

namespace pavlex {

MQDialog::MQDialog(const MQWindowBase& parent) {
  AdoptCreatedWidget(CreateHostWidget("dialog"));
  AttachToParentWindow(parent, GetID());
}

int32_t MQDialog::Execute() {
  int32_t result = 0;
  OptionListBuilder options;
  options.add("type", "modal").add("result", &result);
  WidgetRequest(GetID(), MQWIDGET_EXECUTE, options);
  return result;
}

}  // namespace pavlex
