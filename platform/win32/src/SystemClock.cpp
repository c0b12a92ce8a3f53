#include "SystemClock.h"

#include <thread>

#include "PlatformOptions.h"

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

void SystemClock::sleep(uint32_t ms) {
    if (virtualClock) {
        advance(ms);
    } else if (ms == 0) {
        std::this_thread::yield();
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

void SystemClock::advance(uint64_t ms) {
    if (virtualClock) {
        virtualTicks += static_cast<int64_t>(ms) * TICKS_PER_MS;
    }
}
