// Lets a watcher outside the program see what a "waveaudio" device starts to
// play and when, so a capture can write the same sound beside its frames.
#pragma once

#include <cstdint>
#include <memory>

#include "WaveFile.h"

class WaveObserver {
public:
    // Frames [firstFrame, endFrame) of `wave` start playing at clock time clockMs. The
    // file is shared: a watcher that keeps it holds the samples without copying them.
    virtual void playStarted(const std::shared_ptr<const WaveFile>& /*wave*/,
                             uint32_t /*firstFrame*/, uint32_t /*endFrame*/, uint32_t /*clockMs*/) {
    }

    static inline WaveObserver* active = nullptr;

protected:
    ~WaveObserver() = default;
};
