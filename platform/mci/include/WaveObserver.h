// Lets a watcher outside the program see what a "waveaudio" device starts to
// play and when, so a capture can write the same sound beside its frames.
#pragma once

#include <cstdint>

#include "WaveFile.h"

class WaveObserver {
public:
    // Frames [firstFrame, endFrame) of `wave` start playing at clock time clockMs.
    virtual void playStarted(const WaveFile& /*wave*/, uint32_t /*firstFrame*/,
                             uint32_t /*endFrame*/, uint32_t /*clockMs*/) {}

    static inline WaveObserver* active = nullptr;

protected:
    ~WaveObserver() = default;
};
