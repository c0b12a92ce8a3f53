// A window for the tests: its class registered on first use.
#pragma once

#include <windows.h>

HWND makeTestWindow(const char* className, WNDPROC procedure = DefWindowProcA, int width = 800,
                    int height = 600);
