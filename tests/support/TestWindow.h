// A window for the tests: its class registered on first use. Devices draw into
// the client area, so tests that need it the full size ask for a WS_POPUP window.
#pragma once

#include <windows.h>

HWND makeTestWindow(const char* className, WNDPROC procedure = DefWindowProcA, int width = 800,
                    int height = 600, DWORD style = WS_CAPTION | WS_SYSMENU);
