// The modules this program carries in place of dynamic libraries. A library of
// ours registers its entry points here (for example "d3dxof.dll" with
// "DirectXFileCreate"); LoadLibraryA, GetModuleHandleA and GetProcAddress then
// find them by name, without regard to ASCII case.
#pragma once

#include <string>

#include <windef.h>

class ModuleTable {
public:
    // Adds (or replaces) one exported symbol of a module; the module exists
    // from its first symbol on. Safe to call from static initialisers.
    static void add(const char* module, const char* symbol, FARPROC proc);

    // The handle of a registered module, loaded or not; null when unknown.
    static HMODULE find(const char* module);
    static FARPROC lookup(HMODULE module, const char* symbol);
    static bool isHandle(HMODULE module);

    // Reference counts as LoadLibraryA and FreeLibrary keep them.
    static int addReference(HMODULE module);
    static int dropReference(HMODULE module);
    static int references(HMODULE module);
};
