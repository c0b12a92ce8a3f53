// The demo's one loop: at most one window message per iteration, a tick when
// more than 16 ms have passed since the last one, else a 1 ms sleep. Every
// tick updates; a tick renders when the measured rate is at least 57 per
// second, and among slow ticks every 11th is rendered anyway.
#pragma once

#include "demo/Task.h"

#include <cstdint>

class PacedLoop {
public:
    static constexpr double TICK_INTERVAL_MS = 16.0;
    static constexpr double RENDER_RATE = 57.0;
    static constexpr int32_t MAX_SKIPPED_RENDERS = 10;

    PacedLoop();

    // Reads the clock as the moment of the last tick.
    void markTick();
    // Runs until the quit flag is set or the task reports its end. Not entered
    // at all when the flag is already set.
    void run(Task& task);

    // Milliseconds from the last tick to now, taken modulo 2^32 so that the
    // clock wrapping around looks like the few milliseconds that really passed.
    double sinceLastTick(double now) const;

    double lastTickMs;
    double tickRate;
    int32_t skippedRenders;
};
