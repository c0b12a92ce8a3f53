// The life of the demo behind its window, and the window's procedure.
#pragma once

#include <windows.h>

#include <cstdint>

// 1 once the window is destroyed or the last scene has ended.
extern int32_t quitRequested;

// The client area the window and the device are made for.
constexpr int CLIENT_WIDTH = 800;
constexpr int CLIENT_HEIGHT = 600;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the device, loads everything behind the loading screen, plays the
// sequence to its end (or until the window closes) and tears everything down.
void runDemo(HWND window);
