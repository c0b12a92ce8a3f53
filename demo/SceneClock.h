// Seconds since the first frame of playback, on the millisecond clock.
#pragma once

#include <cstdint>

class SceneClock {
public:
    SceneClock() : mark(0), startMs(0) {}

    virtual void start(int32_t mark);
    // 0 until start: the clock has not run yet.
    virtual int32_t getMark();
    virtual uint32_t elapsedMs();
    virtual double elapsedSeconds();

    int32_t mark;
    uint32_t startMs;
};
