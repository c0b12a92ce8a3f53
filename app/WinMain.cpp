#include "DemoMain.h"
#include "Window.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previousInstance*/, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
    Window window;
    quitRequested = 0;

    int frameX = GetSystemMetrics(SM_CXDLGFRAME);
    int frameY = GetSystemMetrics(SM_CYDLGFRAME);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int outerWidth = CLIENT_WIDTH + 2 * frameX;
    int outerHeight = CLIENT_HEIGHT + 2 * frameY + caption;
    // Not clamped: a screen smaller than the window gives a negative position.
    int x = (screenWidth - outerWidth) / 2;
    int y = (screenHeight - outerHeight) / 2;

    window.create(x, y, outerWidth, outerHeight, instance, "DX_GAME", windowProc);
    // Even without a window: the device creation then fails with its message.
    runDemo(window.getHandle());
    return 0;
}
