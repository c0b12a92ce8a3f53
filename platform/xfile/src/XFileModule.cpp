#include "XFileModule.h"

#include "ModuleTable.h"
#include <dxfile.h>

void registerXFileModule() {
    // Entries are stored untyped, as GetProcAddress hands them out; the detour
    // through void* keeps the compiler from objecting to the function cast.
    ModuleTable::add("d3dxof.dll", "DirectXFileCreate",
                     reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&DirectXFileCreate)));
}

namespace {

// Registered at start-up as well, for programs that look the library up
// without calling registerXFileModule first.
const bool REGISTERED = (registerXFileModule(), true);

} // namespace
