// Whole runs of the program, headless: short captures and what they must hold.
// Runs are kept short (two seconds of playback at most) for the CI's budget.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "FrameSink.h"
#include "PngImage.h"
#include "WaveFile.h"

namespace {

namespace fs = std::filesystem;

const std::string BUILD = LETTERBOX_BUILD_DIR;
// The whole program unloads the GL driver at exit, and what the driver still holds
// then shows as leaks whose stacks name no module: no suppression can single them
// out. Only the program's output is under test here.
const std::string CHILD_ENV = "env ASAN_OPTIONS=detect_leaks=0";

// A folder of this process and test alone: ctest runs the cases side by side, and
// other build folders may run them at the same time.
std::string outDir() {
    const std::string dir = ::testing::TempDir() + "launcher-run-" + std::to_string(getpid()) +
                            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(dir);
    return dir;
}

// Removes the test's folder when it passed (the captures are large); kept for a look
// when it failed.
class LauncherRun : public ::testing::Test {
protected:
    void TearDown() override {
        if (!HasFailure()) {
            std::error_code ignored;
            fs::remove_all(outDir(), ignored);
        }
    }
};

std::vector<uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readText(const std::string& path) {
    const std::vector<uint8_t> bytes = readAll(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs the program in the build folder (where data/ is); its exit status.
int run(const std::string& arguments, const std::string& name) {
    const std::string command = "cd '" + BUILD + "' && " + CHILD_ENV + " '" + LETTERBOX_PROGRAM +
                                "' " + arguments + " > '" + outDir() + "/" + name + ".out' 2> '" +
                                outDir() + "/" + name + ".err'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Y4m {
    std::string header;
    std::vector<std::vector<uint8_t>> frames;
};

Y4m readY4m(const std::string& path) {
    const std::vector<uint8_t> bytes = readAll(path);
    Y4m y4m;
    auto newline = std::find(bytes.begin(), bytes.end(), '\n');
    if (newline == bytes.end()) {
        return y4m;
    }
    y4m.header.assign(bytes.begin(), newline + 1);
    const size_t frameBytes = 800 * 600 * 3 / 2;
    size_t at = static_cast<size_t>(newline + 1 - bytes.begin());
    while (at + 6 + frameBytes <= bytes.size() &&
           std::string(bytes.begin() + at, bytes.begin() + at + 6) == "FRAME\n") {
        y4m.frames.emplace_back(bytes.begin() + at + 6, bytes.begin() + at + 6 + frameBytes);
        at += 6 + frameBytes;
    }
    EXPECT_EQ(at, bytes.size()) << "trailing bytes in " << path;
    return y4m;
}

// The soundtrack the program plays, for comparison.
const WaveFile& soundtrack() {
    static WaveFile wave = [] {
        WaveFile w;
        EXPECT_EQ(WaveFile::Error::None, w.load((BUILD + "/data/dmb.wav").c_str()));
        return w;
    }();
    return wave;
}

// Sample frames [first, end) of the soundtrack.
std::vector<uint8_t> soundtrackFrames(uint64_t first, uint64_t end) {
    const WaveFile& w = soundtrack();
    return std::vector<uint8_t>(w.samples.begin() + static_cast<ptrdiff_t>(first * w.blockAlign),
                                w.samples.begin() + static_cast<ptrdiff_t>(end * w.blockAlign));
}

// Frames k x 17 ms before 2 s: 0 to 117; from 1 s: 59 (1003 ms) on.
constexpr size_t FRAMES_BEFORE_2S = 118;
constexpr size_t FIRST_FROM_1S = 59;

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

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
    std::istringstream lines(out);
    bool found = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("all ", 0) == 0) {
            std::istringstream fields(line.substr(4));
            unsigned updated = 0, rendered = 0, skipped = 0;
            fields >> updated >> rendered >> skipped;
            EXPECT_EQ(FRAMES_BEFORE_2S, updated) << line;
            EXPECT_EQ(FRAMES_BEFORE_2S, rendered) << line;
            EXPECT_EQ(0u, skipped) << line;
            found = true;
        }
    }
    EXPECT_TRUE(found) << out;
    EXPECT_NE(std::string::npos, out.find("shader compilations after the first second")) << out;

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
