#include <gtest/gtest.h>

#include "SystemClock.h"
#include "windows.h"

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

TEST_F(ClockTest, NullOutputsAreRefused) {
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
    EXPECT_FALSE(QueryPerformanceFrequency(nullptr));
}

} // namespace
