#include "BrowserRun.h"

#include <emscripten.h>

#include "SystemClock.h"
#include "common/DemoTimeline.h"
#include <windows.h>

// clang-format off
EM_JS(void, pageFramePresented, (uint32_t frame), {
    if (window.letterboxPage) {
        window.letterboxPage.framePresented(frame);
    }
});
// clang-format on

BrowserRun::BrowserRun(std::optional<uint32_t> end) : endMs(end) {
    LoopObserver::active = this;
    PresentObserver::active = this;
}

BrowserRun::~BrowserRun() {
    if (LoopObserver::active == this) {
        LoopObserver::active = nullptr;
    }
    if (PresentObserver::active == this) {
        PresentObserver::active = nullptr;
    }
}

void BrowserRun::timerPeriodBegun(uint32_t) {
    // Raised once, when start-up is over: every frame presented from now on is playback.
    playback = true;
}

void BrowserRun::presented(IDirect3DDevice8* device, uint64_t) {
    if (!playback) {
        return; // the loading screen
    }
    const uint32_t clockMs = SystemClock::instance().milliseconds();
    if (!originMs) {
        originMs = clockMs;
    }
    const uint32_t playbackMs = clockMs - *originMs;
    // The picture is in the canvas's drawing buffer until the browser next runs.
    pageFramePresented(playbackFrameAt(playbackMs));
    if (endMs && !endRequested && uint64_t{playbackMs} + VIRTUAL_TICK_MS >= *endMs) {
        // Closed as a user would close it, so the program's own teardown runs.
        D3DDEVICE_CREATION_PARAMETERS created{};
        if (SUCCEEDED(device->GetCreationParameters(&created)) && created.hFocusWindow) {
            endRequested = PostMessageA(created.hFocusWindow, WM_CLOSE, 0, 0) != FALSE;
        }
    }
}
