#include "app/DemoMain.h"
#include "app/Window.h"
#include "gfx/WindowPlacement.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previousInstance*/, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
    Window window;
    quitRequested = 0;

    WindowPlacement placement = centredWindowPlacement(CLIENT_WIDTH, CLIENT_HEIGHT);
    window.create(placement.x, placement.y, placement.outerWidth, placement.outerHeight, instance,
                  "DX_GAME", windowProc);
    // Even without a window: the device creation then fails with its message.
    runDemo(window.getHandle());
    return 0;
}
