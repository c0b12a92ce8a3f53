// The thread's message queue with Windows' retrieval order: posted messages
// first, then WM_QUIT once PostQuitMessage was called and nothing is posted,
// then input (what SDL reports: close requests, Esc and Alt+F4).
#pragma once

#include <deque>

#include <winuser.h>

class MessageQueue {
public:
    static MessageQueue& instance();

    void post(const MSG& msg);
    void postQuit(int exitCode);
    // Finds the next message for the filter; removes it (and a WM_QUIT's
    // pending state) when `remove` is set. Reads SDL's events first.
    bool peek(MSG& out, HWND window, UINT filterMin, UINT filterMax, bool remove);
    // Drops what is queued for a window that is going away.
    void discardWindow(HWND window);
    // Empties the queue and forgets a pending quit.
    void clear();

private:
    void readPlatformEvents();
    void postInput(HWND window, UINT message);
    bool takeFrom(std::deque<MSG>& queue, MSG& out, HWND window, UINT filterMin, UINT filterMax,
                  bool remove);

    std::deque<MSG> posted;
    std::deque<MSG> input;
    bool quitPending = false;
    int quitCode = 0;
};
