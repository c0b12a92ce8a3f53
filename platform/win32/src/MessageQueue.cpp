#include "MessageQueue.h"

#include <SDL.h>

#include "WindowRegistry.h"
#include <mmsystem.h>

namespace {
bool inRange(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

// A handle filter of (HWND)-1 asks for thread messages only (those without a window).
bool forWindow(const MSG& msg, HWND window) {
    if (window == nullptr) {
        return true;
    }
    if (window == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) {
        return msg.hwnd == nullptr;
    }
    return msg.hwnd == window;
}

// The window an SDL event belongs to, or the first live window when it names none.
HWND windowForEvent(Uint32 windowId) {
    WindowRegistry& registry = WindowRegistry::instance();
    if (SDL_Window* sdl = SDL_GetWindowFromID(windowId)) {
        if (WindowRecord* w = registry.findBySdl(sdl)) {
            return w->destroying ? nullptr : w->handle;
        }
        return nullptr;
    }
    auto handles = registry.handles();
    return handles.empty() ? nullptr : handles.front();
}
} // namespace

MessageQueue& MessageQueue::instance() {
    static MessageQueue queue;
    return queue;
}

void MessageQueue::post(const MSG& msg) {
    posted.push_back(msg);
}

void MessageQueue::postQuit(int exitCode) {
    quitPending = true;
    quitCode = exitCode;
}

void MessageQueue::postInput(HWND window, UINT message) {
    if (!window) {
        return;
    }
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.time = timeGetTime();
    input.push_back(msg);
}

void MessageQueue::readPlatformEvents() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        return;
    }
    // Every SDL event passes here; only requests to close become messages.
    // Esc is the one input the program gets beyond what Windows would give it:
    // without it, full screen on Linux would be a trap.
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                postInput(windowForEvent(event.window.windowID), WM_CLOSE);
            }
            break;
        case SDL_KEYDOWN:
            if (event.key.repeat) {
                break;
            }
            if (event.key.keysym.sym == SDLK_ESCAPE ||
                (event.key.keysym.sym == SDLK_F4 && (event.key.keysym.mod & KMOD_ALT))) {
                postInput(windowForEvent(event.key.windowID), WM_CLOSE);
            }
            break;
        case SDL_QUIT:
            // An interrupt or termination signal: close every window, as a
            // session ending would.
            for (HWND window : WindowRegistry::instance().handles()) {
                postInput(window, WM_CLOSE);
            }
            break;
        default:
            break;
        }
    }
}

bool MessageQueue::takeFrom(std::deque<MSG>& queue, MSG& out, HWND window, UINT filterMin,
                            UINT filterMax, bool remove) {
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (forWindow(*it, window) && inRange(it->message, filterMin, filterMax)) {
            out = *it;
            if (remove) {
                queue.erase(it);
            }
            return true;
        }
    }
    return false;
}

bool MessageQueue::peek(MSG& out, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    readPlatformEvents();
    if (takeFrom(posted, out, window, filterMin, filterMax, remove)) {
        return true;
    }
    if (quitPending && inRange(WM_QUIT, filterMin, filterMax)) {
        out = MSG{};
        out.message = WM_QUIT;
        out.wParam = static_cast<WPARAM>(quitCode);
        out.time = timeGetTime();
        if (remove) {
            quitPending = false;
        }
        return true;
    }
    return takeFrom(input, out, window, filterMin, filterMax, remove);
}

void MessageQueue::discardWindow(HWND window) {
    for (auto* queue : {&posted, &input}) {
        std::erase_if(*queue, [window](const MSG& msg) { return msg.hwnd == window; });
    }
}

void MessageQueue::clear() {
    posted.clear();
    input.clear();
    quitPending = false;
    quitCode = 0;
}
