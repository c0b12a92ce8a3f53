// Shows presented frames in the window from a thread of its own, as a driver's queue does:
// Present hands the finished frame over and returns, and the program updates and submits
// the next frame while the rasteriser finishes this one and the presenter waits for it,
// scales it to the window and swaps. The presenter draws with a second GL context that
// shares objects with the device's; it only reads the texture it is handed. On the
// software rasteriser under a local X server it reads the picture back instead and scales
// it with the CPU into memory shared with the server (LETTERBOX_PRESENTER=gl keeps GL).
#pragma once

#include "GlCheck.h"

#include <SDL.h>

#include <windef.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class BilinearScaler;
class XShmWindow;

class Presenter {
public:
    struct Frame {
        GLuint texture = 0;   // the picture, rows bottom first as every target holds them
        int textureWidth = 0; // its size in pixels
        int textureHeight = 0;
        RECT source{};         // the part shown, in the texture's pixels, top row first
        int drawableWidth = 0; // the window's size in pixels when the frame was presented
        int drawableHeight = 0;
        int swapInterval = 0; // 1: wait for the display's refresh, 0: don't
        uint64_t number = 0;  // counts the frames handed over
    };

    // Who gets a presenter thread: a window on a display (automatic), or every device
    // (tests on the off-screen driver), or none.
    enum class Mode { Automatic, Always, Never };
    static Mode mode;
    // Whether a device on window should present through a thread.
    static bool wanted(bool headless);

    // Starts presenting to window; the device's context must be current on this thread on
    // another surface, and is current there again when this returns. Null when the
    // second context or the thread cannot be had.
    static std::unique_ptr<Presenter> start(SDL_Window* window);
    // Frames not shown yet are dropped; the thread ends and its context goes.
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // Waits until the presenter has read the frame handed over last, so its texture may
    // be drawn into again; the device's context must be current.
    void reclaim();
    // Hands a frame over (after reclaim). Its drawing must have been submitted on the
    // device's context, which must be current: a fence behind it tells the presenter when
    // the picture is there.
    void show(const Frame& frame);
    // Waits until every frame handed over is in the window.
    void finish();
    // Frames in the window so far.
    uint64_t shownCount();

    // Called on the presenter's thread with each frame drawn into the window's back
    // buffer, just before the swap (its context current); for tests.
    using ShownHook = std::function<void(const Frame& frame)>;
    // Whether frames are scaled by the CPU into shared memory (see readPicture), and the
    // window's X id; for tests.
    bool copiesOnCpu() const { return cpuCopy.load(); }
    unsigned long xWindowId() const { return xWindow; }
    void setShownHook(ShownHook hook);

    // Draws the frame from readFramebuffer to the bound draw framebuffer of
    // drawableWidth x drawableHeight, aspect kept, black bars around it; each window pixel
    // is written once. Leaves the scissor test off and the colour mask open. For presenting
    // on the device's own context, whose state it leaves alone otherwise; the presenter's
    // thread draws with ScaledCopy.
    static void drawScaled(GLuint readFramebuffer, const Frame& frame);

private:
    Presenter(SDL_Window* window, SDL_GLContext context);
    void run();
    bool takeFrame(Frame& frame, GLsync& ready);
    // The software rasteriser's way on X: the picture read back, scaled by the CPU into
    // memory the X server shares, no GL drawing or swap.
    static bool readPicture(GLuint readFramebuffer, const Frame& frame,
                            std::vector<uint8_t>& picture);
    static bool showOnCpu(XShmWindow& shared, BilinearScaler& scaler, const Frame& frame,
                          const std::vector<uint8_t>& picture);

    SDL_Window* window;
    SDL_GLContext context;
    unsigned long xWindow = 0; // the window's X id on the X11 driver
    std::atomic<bool> cpuCopy{false};
    SDL_Thread* thread = nullptr; // SDL's: it frees SDL's per-thread data at the end

    std::mutex mutex;
    std::condition_variable changed;
    bool started = false; // the thread has its context (or failed to)
    bool working = false; // ... and it is current there
    bool stopping = false;
    bool hasPending = false; // a frame handed over, not taken yet
    Frame pending;
    GLsync pendingReady = nullptr;
    bool reading = false;      // the presenter reads the frame it took
    GLsync released = nullptr; // signalled when the presenter's reads of the last frame are done
    uint64_t handed = 0;
    uint64_t shown = 0;
    ShownHook shownHook;
};
