// Whole runs of the program, headless: short captures and what they must hold.
// Runs are kept short (two seconds of playback at most) for the CI's budget.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "FrameSink.h"
#include "PngImage.h"
#include "ProgramRuns.h"
#include "WaveFile.h"

namespace {

namespace fs = std::filesystem;
using namespace programruns;

using LauncherRun = ProgramRunTest;

// Frames k x 17 ms before 2 s: 0 to 117; from 1 s: 59 (1003 ms) on.
constexpr size_t FRAMES_BEFORE_2S = 118;
constexpr size_t FIRST_FROM_1S = 59;

// One whole short capture with its trace and statistics, then a second one from 1 s:
// two program runs, the most this suite can afford.
TEST_F(LauncherRun, ShortCaptureTraceStatisticsAndFrom) {
    const std::string dir = outDir();
    ASSERT_EQ(
        0, run("--capture '" + dir + "/a.y4m' --to 2 --trace '" + dir + "/a.trace' --stats", "a"))
        << readText(dir + "/a.err");
    const Y4m a = readY4m(dir + "/a.y4m");
    EXPECT_EQ("YUV4MPEG2 W800 H600 F1000:17 Ip A1:1 C420jpeg XCOLORRANGE=LIMITED\n", a.header);
    ASSERT_EQ(FRAMES_BEFORE_2S, a.frames.size());
    EXPECT_NE(a.frames.front(), a.frames.back()); // the pictures move

    // The sound starts with the soundtrack's sample 0 at frame 0 and lasts as long as the
    // frames: 118 x 17 ms.
    WaveFile wav;
    ASSERT_EQ(WaveFile::Error::None, wav.load((dir + "/a.wav").c_str()));
    const WaveFile& original = soundtrack();
    EXPECT_EQ(original.sampleRate, wav.sampleRate);
    EXPECT_EQ(original.channels, wav.channels);
    const uint64_t rate = original.sampleRate;
    const uint64_t expected = FRAMES_BEFORE_2S * 17 * rate / 1000;
    ASSERT_EQ(expected, wav.frameCount());
    EXPECT_TRUE(wav.samples == soundtrackFrames(0, expected));

    // The trace: the loading screen's nine frames, then one per tick up to the end time;
    // the capture's read-back is not in it; the program's teardown ran.
    const std::string trace = readText(dir + "/a.trace");
    EXPECT_EQ(9 + FRAMES_BEFORE_2S, count(trace, "IDirect3DDevice8::Present("));
    EXPECT_EQ(9 + FRAMES_BEFORE_2S, count(trace, "IDirect3DDevice8::BeginScene("));
    EXPECT_EQ(0u, count(trace, "GetFrontBuffer"));
    EXPECT_NE(std::string::npos, trace.rfind("IDirect3DDevice8::Release"));

    // Statistics: on the virtual clock every tick comes 17 ms after the one before and
    // renders.
    const std::string out = readText(dir + "/a.out");
    const TickCounts ticks = tickCounts(out);
    EXPECT_TRUE(ticks.found) << out;
    EXPECT_EQ(FRAMES_BEFORE_2S, ticks.updated) << out;
    EXPECT_EQ(FRAMES_BEFORE_2S, ticks.rendered) << out;
    EXPECT_EQ(0u, ticks.skipped) << out;
    EXPECT_NE(std::string::npos, out.find("shader compilations after the first second")) << out;
    // Every program the first scene draws with was compiled behind the loading screen.
    EXPECT_NE(std::string::npos, out.find("shader compilations during playback: 0")) << out;

    // A second capture from 1 s: byte for byte the whole run's frames 59 to 117, and its
    // sound the same stretch of the soundtrack.
    ASSERT_EQ(0, run("--capture '" + dir + "/c.y4m' --from 1 --to 2", "c"))
        << readText(dir + "/c.err");
    std::vector<uint8_t> expectedBytes(a.header.begin(), a.header.end());
    for (size_t i = FIRST_FROM_1S; i < FRAMES_BEFORE_2S; ++i) {
        static const std::string FRAME = "FRAME\n";
        expectedBytes.insert(expectedBytes.end(), FRAME.begin(), FRAME.end());
        expectedBytes.insert(expectedBytes.end(), a.frames[i].begin(), a.frames[i].end());
    }
    const std::vector<uint8_t> cBytes = readAll(dir + "/c.y4m");
    EXPECT_EQ(expectedBytes.size(), cBytes.size());
    EXPECT_TRUE(cBytes == expectedBytes);
    WaveFile cWav;
    ASSERT_EQ(WaveFile::Error::None, cWav.load((dir + "/c.wav").c_str()));
    const uint64_t first = FIRST_FROM_1S * 17 * rate / 1000;
    ASSERT_EQ(expected - first, cWav.frameCount());
    EXPECT_TRUE(cWav.samples == soundtrackFrames(first, expected));
}

// A capture at twice the resolution: 1600 x 1200 frames whose luma, averaged over each
// 2 x 2 block, is the picture of the same frame at the program's own size.
TEST_F(LauncherRun, CaptureAtScaleTwoIsTwiceAsLargeAndTheSamePicture) {
    const std::string dir = outDir();
    ASSERT_EQ(0, run("--capture '" + dir + "/one.y4m' --to 0.5", "one"))
        << readText(dir + "/one.err");
    ASSERT_EQ(0, run("--scale 2 --capture '" + dir + "/two.y4m' --to 0.5", "two"))
        << readText(dir + "/two.err");
    const Y4m one = readY4m(dir + "/one.y4m");
    const Y4m two = readY4m(dir + "/two.y4m", 1600, 1200);
    EXPECT_EQ("YUV4MPEG2 W1600 H1200 F1000:17 Ip A1:1 C420jpeg XCOLORRANGE=LIMITED\n", two.header);
    ASSERT_EQ(one.frames.size(), two.frames.size());
    ASSERT_FALSE(one.frames.empty());
    const std::vector<uint8_t>& small = one.frames.back();
    const std::vector<uint8_t>& large = two.frames.back();
    double squared = 0.0;
    for (size_t y = 0; y < 600; ++y) {
        for (size_t x = 0; x < 800; ++x) {
            const int sum = large[(2 * y) * 1600 + 2 * x] + large[(2 * y) * 1600 + 2 * x + 1] +
                            large[(2 * y + 1) * 1600 + 2 * x] +
                            large[(2 * y + 1) * 1600 + 2 * x + 1];
            const double d = sum / 4.0 - small[y * 800 + x];
            squared += d * d;
        }
    }
    const double mse = squared / (800.0 * 600.0);
    const double psnr = mse > 0.0 ? 10.0 * std::log10(255.0 * 255.0 / mse) : 99.0;
    EXPECT_GT(psnr, 30.0) << "mean squared error " << mse;
}

TEST_F(LauncherRun, PlayScriptWithoutADisplayCapturesIntoOut) {
    const std::string out = outDir() + "/play-out";
    const std::string command =
        "cd '" LETTERBOX_SOURCE_DIR
        "' && env -u DISPLAY -u WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0 "
        "LETTERBOX_OUT='" +
        out + "' /bin/bash scripts/play.sh '" + BUILD + "' --to 0.5 > '" + outDir() +
        "/play.txt' 2>&1";
    const int status = std::system(command.c_str());
    const std::string said = readText(outDir() + "/play.txt");
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << said;
    // Half a second holds one second's frame: a sheet of one tile, a quarter of the frame.
    PngImage sheet;
    std::string error;
    ASSERT_TRUE(sheet.read(out + "/contact-sheet.png", error)) << error << said;
    EXPECT_EQ(4u + 200 + 4, sheet.width);
    EXPECT_EQ(4u + 150 + 4, sheet.height);
    EXPECT_NE(std::string::npos, said.find(out + "/contact-sheet.png")) << said;
    if (FrameSink::findProgram("ffmpeg").empty()) {
        // Without ffmpeg: Y4M and WAV, 0 to 493 ms.
        EXPECT_TRUE(fs::exists(out + "/letterbox.wav")) << said;
        EXPECT_NE(std::string::npos, said.find(out + "/letterbox.y4m")) << said;
        EXPECT_EQ(30u, readY4m(out + "/letterbox.y4m").frames.size());
    } else {
        EXPECT_TRUE(fs::exists(out + "/letterbox.mp4")) << said;
        EXPECT_NE(std::string::npos, said.find(out + "/letterbox.mp4")) << said;
    }
}

TEST_F(LauncherRun, BadCommandLinesEndWithStatusTwo) {
    EXPECT_EQ(2, run("--capture", "bad1"));
    EXPECT_NE(std::string::npos, readText(outDir() + "/bad1.err").find("--capture needs"));
    EXPECT_EQ(2, run("--to soon", "bad2"));
    EXPECT_NE(std::string::npos, readText(outDir() + "/bad2.err").find("'soon'"));
}

TEST_F(LauncherRun, VideoWithoutFfmpegIsRefusedBeforeTheRun) {
    if (!FrameSink::findProgram("ffmpeg").empty()) {
        GTEST_SKIP() << "ffmpeg is installed";
    }
    // Refused before anything runs, and nothing is written.
    EXPECT_EQ(1, run("--capture '" + outDir() + "/film.mkv' --to 1", "noffmpeg"));
    EXPECT_NE(std::string::npos, readText(outDir() + "/noffmpeg.err").find("ffmpeg"));
    EXPECT_FALSE(fs::exists(outDir() + "/film.mkv"));
}

} // namespace
