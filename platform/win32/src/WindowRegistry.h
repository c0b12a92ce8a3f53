// The window classes and the live windows of the process, by handle.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <winuser.h>

#include <SDL_rect.h>

struct SDL_Window;

struct WindowClassRecord {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    ATOM atom = 0;
};

struct WindowRecord {
    HWND handle = nullptr;
    std::string className;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HINSTANCE instance = nullptr;
    RECT outer{};
    SDL_Window* sdl = nullptr;
    bool visible = false;
    bool destroying = false;
    // Full screen covers the display with the window itself; the windowed place, size
    // and border come back when it ends.
    bool fillsDisplay = false;
    SDL_Rect windowedRect{};
    bool windowedBordered = true;
};

class WindowRegistry {
public:
    static WindowRegistry& instance();

    // Class names compare without regard to ASCII case.
    ATOM addClass(const WindowClassRecord& record);
    const WindowClassRecord* findClass(const char* name) const;
    bool removeClass(const char* name);
    bool classInUse(const char* name) const;

    HWND addWindow(std::unique_ptr<WindowRecord> record);
    WindowRecord* find(HWND handle) const;
    WindowRecord* findBySdl(const SDL_Window* sdl) const;
    void removeWindow(HWND handle);
    std::vector<HWND> handles() const;

private:
    std::vector<WindowClassRecord> classes;
    std::vector<std::unique_ptr<WindowRecord>> windows;
    uintptr_t nextHandle = 0x10010;
    ATOM nextAtom = 0xC000;
};
