// Where there is no X server (the browser build), no window is shown through shared
// memory: the presenter copies with GL, as it does on any other display.
#include "XShmWindow.h"

struct XShmWindow::State {};

unsigned long XShmWindow::windowOf(SDL_Window*) {
    return 0;
}

std::unique_ptr<XShmWindow> XShmWindow::open(unsigned long) {
    return nullptr;
}

XShmWindow::XShmWindow(std::unique_ptr<State> shared) : state(std::move(shared)) {}

XShmWindow::~XShmWindow() = default;

uint8_t* XShmWindow::pixels(int, int) {
    return nullptr;
}

size_t XShmWindow::stride() const {
    return 0;
}

bool XShmWindow::show() {
    return false;
}

void XShmWindow::release() {}
