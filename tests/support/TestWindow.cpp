#include "TestWindow.h"

HWND makeTestWindow(const char* className, WNDPROC procedure, int width, int height, DWORD style) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass); // fails harmlessly when already registered
    return CreateWindowExA(0, className, "", style, 0, 0, width, height, nullptr, nullptr, nullptr,
                           nullptr);
}
