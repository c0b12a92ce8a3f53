#include "BrowserCanvas.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

// clang-format off
// The canvas fills its box on the page; its drawing buffer follows the box in device pixels.
EM_JS(void, browserCanvasSize, (int* width, int* height), {
    var canvas = document.getElementById('canvas');
    var ratio = window.devicePixelRatio || 1;
    var w = Math.max(1, Math.round(canvas.clientWidth * ratio));
    var h = Math.max(1, Math.round(canvas.clientHeight * ratio));
    if (canvas.width !== w || canvas.height !== h) {
        canvas.width = w;
        canvas.height = h;
    }
    HEAP32[width >> 2] = w;
    HEAP32[height >> 2] = h;
});

EM_JS(void, browserPageSize, (int* width, int* height), {
    var ratio = window.devicePixelRatio || 1;
    HEAP32[width >> 2] = Math.round(window.innerWidth * ratio);
    HEAP32[height >> 2] = Math.round(window.innerHeight * ratio);
});

// Until the next animation frame, when the browser shows what was drawn; a page in the
// background gets no animation frames, so a timer ends the wait too.
EM_ASYNC_JS(void, browserAwaitFrame, (), {
    await new Promise(function(resume) {
        var done = false;
        var once = function() {
            if (!done) {
                done = true;
                resume();
            }
        };
        requestAnimationFrame(once);
        setTimeout(once, 50);
    });
});
// clang-format on

namespace {

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* key, void* canvas) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.windowID = 0; // the first live window
    if (std::strcmp(key->key, "Escape") == 0) {
        event.key.keysym.sym = SDLK_ESCAPE;
    } else if (std::strcmp(key->key, "F4") == 0 && key->altKey) {
        event.key.keysym.sym = SDLK_F4;
        event.key.keysym.mod = KMOD_LALT;
    } else {
        return EM_FALSE; // the page's own keys (full screen, scrolling) stay the browser's
    }
    static_cast<BrowserCanvas*>(canvas)->queue(event);
    return EM_TRUE;
}

} // namespace

BrowserCanvas& BrowserCanvas::instance() {
    static BrowserCanvas canvas;
    return canvas;
}

BrowserCanvas::BrowserCanvas() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, onKeyDown);
}

void BrowserCanvas::drawableSize(int& width, int& height) {
    browserCanvasSize(&width, &height);
}

void BrowserCanvas::displaySize(int& width, int& height) {
    browserPageSize(&width, &height);
}

intptr_t BrowserCanvas::context(std::string& error) {
    if (webgl != 0) {
        return webgl;
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    // Every picture is drawn into framebuffer objects; the canvas only shows the result.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_FALSE;
    webgl = emscripten_webgl_create_context("#canvas", &attributes);
    if (webgl <= 0) {
        error = "the browser offers no WebGL 2 context";
        webgl = 0;
    }
    return webgl;
}

bool BrowserCanvas::nextEvent(SDL_Event& event) {
    if (events.empty()) {
        return false;
    }
    event = events.front();
    events.pop_front();
    return true;
}

void BrowserCanvas::frameSwapped() {
    // A second frame with no turn of the browser since the first (the loading screen draws
    // without looking at its messages): the browser runs now, and shows this one.
    if (framePending) {
        browserAwaitFrame();
    }
    framePending = true;
}

void BrowserCanvas::yieldForFrame() {
    if (framePending) {
        framePending = false;
        browserAwaitFrame();
    }
}

void BrowserCanvas::yieldFor(uint32_t ms) {
    emscripten_sleep(ms);
}
