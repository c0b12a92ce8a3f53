// What the browser build watches of the program's run from outside it, as the desktop's
// launcher does for a capture: which frame of playback each Present shows (frame 0 the
// first after the loading screen, numbered as a capture numbers them), told to the page,
// and the end time of a run that has one.
#pragma once

#include <cstdint>
#include <optional>

#include "LoopObserver.h"
#include "d3d8observer.h"

class BrowserRun : public LoopObserver, public PresentObserver {
public:
    explicit BrowserRun(std::optional<uint32_t> endMs);
    ~BrowserRun();
    BrowserRun(const BrowserRun&) = delete;
    BrowserRun& operator=(const BrowserRun&) = delete;

    void timerPeriodBegun(uint32_t period) override;
    void presented(IDirect3DDevice8* device, uint64_t shaderCompiles) override;

private:
    std::optional<uint32_t> endMs;
    bool playback = false;
    bool endRequested = false;
    std::optional<uint32_t> originMs;
};
