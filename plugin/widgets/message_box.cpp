#include "plugin/widgets/message_box.h"

#include "hostapi/mq_codes.h"
#include "plugin/widgets/widget_request.h"

namespace pavlex {

bool ConfirmOkCancel(const MQWidgetBase& parent, const std::u16string& message, const std::u16string& title) {
  int32_t parentId = parent.GetID();
  int32_t result = 0;
  OptionList options;
  options.Add("type", "messagebox")
      .Add("messagetype", "okcancel")
      .Add("parent", &parentId)
      .Add("message", message.c_str())
      .Add("title", title.c_str())
      .Add("result", &result);
  WidgetRequest(0, MQWIDGET_EXECUTE, options);
  return result == 1;
}

}  // namespace pavlex
