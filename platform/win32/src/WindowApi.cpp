// Window classes, windows, their placement, the system metrics and the cursor.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "MessageQueue.h"
#include "PlatformOptions.h"
#include "SdlBridge.h"
#include "WindowRegistry.h"
#include <winbase.h>
#include <winuser.h>

namespace {
// The classic frame of a fixed-size captioned window, which the program's
// placement arithmetic assumes: client = outer - 2 x frame, - caption.
constexpr int CAPTION_HEIGHT = 19;
constexpr int DLG_FRAME = 3;
constexpr int SIZE_FRAME = 4;
constexpr int BORDER = 1;
// Where no display can be asked.
constexpr int FALLBACK_SCREEN_WIDTH = 1024;
constexpr int FALLBACK_SCREEN_HEIGHT = 768;
constexpr int DEFAULT_WIDTH = 640;
constexpr int DEFAULT_HEIGHT = 480;
// WNDCLASSEXA's size on 32-bit Windows, which callers may still write.
constexpr UINT WNDCLASSEXA_SIZE_32 = 48;

int cursorCount = 0;

// The frame around the client area for a style: left/top/right/bottom widths.
RECT frameFor(DWORD style, DWORD exStyle) {
    int edge = 0;
    if (style & WS_THICKFRAME) {
        edge = SIZE_FRAME;
    } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
        edge = DLG_FRAME;
    } else if (style & WS_BORDER) {
        edge = BORDER;
    }
    const int caption = (style & WS_CAPTION) == WS_CAPTION ? CAPTION_HEIGHT : 0;
    return RECT{edge, edge + caption, edge, edge};
}

void clientSize(const WindowRecord& w, int& width, int& height) {
    const RECT f = frameFor(w.style, w.exStyle);
    width = std::max(1, (w.outer.right - w.outer.left) - f.left - f.right);
    height = std::max(1, (w.outer.bottom - w.outer.top) - f.top - f.bottom);
}

// Moves and sizes the SDL window (the client area) to the stored outer rectangle.
void applyGeometry(const WindowRecord& w) {
    int width = 0;
    int height = 0;
    clientSize(w, width, height);
    const RECT f = frameFor(w.style, w.exStyle);
    SDL_SetWindowSize(w.sdl, width, height);
    SDL_SetWindowPosition(w.sdl, w.outer.left + f.left, w.outer.top + f.top);
}

// The outer rectangle as the SDL window stands now: the device, the window
// manager or full screen may have moved or sized it since.
void syncFromSdl(WindowRecord& w) {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    SDL_GetWindowPosition(w.sdl, &x, &y);
    SDL_GetWindowSize(w.sdl, &width, &height);
    const RECT f = frameFor(w.style, w.exStyle);
    w.outer = RECT{x - f.left, y - f.top, x + width + f.right, y + height + f.bottom};
}

