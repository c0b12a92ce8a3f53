#include "SystemClock.h"

#include <cerrno>
#include <thread>

#include <time.h>

#include "PlatformOptions.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {
constexpr int64_t TICKS_PER_MS = SystemClock::FREQUENCY / 1000;
}

SystemClock::SystemClock() {
    const PlatformOptions& options = PlatformOptions::get();
    configure(options.virtualClock, options.clockStartMs);
}

SystemClock& SystemClock::instance() {
    static SystemClock clock;
    return clock;
}

void SystemClock::configure(bool virtualClockOn, uint32_t start) {
    virtualClock = virtualClockOn;
    startMs = start;
    virtualTicks = 0;
    origin = std::chrono::steady_clock::now();
}

int64_t SystemClock::elapsedTicks() const {
    if (virtualClock) {
        return virtualTicks;
    }
    const auto elapsed = std::chrono::steady_clock::now() - origin;
    return std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() /
           (1000000000 / FREQUENCY);
}

uint32_t SystemClock::milliseconds() const {
    return static_cast<uint32_t>(startMs + static_cast<uint64_t>(elapsedTicks() / TICKS_PER_MS));
}

int64_t SystemClock::counter() const {
    return static_cast<int64_t>(startMs) * TICKS_PER_MS + elapsedTicks();
}

int64_t SystemClock::wakeTicks(int64_t nowTicks, uint32_t ms, uint32_t periodMs) {
    const int64_t period = int64_t{periodMs == 0 ? 1 : periodMs} * TICKS_PER_MS;
    const int64_t boundary = (nowTicks / TICKS_PER_MS + ms) * TICKS_PER_MS;
    return (boundary + period - 1) / period * period;
}

void SystemClock::sleep(uint32_t ms, uint32_t periodMs) {
    if (virtualClock) {
        advance(ms);
#ifdef __EMSCRIPTEN__
    } else {
        // In a browser the page runs meanwhile (the program has no thread of its own), so
        // the wait is the browser's timer, which may wake a little late.
        const int64_t now = elapsedTicks();
        const int64_t wake =
            periodMs == 0 ? now + int64_t{ms} * TICKS_PER_MS : wakeTicks(now, ms, periodMs);
        emscripten_sleep(static_cast<unsigned>((wake - now + TICKS_PER_MS - 1) / TICKS_PER_MS));
    }
#else
    } else if (ms == 0) {
        std::this_thread::yield();
    } else if (periodMs == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    } else {
        // An absolute wake-up: a relative one lands a varying fraction of a
        // millisecond late, so a 17 ms cadence would sometimes read 18.
        const auto wake =
            origin + std::chrono::nanoseconds(wakeTicks(elapsedTicks(), ms, periodMs) *
                                              (1000000000 / FREQUENCY));
        const auto sinceEpoch =
            std::chrono::duration_cast<std::chrono::nanoseconds>(wake.time_since_epoch()).count();
        timespec at{};
        at.tv_sec = static_cast<time_t>(sinceEpoch / 1000000000);
        at.tv_nsec = static_cast<long>(sinceEpoch % 1000000000);
        // steady_clock is CLOCK_MONOTONIC.
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
        }
    }
#endif
}

void SystemClock::advance(uint64_t ms) {
    if (virtualClock) {
        virtualTicks += static_cast<int64_t>(ms) * TICKS_PER_MS;
    }
}
