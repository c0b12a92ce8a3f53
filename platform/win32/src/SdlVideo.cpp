// SDL's video subsystem and the SDL window behind a handle.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "PlatformOptions.h"
#include "SdlBridge.h"
#include "WindowRegistry.h"

bool sdlVideoInit() {
    static int state = 0; // 0 not tried, 1 working, -1 failed
    if (state != 0) {
        return state > 0;
    }
    // Closing the last window is a WM_CLOSE for the program to answer, not a
    // quit of its own; SDL_QUIT then only comes from signals.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    PlatformOptions& options = PlatformOptions::get();
    if (options.headless && !std::getenv("SDL_VIDEODRIVER")) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        state = 1;
        return true;
    }
    // A display that cannot be reached still leaves the off-screen driver.
    std::fprintf(stderr, "letterbox: no display (%s); rendering off screen\n", SDL_GetError());
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        options.headless = true;
        state = 1;
        return true;
    }
    state = -1;
    return false;
}

SDL_Window* sdlWindowFromHwnd(HWND hwnd) {
    WindowRecord* window = WindowRegistry::instance().find(hwnd);
    if (!window || window->destroying) {
        return nullptr;
    }
    return window->sdl;
}

bool sdlSetWindowFullscreen(HWND hwnd, bool fullscreen) {
    SDL_Window* sdl = sdlWindowFromHwnd(hwnd);
    if (!sdl) {
        return false;
    }
    const bool wanted = fullscreen && !PlatformOptions::get().windowed;
    const Uint32 flags = wanted ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
    SDL_SetWindowFullscreen(sdl, flags);
    return (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN) != 0;
}
