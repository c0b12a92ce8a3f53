// A stopwatch on two clocks: the multimedia millisecond clock and the
// high-resolution performance counter. It measures elapsed time and tick
// rates and can format a rate into a text buffer of its own.
#pragma once

#include <windows.h>

#include <cstdint>

class FrameTimer {
public:
    FrameTimer();

    virtual uint32_t start();
    virtual uint32_t mark();
    virtual uint32_t elapsedMs();
    virtual double rateSinceStart();
    virtual const char* rateSinceStartText();
    virtual double averagedRate();
    virtual const char* averagedRateText();
    virtual BOOL queryFrequency();
    virtual BOOL startPrecise();
    virtual double preciseElapsedSeconds();
    virtual const char* preciseRateText();

    uint32_t startMs;
    uint32_t markMs;
    int64_t preciseStart;
    int64_t preciseNow;
    int64_t frequency;
    char text[256];
    int32_t frameCount;
    double lastAveragedRate;
};
