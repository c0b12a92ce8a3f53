#include "Presenter.h"

#include "BilinearScaler.h"
#include "GlContext.h"
#include "ScaledCopy.h"
#include "XShmWindow.h"

#include <cstdlib>
#include <cstring>
#include <vector>

Presenter::Mode Presenter::mode = Presenter::Mode::Automatic;

namespace {

// Waits for a fence of either context; a lost fence is not waited for twice.
void waitFor(GLsync fence) {
    if (fence == nullptr) {
        return;
    }
    while (glClientWaitSync(fence, GL_SYNC_FLUSH_COMMANDS_BIT, 1000000000ull) ==
           GL_TIMEOUT_EXPIRED) {
    }
    glDeleteSync(fence);
}

// On the software rasteriser a bilinear copy to a 1920 x 1080 window costs about 8.5 ms of
// CPU time a frame; read back and scaled by the CPU it costs about a third of that.
bool cpuCopyWanted() {
    const char* setting = std::getenv("LETTERBOX_PRESENTER");
    if (setting != nullptr && std::strcmp(setting, "gl") == 0) {
        return false;
    }
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer != nullptr && (std::strstr(renderer, "llvmpipe") != nullptr ||
                                   std::strstr(renderer, "softpipe") != nullptr);
}

// Attaches texture (0: none) to the framebuffer the frames are read through, bound for
// reading. Let go of after each frame: the device may draw into the texture again then.
void readThrough(GLuint framebuffer, GLuint texture) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
}

} // namespace

bool Presenter::wanted(bool headless) {
    if constexpr (GL_DIALECT_ES) {
        return false; // a browser gives its GL to the page's one thread
    }
    switch (mode) {
    case Mode::Always:
        return true;
    case Mode::Never:
        return false;
    case Mode::Automatic:
        break;
    }
    // For comparison: Present shows each frame itself, on the program's thread.
    if (const char* setting = std::getenv("LETTERBOX_PRESENTER")) {
        if (std::strcmp(setting, "inline") == 0) {
            return false;
        }
    }
    // Off screen nobody sees the window: the picture stays in the front buffer.
    const char* driver = SDL_GetCurrentVideoDriver();
    return !headless && driver != nullptr && std::strcmp(driver, "offscreen") != 0;
}

std::unique_ptr<Presenter> Presenter::start(SDL_Window* window) {
    SDL_GLContext device = SDL_GL_GetCurrentContext();
    SDL_Window* deviceWindow = SDL_GL_GetCurrentWindow();
    if (device == nullptr || deviceWindow == nullptr) {
        return nullptr;
    }
    SDL_GLContext context = GlContext::createShared(window, "presenting");
    if (context == nullptr) {
        return nullptr;
    }
    std::unique_ptr<Presenter> presenter(new Presenter(window, context));
    presenter->xWindow = XShmWindow::windowOf(window);
    presenter->thread = SDL_CreateThread(
        [](void* self) {
            static_cast<Presenter*>(self)->run();
            return 0;
        },
        "present", presenter.get());
    if (presenter->thread == nullptr) {
        return nullptr;
    }
    std::unique_lock lock(presenter->mutex);
    presenter->changed.wait(lock, [&] { return presenter->started; });
    if (!presenter->working) {
        lock.unlock();
        presenter.reset();
        SDL_GL_MakeCurrent(deviceWindow, device);
        return nullptr;
    }
    return presenter;
}

Presenter::Presenter(SDL_Window* window, SDL_GLContext context)
    : window(window), context(context) {}

Presenter::~Presenter() {
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    if (thread != nullptr) {
        SDL_WaitThread(thread, nullptr);
    }
    // The thread is gone: what it left behind is deleted on the device's context.
    if (released != nullptr) {
        glDeleteSync(released);
    }
    if (context != nullptr) {
        SDL_GL_DeleteContext(context);
    }
}

void Presenter::reclaim() {
    GLsync fence = nullptr;
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return (!hasPending && !reading) || stopping; });
        fence = released;
        released = nullptr;
    }
    waitFor(fence);
}

void Presenter::show(const Frame& frame) {
    reclaim();
    GLsync ready = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    // Another context waits for the fence: it must reach the driver.
    glFlush();
    {
        std::lock_guard lock(mutex);
        if (stopping) {
            glDeleteSync(ready);
            return;
        }
        pending = frame;
        pendingReady = ready;
        hasPending = true;
        ++handed;
    }
    changed.notify_all();
}

void Presenter::finish() {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return shown == handed || stopping; });
}

uint64_t Presenter::shownCount() {
    std::lock_guard lock(mutex);
    return shown;
}

void Presenter::setShownHook(ShownHook hook) {
    std::lock_guard lock(mutex);
    shownHook = std::move(hook);
}

bool Presenter::takeFrame(Frame& frame, GLsync& ready) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return hasPending || stopping; });
    if (stopping) {
        return false;
    }
    frame = pending;
    ready = pendingReady;
    pendingReady = nullptr;
    hasPending = false;
    reading = true;
    return true;
}

