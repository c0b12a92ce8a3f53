// SDL's video subsystem and the SDL window behind a handle.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "PlatformOptions.h"
#include "SdlBridge.h"
#include "WindowRegistry.h"

// Every SDL window gets the surface configuration of the one OpenGL context
// the Direct3D stand-in makes current on it (3.3 core, no depth or stencil of
// its own); EGL refuses to make a context current on a surface of another
// configuration, so this must hold before the first window is created.
static void setContextAttributes() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

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
        setContextAttributes();
        state = 1;
        return true;
    }
    // A display that cannot be reached still leaves the off-screen driver.
    SDL_LogWarn(SDL_LOG_CATEGORY_VIDEO, "letterbox: no display (%s); rendering off screen",
                SDL_GetError());
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        setContextAttributes();
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

bool sdlSetFullscreen(SDL_Window* sdl, bool fullscreen) {
    WindowRecord* record = WindowRegistry::instance().findBySdl(sdl);
    if (sdl == nullptr || record == nullptr) {
        return false;
    }
    if (fullscreen) {
        // A window manager acts on the full-screen request; without one nobody does and the
        // window would keep its size and place. So the window covers the display by itself
        // first: borderless, at the display's corner, the display's size.
        const int display = SDL_GetWindowDisplayIndex(sdl);
        SDL_Rect bounds{};
        if (!record->fillsDisplay &&
            SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) == 0) {
            SDL_GetWindowPosition(sdl, &record->windowedRect.x, &record->windowedRect.y);
            SDL_GetWindowSize(sdl, &record->windowedRect.w, &record->windowedRect.h);
            record->windowedBordered = (SDL_GetWindowFlags(sdl) & SDL_WINDOW_BORDERLESS) == 0;
            record->fillsDisplay = true;
            SDL_SetWindowBordered(sdl, SDL_FALSE);
            SDL_SetWindowPosition(sdl, bounds.x, bounds.y);
            SDL_SetWindowSize(sdl, bounds.w, bounds.h);
        }
        SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(sdl, 0);
        if (record->fillsDisplay) {
            record->fillsDisplay = false;
            const SDL_Rect& r = record->windowedRect;
            SDL_SetWindowBordered(sdl, record->windowedBordered ? SDL_TRUE : SDL_FALSE);
            SDL_SetWindowSize(sdl, r.w, r.h);
            SDL_SetWindowPosition(sdl, r.x, r.y);
        }
    }
    return (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN) != 0;
}

bool sdlSetWindowFullscreen(HWND hwnd, bool fullscreen) {
    SDL_Window* sdl = sdlWindowFromHwnd(hwnd);
    if (!sdl) {
        return false;
    }
    return sdlSetFullscreen(sdl, fullscreen && !PlatformOptions::get().windowed);
}
