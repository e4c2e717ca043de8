#include "host/session/modal_driver.h"

#include "hostapi/mq_codes.h"

namespace pavlex::host {

void ModalDriver::runModal(HostSession&, int32_t) {}

int32_t ModalDriver::messageBox(HostSession&, const MessageBoxRequest& box) {
  if (box.type.find("cancel") != std::string::npos) return MQMODALRESULT_CANCEL;
  if (box.type.find("no") != std::string::npos) return MQMODALRESULT_NO;
  return MQMODALRESULT_OK;
}

bool ModalDriver::saveFile(HostSession&, SaveFileRequest&) {
  return false;
}

}  // namespace pavlex::host
