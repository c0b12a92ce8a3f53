#include "app/FrameTimer.h"

#include <SystemClock.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override { SystemClock::instance().configure(true, 1000); }
    FrameTimer timer;
};

TEST_F(FrameTimerTest, StopwatchReadsTheMillisecondClock) {
    EXPECT_EQ(timer.startMs, 0u);
    EXPECT_EQ(timer.lastAveragedRate, 0.0);
    EXPECT_EQ(timer.start(), 1000u);
    Sleep(40);
    EXPECT_EQ(timer.mark(), 1040u);
    EXPECT_EQ(timer.markMs, 1040u);
    EXPECT_EQ(timer.elapsedMs(), 40u);
    EXPECT_DOUBLE_EQ(timer.rateSinceStart(), 25.0);
    EXPECT_STREQ(timer.rateSinceStartText(), "25.000000");
}

TEST_F(FrameTimerTest, ElapsedTimeCrossesTheClockWrap) {
    SystemClock::instance().configure(true, 0xFFFFFFF0u);
    timer.start();
    Sleep(0x30);
    EXPECT_EQ(timer.elapsedMs(), 0x30u);
    EXPECT_DOUBLE_EQ(timer.rateSinceStart(), 1000.0 / 48.0);
}

TEST_F(FrameTimerTest, RateInTheSameMillisecondIsInfinite) {
    timer.start();
    EXPECT_TRUE(std::isinf(timer.rateSinceStart()));
    EXPECT_GT(timer.rateSinceStart(), 0.0);
    EXPECT_STREQ(timer.rateSinceStartText(), "inf");
}

TEST_F(FrameTimerTest, AveragedRateClosesItsWindowAtOneHundredMilliseconds) {
    timer.start();
    for (int i = 0; i < 9; ++i) {
        Sleep(11);
        EXPECT_EQ(timer.averagedRate(), 0.0) << "window still open at call " << i;
    }
    Sleep(1); // 100 ms exactly: the window closes, this call counted
    EXPECT_DOUBLE_EQ(timer.averagedRate(), 100.0);
    EXPECT_EQ(timer.frameCount, 0);
    EXPECT_EQ(timer.startMs, 1100u);
    EXPECT_EQ(timer.markMs, 1100u);

    Sleep(50);
    EXPECT_DOUBLE_EQ(timer.averagedRate(), 100.0) << "the last result until the next window";
    EXPECT_EQ(timer.frameCount, 1);
    Sleep(150);
    EXPECT_DOUBLE_EQ(timer.averagedRate(), 10.0);
    EXPECT_STREQ(timer.averagedRateText(), "10.000000");
}

TEST_F(FrameTimerTest, TextOperationsShareOneBuffer) {
    timer.start();
    Sleep(8);
    const char* first = timer.rateSinceStartText();
    EXPECT_STREQ(first, "125.000000");
    timer.queryFrequency();
    timer.startPrecise();
    Sleep(4);
    const char* second = timer.preciseRateText();
    EXPECT_EQ(first, second);
    EXPECT_EQ(second, timer.text);
    EXPECT_STREQ(second, "250.000000");
}

TEST_F(FrameTimerTest, PreciseClockMeasuresSeconds) {
    EXPECT_TRUE(timer.queryFrequency());
    EXPECT_GT(timer.frequency, 0);
    EXPECT_TRUE(timer.startPrecise());
    Sleep(250);
    EXPECT_DOUBLE_EQ(timer.preciseElapsedSeconds(), 0.25);
    EXPECT_EQ(timer.preciseNow - timer.preciseStart, timer.frequency / 4);
}

TEST_F(FrameTimerTest, PreciseReadingsWithoutAFrequencyReportNothing) {
    timer.startPrecise();
    Sleep(10);
    EXPECT_EQ(timer.preciseElapsedSeconds(), 0.0);
    EXPECT_STREQ(timer.preciseRateText(), "0.000000");
}

} // namespace
