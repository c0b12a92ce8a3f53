// The one clock behind timeGetTime, GetTickCount, Sleep and the performance
// counter. Real: the monotonic system clock. Virtual: time stands still except
// when Sleep (or advance) moves it, so a whole run is deterministic.
#pragma once

#include <chrono>
#include <cstdint>

class SystemClock {
public:
    // Performance-counter ticks per second (100 ns ticks, as on current Windows).
    static constexpr int64_t FREQUENCY = 10000000;

    // The process clock, configured from PlatformOptions on first use.
    static SystemClock& instance();

    // Restarts the clock: real or virtual, reading startMs now.
    void configure(bool virtualClock, uint32_t startMs);
    bool isVirtual() const { return virtualClock; }

    // Milliseconds, wrapping at 2^32.
    uint32_t milliseconds() const;
    // Performance-counter ticks; does not wrap.
    int64_t counter() const;
    // Waits ms on the real clock; moves the virtual clock by ms at once. With a
    // timer period (timeBeginPeriod) in force the wait ends on a boundary of the
    // millisecond clock, as a periodic timer interrupt would end it: see wakeTicks.
    void sleep(uint32_t ms, uint32_t periodMs = 0);
    // Elapsed ticks at which a sleep of ms begun at nowTicks ends under a timer of
    // periodMs: the first multiple of the period at or after the millisecond
    // boundary ms after the current millisecond.
    static int64_t wakeTicks(int64_t nowTicks, uint32_t ms, uint32_t periodMs);
    // Moves the virtual clock; ignored on the real clock.
    void advance(uint64_t ms);

private:
    SystemClock();
    // Ticks of FREQUENCY since configure.
    int64_t elapsedTicks() const;

    bool virtualClock = false;
    uint64_t startMs = 0;
    int64_t virtualTicks = 0;
    std::chrono::steady_clock::time_point origin;
};
