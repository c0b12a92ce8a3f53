#include "GlContext.h"

#include "GlCheck.h"
#include "PlatformOptions.h"
#include "SdlBridge.h"

#include <SDL_log.h>

#include <cstdlib>

GlContext* GlContext::get() {
    static GlContext* instance = [] {
        auto* context = new GlContext();
        if (!context->create()) {
            delete context;
            return static_cast<GlContext*>(nullptr);
        }
        return context;
    }();
    return instance;
}

bool GlContext::create() {
    // Mesa reads this when its driver loads: it must be set before the first context.
    if (PlatformOptions::get().software) {
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    }
    if (!sdlVideoInit()) {
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Every picture is drawn into framebuffer objects; the window only shows the result.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    hidden = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 16, 16,
                              SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (hidden == nullptr) {
        return false;
    }
    context = SDL_GL_CreateContext(hidden);
    if (context == nullptr) {
        SDL_DestroyWindow(hidden);
        hidden = nullptr;
        return false;
    }
    current = hidden;
    if (!glVersionSufficient()) {
        SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(hidden);
        context = nullptr;
        hidden = nullptr;
        return false;
    }
    const char* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    rendererName = name != nullptr ? name : "";
    glCheckErrors("context creation");
    return true;
}

bool GlContext::makeCurrent(SDL_Window* window) {
    SDL_Window* target = window != nullptr ? window : hidden;
    if (target == current && SDL_GL_GetCurrentContext() == context) {
        return true;
    }
    if (SDL_GL_MakeCurrent(target, context) != 0) {
        return false;
    }
    current = target;
    return true;
}

void GlContext::ensureCurrent() {
    GlContext* instance = get();
    if (instance != nullptr && SDL_GL_GetCurrentContext() != instance->context) {
        instance->makeCurrent(nullptr);
    }
}

SDL_GLContext GlContext::createShared(SDL_Window* window, const char* purpose) {
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    if (previous == nullptr || previousWindow == nullptr) {
        return nullptr;
    }
    // SDL makes the new context current; the previous one goes back at once.
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
    SDL_GLContext shared = SDL_GL_CreateContext(window);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    SDL_GL_MakeCurrent(previousWindow, previous);
    if (shared == nullptr) {
        SDL_LogWarn(SDL_LOG_CATEGORY_RENDER, "letterbox: no second context for %s (%s)", purpose,
                    SDL_GetError());
    }
    return shared;
}
