// What the other stand-ins need from the window layer: the SDL window behind a
// handle. SDL is initialised on first use by whichever stand-in needs it first.
#pragma once

#include "windef.h"

struct SDL_Window;

// The SDL window created for hwnd by CreateWindowExA (created with SDL_WINDOW_OPENGL),
// or null when hwnd is not a live window.
SDL_Window* sdlWindowFromHwnd(HWND hwnd);

// Initialises SDL's video subsystem once per process; false when no video driver works.
bool sdlVideoInit();
