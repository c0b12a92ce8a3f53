#include "ModuleTable.h"

#include <map>
#include <strings.h>
#include <vector>

namespace {
struct Module {
    std::string name;
    std::map<std::string, FARPROC> symbols;
    int references = 0;
};

// Module handles are spaced like image bases, away from the process's own.
constexpr uintptr_t FIRST_MODULE_BASE = 0x10000000;
constexpr uintptr_t MODULE_SPACING = 0x10000;

std::vector<Module>& modules() {
    // Built on first use, so registrations from static initialisers are safe.
    static std::vector<Module> table;
    return table;
}

// "C:\x\D3DXOF.DLL", "d3dxof" and "d3dxof.dll" all name d3dxof.dll.
std::string canonicalName(const char* name) {
    std::string text = name ? name : "";
    const size_t slash = text.find_last_of("\\/");
    if (slash != std::string::npos) {
        text = text.substr(slash + 1);
    }
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (!text.empty() && text.find('.') == std::string::npos) {
        text += ".dll";
    }
    return text;
}

Module* moduleOf(HMODULE handle) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value < FIRST_MODULE_BASE || (value - FIRST_MODULE_BASE) % MODULE_SPACING != 0) {
        return nullptr;
    }
    const size_t index = (value - FIRST_MODULE_BASE) / MODULE_SPACING;
    return index < modules().size() ? &modules()[index] : nullptr;
}

HMODULE handleOf(size_t index) {
    return reinterpret_cast<HMODULE>(FIRST_MODULE_BASE + index * MODULE_SPACING);
}
} // namespace

void ModuleTable::add(const char* module, const char* symbol, FARPROC proc) {
    const std::string name = canonicalName(module);
    if (name.empty() || !symbol) {
        return;
    }
    auto& table = modules();
    for (auto& m : table) {
        if (m.name == name) {
            m.symbols[symbol] = proc;
            return;
        }
    }
    table.push_back(Module{name, {{symbol, proc}}, 0});
}

HMODULE ModuleTable::find(const char* module) {
    const std::string name = canonicalName(module);
    auto& table = modules();
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].name == name) {
            return handleOf(i);
        }
    }
    return nullptr;
}

FARPROC ModuleTable::lookup(HMODULE module, const char* symbol) {
    Module* m = moduleOf(module);
    if (!m || !symbol) {
        return nullptr;
    }
    // Exported names are case-sensitive, as on Windows.
    auto it = m->symbols.find(symbol);
    return it == m->symbols.end() ? nullptr : it->second;
}

bool ModuleTable::isHandle(HMODULE module) {
    return moduleOf(module) != nullptr;
}

int ModuleTable::addReference(HMODULE module) {
    Module* m = moduleOf(module);
    return m ? ++m->references : 0;
}

int ModuleTable::dropReference(HMODULE module) {
    Module* m = moduleOf(module);
    if (!m || m->references == 0) {
        return -1;
    }
    return --m->references;
}

int ModuleTable::references(HMODULE module) {
    Module* m = moduleOf(module);
    return m ? m->references : 0;
}
