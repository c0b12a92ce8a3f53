#include "app/Window.h"

Window::Window() : width(0), height(0), instance(nullptr), handle(nullptr) {}

Window::~Window() {}

HWND Window::create(int x, int y, int width, int height, HINSTANCE instance, const char* className,
                    WNDPROC procedure) {
    WNDCLASSEXA windowClass;
    windowClass.cbSize = 48;
    windowClass.style = 0;
    windowClass.lpfnWndProc = procedure;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = nullptr;
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    windowClass.hIconSm = nullptr;
    if (!RegisterClassExA(&windowClass)) {
        return nullptr;
    }

    HWND created = CreateWindowExA(0, className, "", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, y,
                                   width, height, nullptr, nullptr, instance, nullptr);
    if (created == nullptr) {
        return nullptr;
    }
    handle = created;
    this->instance = instance;
    this->width = width;
    this->height = height;
    ShowWindow(handle, SW_SHOW);
    UpdateWindow(handle);
    return handle;
}

int Window::pumpMessages() {
    if (handle == nullptr) {
        return 1;
    }
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&msg, nullptr, 0, 0)) {
                return 0;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

HWND Window::getHandle() {
    return handle;
}
