// What the other stand-ins need from the window layer: the SDL window behind a
// handle. SDL is initialised on first use by whichever stand-in needs it first.
#pragma once

#include <windef.h>

struct SDL_Window;

// The SDL window created for hwnd by CreateWindowExA (created with SDL_WINDOW_OPENGL),
// or null when hwnd is not a live window.
SDL_Window* sdlWindowFromHwnd(HWND hwnd);

// Initialises SDL's video subsystem once per process; false when no video driver works.
bool sdlVideoInit();

// Desktop full screen (no mode switch) or back to the window, for the device's
// Reset. A run that asked for a window (PlatformOptions::windowed) keeps it.
// Returns true when the window is full screen afterwards.
bool sdlSetWindowFullscreen(HWND hwnd, bool fullscreen);
// The same for the SDL window of a live window, whatever the run asked for: full screen
// covers the display (also where no window manager acts on the request), and leaving it
// gives the window back its place, size and border.
bool sdlSetFullscreen(SDL_Window* sdl, bool fullscreen);

// Notes for users of the SDL window:
// - The message queue (PeekMessageA, GetMessageA) is the only consumer of SDL
//   events; query window state (sizes, flags) directly instead of from events.
// - DestroyWindow hides the SDL window and sdlWindowFromHwnd answers null from
//   then on, but the SDL window itself stays allocated until SDL_Quit, so a
//   context made on it can still be torn down cleanly.
