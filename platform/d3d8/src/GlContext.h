// The one OpenGL 3.3 core context of the process. It is created on a hidden window of its
// own, so it exists before the program's window is known and survives device resets.
#pragma once

#include <SDL.h>

class GlContext {
public:
    // The shared context, created on first use; null when no 3.3 core context can be had.
    static GlContext* get();

    // Makes the context current on window (the hidden window when window is null).
    bool makeCurrent(SDL_Window* window);
    // Makes sure the context is current somewhere (on its own window if it was dropped, as
    // SDL does when the window it was current on is destroyed): resources may be released
    // after the program's window is gone.
    static void ensureCurrent();
    const char* renderer() const { return rendererName; }
    // A second context on window sharing the current context's objects, for another thread
    // or another use of the same pictures; the current context and window stay current. Null,
    // with a warning naming the purpose, when none can be had.
    static SDL_GLContext createShared(SDL_Window* window, const char* purpose);

private:
    GlContext() = default;
    bool create();

    SDL_Window* hidden = nullptr;
    SDL_Window* current = nullptr;
    SDL_GLContext context = nullptr;
    const char* rendererName = "";
};
