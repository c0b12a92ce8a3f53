#include "TestWindow.h"

HWND makeTestWindow(const char* className, WNDPROC procedure, int width, int height) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass); // fails harmlessly when already registered
    return CreateWindowExA(0, className, "", WS_CAPTION | WS_SYSMENU, 0, 0, width, height, nullptr,
                           nullptr, nullptr, nullptr);
}
