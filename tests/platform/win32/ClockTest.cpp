#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "SystemClock.h"
#include <windows.h>

namespace {

class ClockTest : public ::testing::Test {
protected:
    void TearDown() override { SystemClock::instance().configure(false, 0); }
};

TEST_F(ClockTest, VirtualClockMovesOnlyWithSleep) {
    SystemClock::instance().configure(true, 5000);
    EXPECT_EQ(5000u, timeGetTime());
    for (int i = 0; i < 1000; ++i) {
        (void)timeGetTime();
    }
    EXPECT_EQ(5000u, timeGetTime());
    Sleep(1);
    EXPECT_EQ(5001u, timeGetTime());
    Sleep(16);
    EXPECT_EQ(5017u, timeGetTime());
    Sleep(0);
    EXPECT_EQ(5017u, GetTickCount());
}

TEST_F(ClockTest, VirtualClockWrapsAt32BitsWhileTheCounterGoesOn) {
    SystemClock::instance().configure(true, 0xFFFFFFF0u);
    LARGE_INTEGER frequency{};
    LARGE_INTEGER before{};
    LARGE_INTEGER after{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    ASSERT_TRUE(QueryPerformanceCounter(&before));
    Sleep(0x20);
    ASSERT_TRUE(QueryPerformanceCounter(&after));
    EXPECT_EQ(0x10u, timeGetTime());
    // The unsigned difference across the wrap is still the time slept.
    EXPECT_EQ(0x20u, timeGetTime() - 0xFFFFFFF0u);
    EXPECT_EQ(frequency.QuadPart * 0x20 / 1000, after.QuadPart - before.QuadPart);
}

TEST_F(ClockTest, RealClockAdvancesWithSleepAndWraps) {
    SystemClock::instance().configure(false, 0xFFFFFFFFu - 5);
    const DWORD start = timeGetTime();
    LARGE_INTEGER frequency{};
    LARGE_INTEGER before{};
    LARGE_INTEGER after{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&before);
    Sleep(25);
    QueryPerformanceCounter(&after);
    const DWORD elapsed = timeGetTime() - start;
    EXPECT_GE(elapsed, 25u);
    EXPECT_LT(elapsed, 5000u);
    EXPECT_LT(timeGetTime(), 0x80000000u); // wrapped past zero
    const double seconds = static_cast<double>(after.QuadPart - before.QuadPart) /
                           static_cast<double>(frequency.QuadPart);
    EXPECT_GE(seconds, 0.025);
}

TEST_F(ClockTest, RealClockNeverGoesBackwards) {
    SystemClock::instance().configure(false, 0);
    LARGE_INTEGER last{};
    QueryPerformanceCounter(&last);
    for (int i = 0; i < 10000; ++i) {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        ASSERT_GE(now.QuadPart, last.QuadPart);
        last = now;
    }
}

TEST_F(ClockTest, TimerPeriodsPairUp) {
    EXPECT_EQ(TIMERR_NOCANDO, timeBeginPeriod(0));
    EXPECT_EQ(TIMERR_NOCANDO, timeEndPeriod(1));
    EXPECT_EQ(TIMERR_NOERROR, timeBeginPeriod(1));
    EXPECT_EQ(TIMERR_NOERROR, timeBeginPeriod(1));
    EXPECT_EQ(TIMERR_NOERROR, timeEndPeriod(1));
    EXPECT_EQ(TIMERR_NOERROR, timeEndPeriod(1));
    EXPECT_EQ(TIMERR_NOCANDO, timeEndPeriod(1));
}

// Wake-up times under a timer period, in counter ticks (10,000 a millisecond).
TEST_F(ClockTest, SleepUnderATimerPeriodEndsOnTheClocksBoundary) {
    constexpr int64_t MS = SystemClock::FREQUENCY / 1000;
    // Anywhere inside millisecond 3, Sleep(1) ends as millisecond 4 begins.
    EXPECT_EQ(4 * MS, SystemClock::wakeTicks(3 * MS, 1, 1));
    EXPECT_EQ(4 * MS, SystemClock::wakeTicks(3 * MS + 2, 1, 1));
    EXPECT_EQ(4 * MS, SystemClock::wakeTicks(4 * MS - 1, 1, 1));
    EXPECT_EQ(20 * MS, SystemClock::wakeTicks(3 * MS + MS / 2, 17, 1));
    // A coarser timer rounds up to its own interrupts.
    EXPECT_EQ(16 * MS, SystemClock::wakeTicks(3 * MS + 1, 1, 16));
    EXPECT_EQ(32 * MS, SystemClock::wakeTicks(16 * MS, 16, 16));
    EXPECT_EQ(4 * MS, SystemClock::wakeTicks(3 * MS + 1, 1, 0));
    // Far from the start the arithmetic does not overflow.
    const int64_t late = int64_t{1} << 50;
    EXPECT_EQ((late / MS + 1) * MS, SystemClock::wakeTicks(late, 1, 1));
}

TEST_F(ClockTest, RealSleepUnderTheRaisedPeriodEndsOnANewMillisecond) {
    SystemClock::instance().configure(false, 0);
    ASSERT_EQ(TIMERR_NOERROR, timeBeginPeriod(1));
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    const int64_t ticksPerMs = frequency.QuadPart / 1000;
    int64_t shortestTicks = INT64_MAX;
    for (int i = 0; i < 20; ++i) {
        LARGE_INTEGER before{};
        LARGE_INTEGER after{};
        QueryPerformanceCounter(&before);
        Sleep(1);
        QueryPerformanceCounter(&after);
        // Never before the boundary: the millisecond clock has always moved on.
        ASSERT_GE(after.QuadPart / ticksPerMs, before.QuadPart / ticksPerMs + 1);
        shortestTicks = std::min(shortestTicks, after.QuadPart - before.QuadPart);
    }
    // A sleep begun after a boundary ends at the next one, less than a whole
    // millisecond later; a relative sleep would always take at least one.
    EXPECT_LT(shortestTicks, ticksPerMs);
    EXPECT_EQ(TIMERR_NOERROR, timeEndPeriod(1));
}

TEST_F(ClockTest, RealSleepWithoutAPeriodWaitsTheWholeTime) {
    SystemClock::instance().configure(false, 0);
    for (int i = 0; i < 5; ++i) {
        LARGE_INTEGER before{};
        LARGE_INTEGER after{};
        QueryPerformanceCounter(&before);
        Sleep(2);
        QueryPerformanceCounter(&after);
        EXPECT_GE(after.QuadPart - before.QuadPart, 2 * SystemClock::FREQUENCY / 1000);
    }
}

TEST_F(ClockTest, NullOutputsAreRefused) {
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
    EXPECT_FALSE(QueryPerformanceFrequency(nullptr));
}

} // namespace
