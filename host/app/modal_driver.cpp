#include "host/app/modal_driver.h"

namespace pavlex::host {

void ModalDriver::runModal(HostSession&, int32_t) {}

int32_t ModalDriver::messageBox(HostSession&, const MessageBoxRequest& box) {
  if (box.type.find("cancel") != std::string::npos) return 2;
  if (box.type.find("no") != std::string::npos) return 7;
  return 1;
}

bool ModalDriver::saveFile(HostSession&, SaveFileRequest&) {
  return false;
}

}  // namespace pavlex::host
