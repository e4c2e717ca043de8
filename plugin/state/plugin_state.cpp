#include "plugin/state/plugin_state.h"

#include "hostapi/mq_codes.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/hostlink/plugin_identity.h"

namespace pavlex {

void SwitchOff(PluginState& state) {
  if (!state.activated) return;
  state.activated = false;
  if (Host().MQ_SendMessage == nullptr) return;
  MQOptionPair noOptions[1] = {{nullptr, nullptr}};
  MQSendMessageInfo info = {kPlugInProduct, kPlugInId, 0, noOptions};
  Host().MQ_SendMessage(MQMESSAGE_SWITCHED_OFF, &info);
}

}  // namespace pavlex
