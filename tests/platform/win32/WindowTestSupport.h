// Shared by the window and message tests: one registered class whose
// procedure records what reaches it and answers as the demo's does.
#pragma once

#include <vector>

#include <windows.h>

struct Received {
    HWND window;
    UINT message;
};

inline std::vector<Received>& received() {
    static std::vector<Received> log;
    return log;
}

inline int& destroyCount() {
    static int count = 0;
    return count;
}

// WM_CLOSE destroys (through DefWindowProcA), WM_DESTROY posts the quit.
inline LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received().push_back({window, message});
    if (message == WM_DESTROY) {
        ++destroyCount();
        PostQuitMessage(0);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

inline const char* testClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = recordingProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1));
        wc.lpszClassName = "LETTERBOX_TEST";
        registered = RegisterClassExA(&wc) != 0;
    }
    return "LETTERBOX_TEST";
}

constexpr DWORD DEMO_STYLE = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

inline HWND createDemoWindow(int x = 0, int y = 0) {
    const int width = 800 + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    const int height = 600 + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
    return CreateWindowExA(0, testClass(), "", DEMO_STYLE, x, y, width, height, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// Empties the queue, a pending quit included.
inline void drainQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    received().clear();
}
