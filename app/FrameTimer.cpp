#include "app/FrameTimer.h"

#include <mmsystem.h>

#include <cstdio>

namespace {
// Reads one of the performance counter's values into `out`, zero where the call fails.
BOOL readCounter(BOOL(WINAPI* query)(LARGE_INTEGER*), int64_t& out) {
    LARGE_INTEGER value;
    value.QuadPart = 0;
    BOOL result = query(&value);
    out = value.QuadPart;
    return result;
}
} // namespace

FrameTimer::FrameTimer()
    : startMs(0), markMs(0), preciseStart(0), preciseNow(0), frequency(0), text{}, frameCount(0),
      lastAveragedRate(0.0) {}

uint32_t FrameTimer::start() {
    startMs = timeGetTime();
    return startMs;
}

uint32_t FrameTimer::mark() {
    markMs = timeGetTime();
    return markMs;
}

uint32_t FrameTimer::elapsedMs() {
    return timeGetTime() - startMs;
}

double FrameTimer::rateSinceStart() {
    // In the same millisecond as start this divides by zero: IEEE gives +inf.
    uint32_t elapsed = timeGetTime() - startMs;
    return 1000.0 / static_cast<double>(elapsed);
}

const char* FrameTimer::rateSinceStartText() {
    std::snprintf(text, sizeof text, "%f", rateSinceStart());
    return text;
}

double FrameTimer::averagedRate() {
    frameCount += 1;
    uint32_t now = timeGetTime();
    markMs = now;
    uint32_t window = now - startMs;
    if (window >= 100) {
        lastAveragedRate = static_cast<double>(frameCount) / static_cast<double>(window) * 1000.0;
        // The next window opens at the moment of the reset, not at `now`.
        startMs = timeGetTime();
        frameCount = 0;
    }
    return lastAveragedRate;
}

const char* FrameTimer::averagedRateText() {
    std::snprintf(text, sizeof text, "%f", averagedRate());
    return text;
}

BOOL FrameTimer::queryFrequency() {
    return readCounter(QueryPerformanceFrequency, frequency);
}

BOOL FrameTimer::startPrecise() {
    return readCounter(QueryPerformanceCounter, preciseStart);
}

double FrameTimer::preciseElapsedSeconds() {
    readCounter(QueryPerformanceCounter, preciseNow);
    // Without a frequency there is no meaningful answer; report no time passed.
    if (frequency == 0) {
        return 0.0;
    }
    return static_cast<double>(preciseNow - preciseStart) / static_cast<double>(frequency);
}

const char* FrameTimer::preciseRateText() {
    readCounter(QueryPerformanceCounter, preciseNow);
    double rate = 0.0;
    if (frequency != 0) {
        rate =
            1.0 / (static_cast<double>(preciseNow - preciseStart) / static_cast<double>(frequency));
    }
    std::snprintf(text, sizeof text, "%f", rate);
    return text;
}
