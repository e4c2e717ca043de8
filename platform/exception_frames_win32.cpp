#include <windows.h>

#include <cstdint>

#include "platform/exception_frames.h"

#if defined(__i386__) && defined(__GNUC__) && !defined(__SEH__) && !defined(__USING_SJLJ_EXCEPTIONS__)

extern "C" {
// The statically linked unwinder's registry (libgcc's unwind-dw2-fde).
void __register_frame_info(const void* begin, void* object);
void* __deregister_frame_info(const void* begin);
}

namespace pavlex::platform {

namespace {

// The shared runtime DLL the start-up code looks for.
constexpr char kSharedRuntime[] = "libgcc_s_dw2-1.dll";

// An empty marker inside this module's .eh_frame section; the section that
// holds it is the one to register. An empty one adds no bytes, so it cannot
// end the frame list early the way a zero length word would.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
__attribute__((used, section(".eh_frame"), aligned(4))) const char kFramesMarker[0] = {};
#pragma GCC diagnostic pop

// The start of the section holding the marker, from the module's own PE
// headers; null if none does.
const void* FramesSectionStart() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          kFramesMarker, &module)) {
    return nullptr;
  }
  const auto* base = reinterpret_cast<const unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  const auto marker = reinterpret_cast<uintptr_t>(kFramesMarker) - reinterpret_cast<uintptr_t>(base);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    const uintptr_t start = section->VirtualAddress;
    if (marker >= start && marker < start + section->Misc.VirtualSize) return base + start;
  }
  return nullptr;
}

struct OwnRegistration {
  const void* begin = nullptr;
  // Room for libgcc's private bookkeeping record (seven pointers in GCC 12).
  alignas(void*) unsigned char record[16 * sizeof(void*)] = {};

  OwnRegistration() {
    // Without the DLL the start-up code registered with our own unwinder.
    if (GetModuleHandleA(kSharedRuntime) == nullptr) return;
    begin = FramesSectionStart();
    if (begin != nullptr) __register_frame_info(begin, record);
  }
  ~OwnRegistration() {
    if (begin != nullptr) __deregister_frame_info(begin);
  }
  OwnRegistration(const OwnRegistration&) = delete;
  OwnRegistration& operator=(const OwnRegistration&) = delete;
};

}  // namespace

void KeepOwnExceptionFrames() {
  // Destroyed when the module unloads, before its tables go away.
  static OwnRegistration registration;
}

}  // namespace pavlex::platform

#else

namespace pavlex::platform {

// Table-based unwinding (64-bit Windows) finds every module's frames
// through the system.
void KeepOwnExceptionFrames() {}

}  // namespace pavlex::platform

#endif
