// Dynamic libraries, answered from the table of modules this program carries.
#include <cstdint>

#include "ModuleTable.h"
#include <winbase.h>

namespace {
// The program's own module, at the classic image base.
const HMODULE PROCESS_MODULE = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000));
} // namespace

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
    if (!fileName || !fileName[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HMODULE module = ModuleTable::find(fileName);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ModuleTable::addReference(module);
    return module;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (!moduleName) {
        return PROCESS_MODULE;
    }
    HMODULE module = ModuleTable::find(moduleName);
    if (!module || ModuleTable::references(module) == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return module;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    if (module != PROCESS_MODULE && !ModuleTable::isHandle(module)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // Ordinals (values below 0x10000 in place of a name) are not carried.
    if (reinterpret_cast<uintptr_t>(procName) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    FARPROC proc = ModuleTable::lookup(module, procName);
    if (!proc) {
        SetLastError(ERROR_PROC_NOT_FOUND);
    }
    return proc;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    if (ModuleTable::dropReference(module) < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
