// Loading a shared module by file name and finding its exported functions.
// One implementation per platform sits beside this interface.
#pragma once

#include <string>

namespace pavlex::platform {

// An opaque reference to a loaded module; null means "not loaded".
using ModuleHandle = void*;

// Loads the module at `path` (a narrow, system-encoded file name). Answers
// null when it cannot be loaded. Every non-null answer takes one reference
// that must be given back with ReleaseModule.
ModuleHandle LoadModule(const char* path);

// The module at `path` if it is already loaded, with one reference taken
// (give it back with ReleaseModule); null when it is not loaded. Never loads
// it. Lets a caller bind to a module its host loaded, and lets tests see
// whether a module really went away.
ModuleHandle FindLoadedModule(const char* path);

// The address of the exported symbol `name`, or null when the module does
// not export it. A null module answers null.
void* FindSymbol(ModuleHandle module, const char* name);

// Gives back one reference taken by LoadModule; null is ignored.
void ReleaseModule(ModuleHandle module);

// The file name of the loaded module whose code or data holds `address`;
// empty when no module does. A host passes its own module's name to the
// plug-ins it loads, so they can resolve its functions.
std::string ModulePathContaining(const void* address);

// The text of the last loading failure on this thread, for diagnostics;
// never null.
const char* LastModuleError();

}  // namespace pavlex::platform
