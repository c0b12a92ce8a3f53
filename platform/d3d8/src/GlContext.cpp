#include "GlContext.h"

#include "GlCheck.h"
#include "PlatformOptions.h"
#include "SdlBridge.h"

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
    if (epoxy_gl_version() < 33) {
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
