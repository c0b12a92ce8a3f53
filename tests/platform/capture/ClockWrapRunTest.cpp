// Twenty seconds of playback across the wrap of the 32-bit millisecond clock, which
// Windows reaches after 49.7 days of uptime: LETTERBOX_CLOCK_START puts it 10 s
// after the start of the process.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ProgramRuns.h"

namespace {

using namespace programruns;
using ClockWrapRun = ProgramRunTest;

// 10 s before the wrap.
const std::string NEAR_WRAP = "LETTERBOX_CLOCK_START=-10000";
// Ticks that start before 20 s of the scene clock, 17 ms apart: 0 to 1176.
constexpr unsigned TICKS_BEFORE_20S = 1177;

// On the virtual clock loading takes no time, so the wrap comes 10 s into playback;
// the run must be the same tick for tick and byte for byte as one far from the wrap.
TEST_F(ClockWrapRun, VirtualClockDrawsTheSameFramesAcrossTheWrap) {
    const std::string dir = outDir();
    ASSERT_EQ(0, run("--capture '" + dir + "/plain.y4m' --to 20 --stats", "plain"))
        << readText(dir + "/plain.err");
    ASSERT_EQ(0, run("--capture '" + dir + "/wrap.y4m' --to 20 --stats", "wrap", NEAR_WRAP))
        << readText(dir + "/wrap.err");

    EXPECT_EQ(TICKS_BEFORE_20S, y4mFrameCount(dir + "/wrap.y4m"));
    EXPECT_TRUE(sameBytes(dir + "/plain.y4m", dir + "/wrap.y4m")) << "the frames differ";
    EXPECT_TRUE(sameBytes(dir + "/plain.wav", dir + "/wrap.wav")) << "the sound differs";

    for (const char* name : {"plain", "wrap"}) {
        const std::string out = readText(dir + "/" + name + ".out");
        const TickCounts ticks = tickCounts(out);
        EXPECT_EQ(TICKS_BEFORE_20S, ticks.updated) << name << ":\n" << out;
        EXPECT_EQ(TICKS_BEFORE_20S, ticks.rendered) << name << ":\n" << out;
        const Cadence c = cadence(out);
        ASSERT_TRUE(c.found) << out;
        EXPECT_EQ(17u, c.shortest) << name;
        EXPECT_EQ(17u, c.longest) << name;
        EXPECT_EQ(59u, c.mostInASecond) << name;
    }
    const Cadence wrapped = cadence(readText(dir + "/wrap.out"));
    EXPECT_GT(wrapped.first, 0xFFFF0000u) << "the first tick comes before the wrap";
    EXPECT_LT(wrapped.last, 0x10000u) << "the last tick comes after the wrap";
}

// On the real clock the wrap comes during playback unless loading takes 10 s. The loop
// must go on ticking at its pace through it: no stall (a hang would never reach 20 s),
// no burst of ticks.
TEST_F(ClockWrapRun, RealClockKeepsItsPaceAcrossTheWrap) {
    const std::string dir = outDir();
    ASSERT_EQ(0,
              run("--to 20 --stats", "live",
                  "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LETTERBOX_MESSAGEBOX=stderr " +
                      NEAR_WRAP + " env -u DISPLAY -u WAYLAND_DISPLAY timeout 300"))
        << readText(dir + "/live.err");
    const std::string out = readText(dir + "/live.out");
    const TickCounts ticks = tickCounts(out);
    ASSERT_TRUE(ticks.found) << out;
    // At most one tick per 17 ms of the 20 s, and the first tick before the scene
    // clock starts; at least a quarter of that on a machine as loaded as CI's.
    EXPECT_LE(ticks.updated, TICKS_BEFORE_20S + 1) << out;
    EXPECT_GE(ticks.updated, TICKS_BEFORE_20S / 4) << out;
    const Cadence c = cadence(out);
    ASSERT_TRUE(c.found) << out;
    std::printf("real clock: %u ticks, %u ms to %u ms apart (median %u), at most %u in a second, "
                "clock %u to %u\n",
                ticks.updated, c.shortest, c.longest, c.median, c.mostInASecond, c.first, c.last);
    // The loop ticks when more than 16 ms have passed: at most 59 ticks in a second,
    // one more where the statistics read a tick's clock early.
    EXPECT_LE(c.mostInASecond, 60u) << out;
    EXPECT_LE(c.longest, 5000u) << out;
    if (c.first < c.last) {
        GTEST_SKIP() << "loading took 10 s: the wrap came before playback\n" << out;
    }
    EXPECT_GT(c.first, 0xFFFF0000u) << out;
    EXPECT_LT(c.last, 0x10000u) << out;
}

} // namespace
