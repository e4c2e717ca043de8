#include "host/document/host_material.h"

#include "host/document/host_document.h"

namespace pavlex::host {

HostMaterial::HostMaterial() : uniqueId(NextMaterialUniqueId()) {}

}  // namespace pavlex::host