void Presenter::run() {
    const bool current = SDL_GL_MakeCurrent(window, context) == 0;
    // Chosen before start() returns, so that copiesOnCpu() answers from the first frame.
    std::unique_ptr<XShmWindow> shared;
    if (current && xWindow != 0 && cpuCopyWanted()) {
        shared = XShmWindow::open(xWindow);
        cpuCopy = shared != nullptr;
        SDL_LogDebug(SDL_LOG_CATEGORY_RENDER, "letterbox: the window's copy is made %s",
                     shared ? "by the CPU in memory shared with the X server" : "with GL");
    }
    {
        std::lock_guard lock(mutex);
        started = true;
        working = current;
    }
    changed.notify_all();
    if (!current) {
        return;
    }
    auto copy = std::make_unique<ScaledCopy>();
    // Should the copy's program fail, the blit shows the frames instead; the CPU's copy
    // reads the picture through a framebuffer too.
    GLuint readFramebuffer = 0;
    if (!copy->valid() || shared) {
        glGenFramebuffers(1, &readFramebuffer);
    }
    BilinearScaler scaler;
    std::vector<uint8_t> picture;
    int interval = -1;
    Frame frame;
    GLsync ready = nullptr;
    while (takeFrame(frame, ready)) {
        waitFor(ready);
        bool onCpu = false;
        if (shared) {
            onCpu = readPicture(readFramebuffer, frame, picture);
        } else {
            if (frame.swapInterval != interval) {
                interval = frame.swapInterval;
                if (SDL_GL_SetSwapInterval(interval) != 0) {
                    SDL_LogDebug(SDL_LOG_CATEGORY_RENDER, "letterbox: swap interval %d: %s",
                                 interval, SDL_GetError());
                } else {
                    SDL_LogDebug(SDL_LOG_CATEGORY_RENDER,
                                 "letterbox: swap interval %d (driver: %d)", interval,
                                 SDL_GL_GetSwapInterval());
                }
            }
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
            if (copy->valid()) {
                copy->draw(frame.texture, frame.textureWidth, frame.textureHeight, frame.source,
                           frame.drawableWidth, frame.drawableHeight);
            } else {
                readThrough(readFramebuffer, frame.texture);
                drawScaled(readFramebuffer, frame);
                readThrough(readFramebuffer, 0);
            }
        }
        GLsync done = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        glFlush();
        ShownHook hook;
        {
            std::lock_guard lock(mutex);
            released = done;
            reading = false;
            hook = shownHook;
        }
        changed.notify_all();
        if (hook) {
            hook(frame);
        }
        if (!shared) {
            SDL_GL_SwapWindow(window);
        } else if (onCpu && !showOnCpu(*shared, scaler, frame, picture)) {
            // The server would not share memory after all: GL shows the next frames.
            shared.reset();
            cpuCopy = false;
        }
        {
            std::lock_guard lock(mutex);
            ++shown;
        }
        changed.notify_all();
    }
    // Frames handed over but not shown are dropped with their fences.
    {
        std::lock_guard lock(mutex);
        if (pendingReady != nullptr) {
            glDeleteSync(pendingReady);
            pendingReady = nullptr;
        }
        hasPending = false;
    }
    copy.reset();
    shared.reset();
    glDeleteFramebuffers(1, &readFramebuffer);
    glFinish();
    SDL_GL_MakeCurrent(window, nullptr);
}

void Presenter::drawScaled(GLuint readFramebuffer, const Frame& frame) {
    const RECT& source = frame.source;
    const int sw = source.right - source.left, sh = source.bottom - source.top;
    const int dw = frame.drawableWidth, dh = frame.drawableHeight;
    const ScaledCopy::Placement at = ScaledCopy::place(sw, sh, dw, dh);
    if (at.width <= 0) {
        return;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    // One clear of the whole window for the bars, as in ScaledCopy::draw; the blit, too,
    // must not be cut by a scissor the device left on.
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
    const int right = at.x + at.width, top = at.y + at.height;
    // Our targets keep Direct3D's top row at GL row 0; the window's top is its last row.
    const bool exact = at.width == sw && at.height == sh;
    glBlitFramebuffer(source.left, source.top, source.right, source.bottom, at.x, top, right, at.y,
                      GL_COLOR_BUFFER_BIT, exact ? GL_NEAREST : GL_LINEAR);
}

bool Presenter::readPicture(GLuint readFramebuffer, const Frame& frame,
                            std::vector<uint8_t>& picture) {
    const RECT& source = frame.source;
    if (source.right <= source.left || source.bottom <= source.top || frame.textureWidth <= 0 ||
        frame.textureHeight <= 0) {
        return false;
    }
    // The whole picture: filtering reads the pixels around the part shown too.
    picture.resize(static_cast<size_t>(frame.textureWidth) *
                   static_cast<size_t>(frame.textureHeight) * 4);
    readThrough(readFramebuffer, frame.texture);
    // Our targets keep Direct3D's top row at GL row 0: the rows come top row first (packed
    // at the context's default alignment of 4, which fits 4-byte pixels).
    glReadPixels(0, 0, frame.textureWidth, frame.textureHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 picture.data());
    readThrough(readFramebuffer, 0);
    return true;
}

bool Presenter::showOnCpu(XShmWindow& shared, BilinearScaler& scaler, const Frame& frame,
                          const std::vector<uint8_t>& picture) {
    const RECT& source = frame.source;
    const int sw = source.right - source.left, sh = source.bottom - source.top;
    const int dw = frame.drawableWidth, dh = frame.drawableHeight;
    const ScaledCopy::Placement at = ScaledCopy::place(sw, sh, dw, dh);
    if (at.width <= 0) {
        return true;
    }
    uint8_t* window = shared.pixels(dw, dh);
    if (window == nullptr) {
        return false;
    }
    // New pixels are black: the bars stay as they are, only the picture is written.
    const size_t stride = shared.stride();
    const int top = dh - at.y - at.height; // placements count rows from the bottom
    scaler.prepare(
        frame.textureWidth, frame.textureHeight,
        BilinearScaler::Area{static_cast<int>(source.left), static_cast<int>(source.top), sw, sh},
        at.width, at.height);
    scaler.scale(picture.data(), static_cast<size_t>(frame.textureWidth) * 4,
                 window + static_cast<size_t>(top) * stride + static_cast<size_t>(at.x) * 4,
                 stride);
    return shared.show();
}
