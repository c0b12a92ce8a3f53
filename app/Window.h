// The program's one top-level window: registers its class and creates it.
#pragma once

#include <windows.h>

#include <cstdint>

class Window {
public:
    Window();

    virtual HWND create(int x, int y, int width, int height, HINSTANCE instance,
                        const char* className, WNDPROC procedure);
    virtual int pumpMessages();
    virtual HWND getHandle();
    // The window itself outlives this object: it goes away with the process.
    virtual ~Window();

    int32_t width;
    int32_t height;
    HINSTANCE instance;
    HWND handle;
};
