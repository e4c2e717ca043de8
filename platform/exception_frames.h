// Keeps exceptions thrown and caught inside this module working whatever
// else the process has loaded.
//
// With GCC's DWARF unwinder (32-bit Windows), a module that links the
// runtime statically unwinds with its own copy of the unwinder, which knows
// only the frames registered with it. At load, though, the module's start-up
// code registers its frames with the shared runtime DLL instead whenever
// that DLL is already in the process (another plug-in or the host may have
// brought it). The module's own throws then find no handler and end the
// process. Elsewhere this is a no-op.
#pragma once

namespace pavlex::platform {

// Registers this module's unwind tables with its own unwinder too, once;
// the registration ends when the module unloads. Call it from the module's
// static initialization, before anything can throw.
void KeepOwnExceptionFrames();

}  // namespace pavlex::platform