void setVisible(WindowRecord& w, bool visible) {
    if (visible == w.visible) {
        return;
    }
    w.visible = visible;
    if (visible) {
        SDL_ShowWindow(w.sdl);
    } else {
        SDL_HideWindow(w.sdl);
    }
    SendMessageA(w.handle, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
}

WindowRecord* liveWindow(HWND window) {
    WindowRecord* w = WindowRegistry::instance().find(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    }
    return w;
}

// The live window with its geometry read back from SDL, for the calls that report a
// rectangle; null where the window is gone or there is nowhere to write.
WindowRecord* syncedWindow(HWND window, const RECT* out) {
    WindowRecord* w = liveWindow(window);
    if (!w || !out) {
        return nullptr;
    }
    syncFromSdl(*w);
    return w;
}
} // namespace

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (!windowClass ||
        (windowClass->cbSize != sizeof(WNDCLASSEXA) &&
         windowClass->cbSize != WNDCLASSEXA_SIZE_32) ||
        !windowClass->lpfnWndProc || !windowClass->lpszClassName ||
        !windowClass->lpszClassName[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowRegistry& registry = WindowRegistry::instance();
    if (registry.findClass(windowClass->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    WindowClassRecord record;
    record.name = windowClass->lpszClassName;
    record.style = windowClass->style;
    record.proc = windowClass->lpfnWndProc;
    record.instance = windowClass->hInstance;
    return registry.addClass(record);
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
    WindowRegistry& registry = WindowRegistry::instance();
    if (!className || !registry.findClass(className)) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (registry.classInUse(className)) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    registry.removeClass(className);
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND, HMENU, HINSTANCE instance,
                            LPVOID param) {
    WindowRegistry& registry = WindowRegistry::instance();
    const WindowClassRecord* windowClass = registry.findClass(className);
    if (!windowClass) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (!sdlVideoInit()) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto record = std::make_unique<WindowRecord>();
    record->className = windowClass->name;
    record->proc = windowClass->proc;
    record->style = style;
    record->exStyle = exStyle;
    record->instance = instance;
    if (width == CW_USEDEFAULT) {
        const RECT f = frameFor(style, exStyle);
        width = DEFAULT_WIDTH + f.left + f.right;
        height = DEFAULT_HEIGHT + f.top + f.bottom;
    }
    if (x == CW_USEDEFAULT) {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    record->outer = RECT{x, y, x + width, y + height};

    int clientWidth = 0;
    int clientHeight = 0;
    clientSize(*record, clientWidth, clientHeight);
    const RECT f = frameFor(style, exStyle);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (style & WS_THICKFRAME) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    // An untitled window would show as nothing in the task list.
    const char* title = windowName && windowName[0] ? windowName : "letterbox";
    record->sdl = SDL_CreateWindow(title, x + f.left, y + f.top, clientWidth, clientHeight, flags);
    if (!record->sdl) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // The cursor count may have gone below zero before there was video.
    SDL_ShowCursor(cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    WindowRecord* created = record.get();
    HWND handle = registry.addWindow(std::move(record));

    CREATESTRUCTA create{
        param,      instance,  nullptr, nullptr, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    const LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    if (!SendMessageA(handle, WM_NCCREATE, 0, createParam) ||
        SendMessageA(handle, WM_CREATE, 0, createParam) == -1) {
        DestroyWindow(handle);
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (style & WS_VISIBLE) {
        setVisible(*created, true);
    }
    return handle;
}

BOOL WINAPI DestroyWindow(HWND window) {
    WindowRecord* w = liveWindow(window);
    if (!w || w->destroying) {
        return FALSE;
    }
    w->destroying = true;
    SendMessageA(window, WM_DESTROY, 0, 0);
    // The SDL window is hidden, not freed: a device may still hold a context
    // made on it, and SDL_Quit frees it at the end.
    sdlSetFullscreen(w->sdl, false);
    SDL_HideWindow(w->sdl);
    w->visible = false;
    SendMessageA(window, WM_NCDESTROY, 0, 0);
    MessageQueue::instance().discardWindow(window);
    WindowRegistry::instance().removeWindow(window);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND window) {
    return WindowRegistry::instance().find(window) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND window) {
    WindowRecord* w = WindowRegistry::instance().find(window);
    return w && w->visible ? TRUE : FALSE;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    WindowRecord* w = liveWindow(window);
    if (!w) {
        return FALSE;
    }
    const BOOL wasVisible = w->visible ? TRUE : FALSE;
    switch (command) {
    case SW_HIDE:
        setVisible(*w, false);
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        setVisible(*w, true);
        SDL_MinimizeWindow(w->sdl);
        break;
    case SW_SHOWMAXIMIZED:
        setVisible(*w, true);
        SDL_MaximizeWindow(w->sdl);
        break;
    case SW_RESTORE:
        setVisible(*w, true);
        SDL_RestoreWindow(w->sdl);
        break;
    default:
        setVisible(*w, true);
        break;
    }
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND window) {
    // Nothing is painted through the window itself: the device presents.
    return liveWindow(window) ? TRUE : FALSE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
    WindowRecord* w = liveWindow(window);
    if (!w) {
        return FALSE;
    }
    // A run that asked for a window keeps the centred window it was created
    // as, whatever placement the program asks for on its way to full screen.
    const bool pinned = PlatformOptions::get().windowed;
    if (!pinned && (flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
        syncFromSdl(*w);
        RECT outer = w->outer;
        if (!(flags & SWP_NOMOVE)) {
            const LONG width = outer.right - outer.left;
            const LONG height = outer.bottom - outer.top;
            outer = RECT{x, y, x + width, y + height};
        }
        if (!(flags & SWP_NOSIZE)) {
            outer.right = outer.left + std::max(0, cx);
            outer.bottom = outer.top + std::max(0, cy);
        }
        w->outer = outer;
        applyGeometry(*w);
    }
    if (flags & SWP_SHOWWINDOW) {
        setVisible(*w, true);
    } else if (flags & SWP_HIDEWINDOW) {
        setVisible(*w, false);
    }
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    WindowRecord* w = syncedWindow(window, rect);
    if (!w) {
        return FALSE;
    }
    *rect = w->outer;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
    WindowRecord* w = syncedWindow(window, rect);
    if (!w) {
        return FALSE;
    }
    int width = 0;
    int height = 0;
    clientSize(*w, width, height);
    *rect = RECT{0, 0, width, height};
    return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const RECT f = frameFor(style, exStyle);
    rect->left -= f.left;
    rect->top -= f.top;
    rect->right += f.right;
    rect->bottom += f.bottom;
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) {
    return AdjustWindowRectEx(rect, style, menu, 0);
}

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CYFULLSCREEN: {
        SDL_Rect bounds{0, 0, FALLBACK_SCREEN_WIDTH, FALLBACK_SCREEN_HEIGHT};
        if (sdlVideoInit()) {
            SDL_DisplayMode mode;
            if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
                bounds.w = mode.w;
                bounds.h = mode.h;
            }
        }
        if (index == SM_CXFULLSCREEN) {
            return bounds.w;
        }
        if (index == SM_CYFULLSCREEN) {
            return bounds.h - CAPTION_HEIGHT;
        }
        return index == SM_CXSCREEN ? bounds.w : bounds.h;
    }
    case SM_CYCAPTION:
        return CAPTION_HEIGHT;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return BORDER;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return DLG_FRAME;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return SIZE_FRAME;
    case SM_MOUSEPRESENT:
        return TRUE;
    case SM_CMONITORS:
        return sdlVideoInit() ? std::max(1, SDL_GetNumVideoDisplays()) : 1;
    default:
        return 0;
    }
}

int WINAPI ShowCursor(BOOL show) {
    cursorCount += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_ShowCursor(cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    }
    return cursorCount;
}
