#include "XShmWindow.h"

#include <SDL_log.h>
#include <SDL_syswm.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

struct XShmWindow::State {
    Display* display = nullptr;
    Window window = 0;
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    XShmSegmentInfo segment{};
    bool attached = false;
};

namespace {

// The server refuses the segment when it cannot reach our memory (another machine, or
// another IPC namespace); its error must not end the program. Error handlers are the
// process's: one attach at a time.
std::mutex attachMutex;
bool attachFailed = false;
int noteAttachError(Display*, XErrorEvent*) {
    attachFailed = true;
    return 0;
}

bool localDisplay(const char* name) {
    return name != nullptr && (name[0] == ':' || std::strncmp(name, "unix:", 5) == 0);
}

} // namespace

unsigned long XShmWindow::windowOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return 0;
    }
    return static_cast<unsigned long>(info.info.x11.window);
}

std::unique_ptr<XShmWindow> XShmWindow::open(unsigned long window) {
    if (!localDisplay(std::getenv("DISPLAY"))) {
        return nullptr;
    }
    auto state = std::make_unique<State>();
    state->display = XOpenDisplay(nullptr);
    if (state->display == nullptr) {
        return nullptr;
    }
    std::unique_ptr<XShmWindow> shown(new XShmWindow(std::move(state)));
    State& s = *shown->state;
    s.window = static_cast<Window>(window);
    XWindowAttributes attributes;
    if (!XShmQueryExtension(s.display) || !XGetWindowAttributes(s.display, s.window, &attributes)) {
        return nullptr;
    }
    const Visual* v = attributes.visual;
    if ((attributes.depth != 24 && attributes.depth != 32) || v->red_mask != 0xff0000ul ||
        v->green_mask != 0xff00ul || v->blue_mask != 0xfful ||
        ImageByteOrder(s.display) != LSBFirst) {
        return nullptr;
    }
    s.visual = attributes.visual;
    s.depth = attributes.depth;
    s.gc = XCreateGC(s.display, s.window, 0, nullptr);
    return shown;
}

XShmWindow::XShmWindow(std::unique_ptr<State> stateIn) : state(std::move(stateIn)) {}

XShmWindow::~XShmWindow() {
    release();
    if (state->gc != nullptr) {
        XFreeGC(state->display, state->gc);
    }
    XCloseDisplay(state->display);
}

void XShmWindow::release() {
    State& s = *state;
    if (s.image == nullptr) {
        return;
    }
    if (s.attached) {
        XShmDetach(s.display, &s.segment);
        XSync(s.display, False);
    }
    s.image->data = nullptr;
    XDestroyImage(s.image);
    if (s.segment.shmaddr != nullptr) {
        shmdt(s.segment.shmaddr);
    }
    s.image = nullptr;
    s.segment = {};
    s.attached = false;
}

uint8_t* XShmWindow::pixels(int width, int height) {
    State& s = *state;
    if (s.image != nullptr && s.image->width == width && s.image->height == height) {
        return reinterpret_cast<uint8_t*>(s.image->data);
    }
    release();
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    s.image =
        XShmCreateImage(s.display, s.visual, static_cast<unsigned>(s.depth), ZPixmap, nullptr,
                        &s.segment, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (s.image == nullptr) {
        return nullptr;
    }
    if (s.image->bits_per_pixel != 32) {
        release();
        return nullptr;
    }
    const size_t bytes = static_cast<size_t>(s.image->bytes_per_line) * static_cast<size_t>(height);
    s.segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (s.segment.shmid < 0) {
        release();
        return nullptr;
    }
    void* address = shmat(s.segment.shmid, nullptr, 0);
    // Marked for removal now: the segment goes when both sides have let go of it.
    shmctl(s.segment.shmid, IPC_RMID, nullptr);
    if (address == reinterpret_cast<void*>(-1)) {
        s.segment.shmaddr = nullptr;
        release();
        return nullptr;
    }
    s.segment.shmaddr = static_cast<char*>(address);
    s.image->data = s.segment.shmaddr;
    s.segment.readOnly = False;
    std::memset(address, 0, bytes);
    {
        std::lock_guard lock(attachMutex);
        attachFailed = false;
        XErrorHandler previous = XSetErrorHandler(noteAttachError);
        const bool sent = XShmAttach(s.display, &s.segment) != 0;
        XSync(s.display, False);
        XSetErrorHandler(previous);
        s.attached = sent && !attachFailed;
    }
    if (!s.attached) {
        SDL_LogDebug(SDL_LOG_CATEGORY_RENDER, "letterbox: the X server refused shared memory");
        release();
        return nullptr;
    }
    return reinterpret_cast<uint8_t*>(s.image->data);
}

size_t XShmWindow::stride() const {
    return state->image != nullptr ? static_cast<size_t>(state->image->bytes_per_line) : 0;
}

bool XShmWindow::show() {
    State& s = *state;
    if (s.image == nullptr) {
        return false;
    }
    if (!XShmPutImage(s.display, s.window, s.gc, s.image, 0, 0, 0, 0,
                      static_cast<unsigned>(s.image->width), static_cast<unsigned>(s.image->height),
                      False)) {
        return false;
    }
    // The next frame is written into the same memory: the server must be done with it.
    XSync(s.display, False);
    return true;
}
