// Fuzzes the MTL reader: any input is accepted or refused with a one-line
// message, never a crash; accepted materials apply to a host material.
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "host/obj/mtl_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<pavlex::host::obj::MtlMaterial> materials;
  std::vector<std::string> warnings;
  std::string error;
  if (!pavlex::host::obj::ReadMtlText(text, "fuzz.mtl", &materials, &warnings, &error)) {
    if (error.empty() || error.find('\n') != std::string::npos) std::abort();
    return 0;
  }
  for (const auto& material : materials) {
    pavlex::host::HostMaterial target;
    pavlex::host::obj::ApplyMtlMaterial(material, &target);
  }
  return 0;
}
