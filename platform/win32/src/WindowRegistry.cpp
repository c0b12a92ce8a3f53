#include "WindowRegistry.h"

#include <strings.h>

WindowRegistry& WindowRegistry::instance() {
    static WindowRegistry registry;
    return registry;
}

ATOM WindowRegistry::addClass(const WindowClassRecord& record) {
    WindowClassRecord copy = record;
    copy.atom = nextAtom++;
    classes.push_back(copy);
    return copy.atom;
}

const WindowClassRecord* WindowRegistry::findClass(const char* name) const {
    for (const auto& c : classes) {
        if (name && strcasecmp(c.name.c_str(), name) == 0) {
            return &c;
        }
    }
    return nullptr;
}

bool WindowRegistry::removeClass(const char* name) {
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        if (name && strcasecmp(it->name.c_str(), name) == 0) {
            classes.erase(it);
            return true;
        }
    }
    return false;
}

bool WindowRegistry::classInUse(const char* name) const {
    for (const auto& w : windows) {
        if (strcasecmp(w->className.c_str(), name) == 0) {
            return true;
        }
    }
    return false;
}

HWND WindowRegistry::addWindow(std::unique_ptr<WindowRecord> record) {
    // Handles are never reused, so a stale handle never names a new window.
    record->handle = reinterpret_cast<HWND>(nextHandle);
    nextHandle += 4;
    HWND handle = record->handle;
    windows.push_back(std::move(record));
    return handle;
}

WindowRecord* WindowRegistry::find(HWND handle) const {
    if (!handle) {
        return nullptr;
    }
    for (const auto& w : windows) {
        if (w->handle == handle) {
            return w.get();
        }
    }
    return nullptr;
}

WindowRecord* WindowRegistry::findBySdl(const SDL_Window* sdl) const {
    for (const auto& w : windows) {
        if (sdl && w->sdl == sdl) {
            return w.get();
        }
    }
    return nullptr;
}

void WindowRegistry::removeWindow(HWND handle) {
    for (auto it = windows.begin(); it != windows.end(); ++it) {
        if ((*it)->handle == handle) {
            windows.erase(it);
            return;
        }
    }
}

std::vector<HWND> WindowRegistry::handles() const {
    std::vector<HWND> result;
    for (const auto& w : windows) {
        result.push_back(w->handle);
    }
    return result;
}
