#include "plugin/widgets/widget_request.h"

#include "hostapi/mq_codes.h"
#include "plugin/hostlink/host_functions.h"

namespace pavlex {

bool WidgetRequest(int32_t id, int32_t code, OptionListBuilder& options) {
  if (Host().MQWidget_Value == nullptr) return false;
  return Host().MQWidget_Value(id, code, options.list()) != 0;
}

int32_t GetSystemWidget(const char* name) {
  int32_t result = 0;
  OptionListBuilder options;
  options.add("system", name).add("result", &result);
  WidgetRequest(0, MQWIDGET_GET_SYSTEM, options);
  return result;
}

int32_t CreateHostWidget(const char* type, int32_t parentId) {
  int32_t id = 0;
  OptionListBuilder options;
  options.add("type", type).add("id", &id);
  if (parentId != 0) options.add("parent", &parentId);
  WidgetRequest(0, MQWIDGET_CREATE, options);
  return id;
}

void DeleteHostWidget(int32_t id) {
  if (id == 0) return;
  OptionListBuilder options;
  WidgetRequest(id, MQWIDGET_DELETE, options);
}

}  // namespace pavlex
