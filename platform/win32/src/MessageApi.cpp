// The message pump: peeking, waiting, dispatching to window procedures.
#include <chrono>
#include <thread>

#include <SDL.h>

#include "LoopObserver.h"
#include "MessageQueue.h"
#include "WindowRegistry.h"
#include <mmsystem.h>
#include <winbase.h>
#include <winuser.h>

namespace {
constexpr WPARAM SC_CLOSE = 0xF060;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (LoopObserver::active) {
        LoopObserver::active->messagePeeked();
    }
    return MessageQueue::instance().peek(*msg, window, filterMin, filterMax,
                                         (removeMsg & PM_REMOVE) != 0)
               ? TRUE
               : FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    // Blocks until a message comes, as on Windows: waits on SDL's events when
    // there is a display, else in short real sleeps.
    while (!MessageQueue::instance().peek(*msg, window, filterMin, filterMax, true)) {
        if (SDL_WasInit(SDL_INIT_VIDEO)) {
            SDL_WaitEventTimeout(nullptr, 10);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    // No key messages are queued, so there is never a character to make.
    (void)msg;
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg || !msg->hwnd) {
        return 0;
    }
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* w = WindowRegistry::instance().find(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return w->proc(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !WindowRegistry::instance().find(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = timeGetTime();
    MessageQueue::instance().post(msg);
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    MessageQueue::instance().postQuit(exitCode);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            SendMessageA(window, WM_CLOSE, 0, 0);
        }
        return 0;
    default:
        return 0;
    }
}
