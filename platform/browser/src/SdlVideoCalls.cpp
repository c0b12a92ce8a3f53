// SDL's video, event, GL and thread calls as the platform layer makes them, on the page:
// every window is shown on the one canvas, the display is the page, the GL context is the
// canvas's WebGL 2 context, and there are no threads.
#include <SDL.h>
#include <emscripten.h>
#include <emscripten/html5_webgl.h>

#include <memory>
#include <string>
#include <vector>

#include "BrowserCanvas.h"

// clang-format off
EM_JS(void, browserShowCursor, (int shown), {
    var canvas = document.getElementById('canvas');
    if (canvas) {
        canvas.style.cursor = shown ? '' : 'none';
    }
});
// clang-format on

namespace {

std::string lastError;
int cursorShown = SDL_ENABLE;
uint32_t initialised = 0;
std::vector<std::unique_ptr<SDL_Window>> windows;
uint32_t nextWindowId = 1;
SDL_Window* currentWindow = nullptr;
intptr_t currentContext = 0;
int swapInterval = 1;

int fail(const std::string& message) {
    lastError = message;
    return -1;
}

SDL_DisplayMode pageMode() {
    SDL_DisplayMode mode{};
    BrowserCanvas::instance().displaySize(mode.w, mode.h);
    mode.format = SDL_PIXELFORMAT_RGB888;
    mode.refresh_rate = 60;
    return mode;
}

} // namespace

