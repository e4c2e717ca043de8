#include "plugin/widgets/message_box.h"

#include "hostapi/mq_codes.h"
#include "plugin/widgets/widget_request.h"

namespace pavlex {

namespace {

int32_t RunMessageBox(const MQWidgetBase& parent, const char* buttons, const std::u16string& message,
                      const std::u16string& title) {
  int32_t parentId = parent.GetID();
  int32_t result = 0;
  OptionListBuilder options;
  options.add("type", "messagebox")
      .add("messagetype", buttons)
      .add("parent", &parentId)
      .add("message", message.c_str())
      .add("title", title.c_str())
      .add("result", &result);
  WidgetRequest(0, MQWIDGET_EXECUTE, options);
  return result;
}

}  // namespace

bool ConfirmOkCancel(const MQWidgetBase& parent, const std::u16string& message, const std::u16string& title) {
  return RunMessageBox(parent, "okcancel", message, title) == MQMODALRESULT_OK;
}

void ShowMessageOk(const MQWidgetBase& parent, const std::u16string& message, const std::u16string& title) {
  RunMessageBox(parent, "ok", message, title);
}

}  // namespace pavlex
