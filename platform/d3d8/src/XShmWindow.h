// A window's pixels in memory shared with a local X server: the presenter writes a frame
// there and the server copies it into the window, with no GL drawing and no copy through
// the socket. It has its own connection to the server, used only from the thread that
// opened it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct SDL_Window;

class XShmWindow {
public:
    // The X window behind an SDL window on SDL's X11 driver, else 0.
    static unsigned long windowOf(SDL_Window* window);
    // Null unless the X display named by DISPLAY is local, has the shared memory extension
    // and shows the window in 32-bit B, G, R, X pixels.
    static std::unique_ptr<XShmWindow> open(unsigned long window);
    ~XShmWindow();
    XShmWindow(const XShmWindow&) = delete;
    XShmWindow& operator=(const XShmWindow&) = delete;

    // Pixels for a window of width x height, all black when the size is new; null when
    // the shared memory cannot be had.
    uint8_t* pixels(int width, int height);
    size_t stride() const;
    // Copies the pixels into the window and waits until the server has read them.
    bool show();

private:
    struct State;
    explicit XShmWindow(std::unique_ptr<State> state);
    void release();
    std::unique_ptr<State> state;
};