extern "C" {

const char* SDL_GetError(void) {
    return lastError.c_str();
}

SDL_bool SDL_SetHint(const char*, const char*) {
    return SDL_TRUE;
}

int SDL_InitSubSystem(Uint32 flags) {
    if (flags & SDL_INIT_AUDIO) {
        return fail("the browser build plays sound through OpenAL, not SDL");
    }
    initialised |= flags;
    if (flags & SDL_INIT_VIDEO) {
        BrowserCanvas::instance(); // starts listening to the page's keys
    }
    return 0;
}

void SDL_QuitSubSystem(Uint32 flags) {
    initialised &= ~flags;
}

Uint32 SDL_WasInit(Uint32 flags) {
    return initialised & (flags != 0 ? flags : ~0u);
}

void SDL_Quit(void) {
    initialised = 0;
}

const char* SDL_GetCurrentVideoDriver(void) {
    return (initialised & SDL_INIT_VIDEO) ? "browser" : nullptr;
}

int SDL_GetNumVideoDisplays(void) {
    return 1;
}

int SDL_GetDisplayBounds(int displayIndex, SDL_Rect* rect) {
    if (displayIndex != 0 || rect == nullptr) {
        return fail("no such display");
    }
    const SDL_DisplayMode mode = pageMode();
    *rect = SDL_Rect{0, 0, mode.w, mode.h};
    return 0;
}

int SDL_GetNumDisplayModes(int displayIndex) {
    return displayIndex == 0 ? 1 : fail("no such display");
}

int SDL_GetDisplayMode(int displayIndex, int modeIndex, SDL_DisplayMode* mode) {
    if (displayIndex != 0 || modeIndex != 0 || mode == nullptr) {
        return fail("no such display mode");
    }
    *mode = pageMode();
    return 0;
}

int SDL_GetDesktopDisplayMode(int displayIndex, SDL_DisplayMode* mode) {
    return SDL_GetDisplayMode(displayIndex, 0, mode);
}

SDL_Window* SDL_CreateWindow(const char*, int x, int y, int w, int h, Uint32 flags) {
    auto window = std::make_unique<SDL_Window>();
    window->id = nextWindowId++;
    window->x = x;
    window->y = y;
    window->width = w;
    window->height = h;
    window->flags = flags;
    windows.push_back(std::move(window));
    return windows.back().get();
}

void SDL_DestroyWindow(SDL_Window* window) {
    std::erase_if(windows, [window](const auto& w) { return w.get() == window; });
    if (currentWindow == window) {
        currentWindow = nullptr;
    }
}

SDL_Window* SDL_GetWindowFromID(Uint32 id) {
    for (const auto& window : windows) {
        if (window->id == id) {
            return window.get();
        }
    }
    return nullptr;
}

Uint32 SDL_GetWindowFlags(SDL_Window* window) {
    return window != nullptr ? window->flags : 0;
}

int SDL_GetWindowDisplayIndex(SDL_Window* window) {
    return window != nullptr ? 0 : fail("no such window");
}

void SDL_ShowWindow(SDL_Window* window) {
    window->flags = (window->flags & ~SDL_WINDOW_HIDDEN) | SDL_WINDOW_SHOWN;
}

void SDL_HideWindow(SDL_Window* window) {
    window->flags = (window->flags & ~SDL_WINDOW_SHOWN) | SDL_WINDOW_HIDDEN;
}

void SDL_MinimizeWindow(SDL_Window* window) {
    window->flags = (window->flags & ~SDL_WINDOW_MAXIMIZED) | SDL_WINDOW_MINIMIZED;
}

void SDL_MaximizeWindow(SDL_Window* window) {
    window->flags = (window->flags & ~SDL_WINDOW_MINIMIZED) | SDL_WINDOW_MAXIMIZED;
}

void SDL_RestoreWindow(SDL_Window* window) {
    window->flags &= ~(SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED);
}

void SDL_SetWindowBordered(SDL_Window* window, SDL_bool bordered) {
    window->flags = bordered ? (window->flags & ~SDL_WINDOW_BORDERLESS)
                             : (window->flags | SDL_WINDOW_BORDERLESS);
}

void SDL_SetWindowPosition(SDL_Window* window, int x, int y) {
    const SDL_DisplayMode mode = pageMode();
    window->x = SDL_WINDOWPOS_ISCENTERED(x) ? (mode.w - window->width) / 2 : x;
    window->y = SDL_WINDOWPOS_ISCENTERED(y) ? (mode.h - window->height) / 2 : y;
}

void SDL_GetWindowPosition(SDL_Window* window, int* x, int* y) {
    if (x != nullptr) {
        *x = window->x;
    }
    if (y != nullptr) {
        *y = window->y;
    }
}

void SDL_SetWindowSize(SDL_Window* window, int w, int h) {
    window->width = w;
    window->height = h;
}

void SDL_GetWindowSize(SDL_Window* window, int* w, int* h) {
    if (w != nullptr) {
        *w = window->width;
    }
    if (h != nullptr) {
        *h = window->height;
    }
}

// The page is the program's screen: full screen or not, the picture fills the canvas, scaled
// with its aspect kept. Leaving the page for the whole screen is the user's to ask for.
int SDL_SetWindowFullscreen(SDL_Window* window, Uint32 flags) {
    window->flags =
        (window->flags & ~SDL_WINDOW_FULLSCREEN_DESKTOP) | (flags & SDL_WINDOW_FULLSCREEN_DESKTOP);
    return 0;
}

// Over the picture, as over the desktop's window.
int SDL_ShowCursor(int toggle) {
    if (toggle == SDL_ENABLE || toggle == SDL_DISABLE) {
        cursorShown = toggle;
        browserShowCursor(toggle == SDL_ENABLE);
    }
    return cursorShown;
}

int SDL_PollEvent(SDL_Event* event) {
    BrowserCanvas& canvas = BrowserCanvas::instance();
    // The program looks at its messages once a tick: the browser shows the frame drawn and
    // hands over what the user did meanwhile.
    canvas.yieldForFrame();
    SDL_Event next;
    if (!canvas.nextEvent(next)) {
        return 0;
    }
    if (event != nullptr) {
        *event = next;
    }
    return 1;
}

int SDL_WaitEventTimeout(SDL_Event* event, int timeout) {
    if (SDL_PollEvent(event)) {
        return 1;
    }
    BrowserCanvas::yieldFor(static_cast<uint32_t>(timeout > 0 ? timeout : 0));
    return SDL_PollEvent(event);
}

int SDL_GL_SetAttribute(SDL_GLattr, int) {
    return 0;
}

SDL_GLContext SDL_GL_CreateContext(SDL_Window* window) {
    if (currentContext != 0) {
        // One context per canvas, and WebGL contexts share nothing with each other.
        fail("the canvas has its one WebGL 2 context already");
        return nullptr;
    }
    std::string error;
    const intptr_t context = BrowserCanvas::instance().context(error);
    if (context == 0) {
        fail(error);
        return nullptr;
    }
    emscripten_webgl_make_context_current(context);
    currentContext = context;
    currentWindow = window;
    return reinterpret_cast<SDL_GLContext>(context);
}

void SDL_GL_DeleteContext(SDL_GLContext context) {
    const auto handle = reinterpret_cast<intptr_t>(context);
    if (handle != 0 && handle == currentContext) {
        emscripten_webgl_destroy_context(handle);
        currentContext = 0;
        currentWindow = nullptr;
    }
}

int SDL_GL_MakeCurrent(SDL_Window* window, SDL_GLContext context) {
    const auto handle = reinterpret_cast<intptr_t>(context);
    if (handle != 0 && emscripten_webgl_make_context_current(handle) != EMSCRIPTEN_RESULT_SUCCESS) {
        return fail("cannot make the WebGL 2 context current");
    }
    currentWindow = window;
    return 0;
}

SDL_GLContext SDL_GL_GetCurrentContext(void) {
    return reinterpret_cast<SDL_GLContext>(emscripten_webgl_get_current_context());
}

SDL_Window* SDL_GL_GetCurrentWindow(void) {
    return currentWindow;
}

void SDL_GL_GetDrawableSize(SDL_Window*, int* w, int* h) {
    int width = 0, height = 0;
    BrowserCanvas::instance().drawableSize(width, height);
    if (w != nullptr) {
        *w = width;
    }
    if (h != nullptr) {
        *h = height;
    }
}

void SDL_GL_SwapWindow(SDL_Window*) {
    BrowserCanvas::instance().frameSwapped();
}

// The browser shows frames at its own pace, never faster than the display.
int SDL_GL_SetSwapInterval(int interval) {
    swapInterval = interval;
    return 0;
}

int SDL_GL_GetSwapInterval(void) {
    return swapInterval;
}

SDL_Thread* SDL_CreateThread(SDL_ThreadFunction, const char*, void*) {
    fail("the browser build runs on one thread");
    return nullptr;
}

void SDL_WaitThread(SDL_Thread*, int* status) {
    if (status != nullptr) {
        *status = 0;
    }
}

void SDL_Delay(Uint32 ms) {
    BrowserCanvas::yieldFor(ms);
}

} // extern "C"
