#include "gfx/WindowPlacement.h"

#include <windows.h>

WindowPlacement centredWindowPlacement(int width, int height) {
    int frameX = GetSystemMetrics(SM_CXDLGFRAME);
    int frameY = GetSystemMetrics(SM_CYDLGFRAME);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    WindowPlacement placement;
    placement.outerWidth = width + 2 * frameX;
    placement.outerHeight = height + 2 * frameY + caption;
    placement.x = (screenWidth - placement.outerWidth) / 2;
    placement.y = (screenHeight - placement.outerHeight) / 2;
    return placement;
}
