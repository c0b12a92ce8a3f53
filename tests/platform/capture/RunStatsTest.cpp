// Ticks told apart from the loop's events and attributed to scenes.
#include <gtest/gtest.h>

#include "RunStats.h"

namespace {

TEST(RunStatsTest, ScenesByTheirEndTimes) {
    EXPECT_EQ(0, RunStats::sceneAt(-17)); // the first tick, before the clock runs
    EXPECT_EQ(0, RunStats::sceneAt(8199));
    EXPECT_EQ(1, RunStats::sceneAt(8200)); // that tick starts the next scene and renders it
    EXPECT_EQ(5, RunStats::sceneAt(70999));
    EXPECT_EQ(6, RunStats::sceneAt(71000));
    EXPECT_STREQ("clouds", RunStats::sceneName(0));
    EXPECT_STREQ("end", RunStats::sceneName(6));
}

TEST(RunStatsTest, QuantilesByNearestRank) {
    std::vector<double> values;
    for (int i = 100; i >= 1; --i) {
        values.push_back(i);
    }
    EXPECT_EQ(50.0, RunStats::quantile(values, 0.5));
    EXPECT_EQ(99.0, RunStats::quantile(values, 0.99));
    EXPECT_EQ(100.0, RunStats::quantile(values, 1.0));
    EXPECT_EQ(0.0, RunStats::quantile({}, 0.5));
    EXPECT_EQ(7.0, RunStats::quantile({7.0}, 0.99));
}

TEST(RunStatsTest, TicksRenderedSkippedAndSleepsFromTheLoopsEvents) {
    RunStats stats;
    EXPECT_EQ(0u, stats.compilesDuringPlayback()); // no playback yet
    // The loading screen's last frame, with three programs compiled.
    stats.loadingFrame(3);
    // A tick that updates without rendering (the first, slow one), at clock 1000.
    stats.iterationStarted(0.0, 1000);
    // An idle iteration.
    stats.iterationStarted(2.0, 1000);
    stats.slept();
    // A rendered tick: the first frame of playback at clock 1017.
    stats.iterationStarted(3.0, 1017);
    stats.sceneBegun(4.0);
    stats.presented(10.0);
    stats.playbackFrame(1017, 5);
    // A rendered tick in the second scene, with one more shader compiled.
    stats.iterationStarted(20.0, 1017 + 8211);
    stats.sceneBegun(21.5);
    stats.presented(22.0);
    stats.playbackFrame(1017 + 8211, 6);
    // The last tick ends the loop: no peek follows it.
    stats.iterationStarted(30.0, 1017 + 8228);
    stats.finish(31.0);

    const auto& ticks = stats.ticks();
    ASSERT_EQ(4u, ticks.size());
    EXPECT_EQ(-17, ticks[0].sceneMs);
    EXPECT_DOUBLE_EQ(2.0, ticks[0].updateMs);
    EXPECT_LT(ticks[0].renderMs, 0.0);
    EXPECT_EQ(0, ticks[1].sceneMs);
    EXPECT_DOUBLE_EQ(1.0, ticks[1].updateMs);
    EXPECT_DOUBLE_EQ(6.0, ticks[1].renderMs);
    EXPECT_EQ(8211, ticks[2].sceneMs);
    EXPECT_DOUBLE_EQ(0.5, ticks[2].renderMs);
    EXPECT_DOUBLE_EQ(1.0, ticks[3].updateMs);
    EXPECT_EQ(1u, stats.compilesAfterFirstSecond());
    EXPECT_EQ(3u, stats.compilesDuringPlayback());

    const std::string report = stats.report();
    EXPECT_NE(std::string::npos, report.find("clouds         2        1       1"));
    EXPECT_NE(std::string::npos, report.find("tunnel         2        1       1"));
    EXPECT_NE(std::string::npos, report.find("all            4        2       2"));
    EXPECT_NE(std::string::npos, report.find("after the first second: 1"));
    EXPECT_NE(std::string::npos, report.find("during playback: 3"));
}

TEST(RunStatsTest, CadenceBetweenTicksAcrossTheClockWrap) {
    RunStats stats;
    EXPECT_EQ(0u, stats.cadence().longestMs) << "no ticks, no cadence";
    // Ticks 17 ms apart, the third one 2 ms past the wrap, one late tick, and an
    // idle iteration that is no tick.
    const uint32_t clocks[] = {0xFFFFFFDFu, 0xFFFFFFF0u, 1u, 18u, 60u, 77u};
    double wall = 0.0;
    for (uint32_t clock : clocks) {
        stats.iterationStarted(wall, clock);
        stats.sceneBegun(wall + 1.0);
        stats.presented(wall + 2.0);
        stats.playbackFrame(clock, 0);
        wall += 17.0;
        stats.iterationStarted(wall - 1.0, clock + 16);
        stats.slept();
    }
    stats.finish(wall);
    ASSERT_EQ(6u, stats.ticks().size());
    const RunStats::Cadence c = stats.cadence();
    EXPECT_EQ(17u, c.shortestMs);
    EXPECT_EQ(17u, c.medianMs);
    EXPECT_EQ(42u, c.longestMs);
    EXPECT_EQ(6u, c.mostInASecond);
    EXPECT_EQ(0xFFFFFFDFu, c.firstMs);
    EXPECT_EQ(77u, c.lastMs);
    EXPECT_NE(std::string::npos,
              stats.report().find("time between ticks (ms): shortest 17, median 17, longest 42; at "
                                  "most 6 in a second (clock 4294967263 to 77)"))
        << stats.report();
}

} // namespace
