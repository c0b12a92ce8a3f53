// Whole runs of the program, headless: short captures and what they must hold.
// Runs are kept short (two seconds of playback at most) for the CI's budget.
#include <gtest/gtest.h>

#include <sys/wait.h>

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

std::string outDir() {
    static const std::string dir = [] {
        const std::string d = ::testing::TempDir() + "launcher-run-test";
        fs::remove_all(d);
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

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
    const std::string command = "cd '" + BUILD + "' && '" + LETTERBOX_PROGRAM + "' " + arguments +
                                " > '" + outDir() + "/" + name + ".out' 2> '" + outDir() + "/" +
                                name + ".err'";
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

// The whole two-second capture, made once and shared by the cases below.
class TwoSecondCapture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        status = run("--capture '" + outDir() + "/a.y4m' --to 2 --trace '" + outDir() +
                         "/a.trace' --stats",
                     "a");
        a = readY4m(outDir() + "/a.y4m");
    }
    static int status;
    static Y4m a;
};
int TwoSecondCapture::status = -1;
Y4m TwoSecondCapture::a;

// Frames k x 17 ms before 2 s: 0 to 117.
constexpr size_t FRAMES_BEFORE_2S = 118;

TEST_F(TwoSecondCapture, FramesHeaderAndAlignedSound) {
    ASSERT_EQ(0, status) << readText(outDir() + "/a.err");
    EXPECT_EQ("YUV4MPEG2 W800 H600 F1000:17 Ip A1:1 C420jpeg XCOLORRANGE=LIMITED\n", a.header);
    ASSERT_EQ(FRAMES_BEFORE_2S, a.frames.size());
    // Playback is not the loading screen: the first frame already shows the scene, and
    // the pictures move.
    EXPECT_NE(a.frames.front(), a.frames.back());

    // The sound starts with the soundtrack's sample 0 at frame 0 and lasts as long as
    // the frames: 118 x 17 ms.
    WaveFile wav;
    ASSERT_EQ(WaveFile::Error::None, wav.load((outDir() + "/a.wav").c_str()));
    const WaveFile& original = soundtrack();
    EXPECT_EQ(original.sampleRate, wav.sampleRate);
    EXPECT_EQ(original.channels, wav.channels);
    const uint64_t expected = FRAMES_BEFORE_2S * 17 * uint64_t{original.sampleRate} / 1000;
    ASSERT_EQ(expected, wav.frameCount());
    EXPECT_TRUE(wav.samples == soundtrackFrames(0, expected));
}

TEST_F(TwoSecondCapture, TraceOfTheRunLeavesOutTheReadBack) {
    const std::string trace = readText(outDir() + "/a.trace");
    ASSERT_FALSE(trace.empty());
    size_t presents = 0;
    for (size_t at = trace.find("IDirect3DDevice8::Present("); at != std::string::npos;
         at = trace.find("IDirect3DDevice8::Present(", at + 1)) {
        ++presents;
    }
    // The loading screen's nine frames, then one per tick up to the end time.
    EXPECT_EQ(9 + FRAMES_BEFORE_2S, presents);
    EXPECT_NE(std::string::npos, trace.find("IDirect3DDevice8::BeginScene"));
    EXPECT_EQ(std::string::npos, trace.find("GetFrontBuffer"));
    // The program's teardown ran after the end time: the device was released to zero.
    EXPECT_NE(std::string::npos, trace.rfind("IDirect3DDevice8::Release"));
}

TEST_F(TwoSecondCapture, StatisticsCountEveryTickAsRendered) {
    const std::string out = readText(outDir() + "/a.out");
    EXPECT_NE(std::string::npos, out.find("render ms")) << out;
    // On the virtual clock every tick comes 17 ms after the one before and renders.
    std::istringstream lines(out);
    bool found = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("all ", 0) == 0) {
            std::istringstream fields(line.substr(4));
            unsigned updated = 0, rendered = 0, skipped = 0;
            fields >> updated >> rendered >> skipped;
            EXPECT_EQ(FRAMES_BEFORE_2S, rendered) << line;
            EXPECT_EQ(0u, skipped) << line;
            EXPECT_EQ(updated, rendered) << line;
            found = true;
        }
    }
    EXPECT_TRUE(found) << out;
}

TEST_F(TwoSecondCapture, SecondCaptureIsByteIdenticalAndFromCutsTheSameFrames) {
    ASSERT_EQ(0, status);
    ASSERT_EQ(0, run("--capture '" + outDir() + "/b.y4m' --to 2", "b"))
        << readText(outDir() + "/b.err");
    EXPECT_TRUE(readAll(outDir() + "/a.y4m") == readAll(outDir() + "/b.y4m"));
    EXPECT_TRUE(readAll(outDir() + "/a.wav") == readAll(outDir() + "/b.wav"));

    // From 1 s: frame 59 (1003 ms) on, the same pictures as the whole run's.
    ASSERT_EQ(0, run("--capture '" + outDir() + "/c.y4m' --from 1 --to 2", "c"))
        << readText(outDir() + "/c.err");
    const Y4m c = readY4m(outDir() + "/c.y4m");
    EXPECT_EQ(a.header, c.header);
    ASSERT_EQ(FRAMES_BEFORE_2S - 59, c.frames.size());
    for (size_t i = 0; i < c.frames.size(); ++i) {
        EXPECT_TRUE(c.frames[i] == a.frames[59 + i]) << "frame " << 59 + i;
    }
    WaveFile wav;
    ASSERT_EQ(WaveFile::Error::None, wav.load((outDir() + "/c.wav").c_str()));
    const uint64_t rate = soundtrack().sampleRate;
    const uint64_t first = 59 * 17 * rate / 1000, end = FRAMES_BEFORE_2S * 17 * rate / 1000;
    ASSERT_EQ(end - first, wav.frameCount());
    EXPECT_TRUE(wav.samples == soundtrackFrames(first, end));
}

TEST(LauncherRun, PngFolderAndContactSheet) {
    const std::string folder = outDir() + "/pngs";
    ASSERT_EQ(
        0, run("--capture '" + folder + "' --to 1.1 --contact-sheet '" + outDir() + "/sheet.png'",
               "png"))
        << readText(outDir() + "/png.err");
    // 0 to 64 (1088 ms): 65 pictures.
    EXPECT_TRUE(fs::exists(folder + "/frame-00000.png"));
    EXPECT_TRUE(fs::exists(folder + "/frame-00064.png"));
    EXPECT_FALSE(fs::exists(folder + "/frame-00065.png"));
    EXPECT_EQ(65 + 1, std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    PngImage frame;
    std::string error;
    ASSERT_TRUE(frame.read(folder + "/frame-00010.png", error)) << error;
    EXPECT_EQ(800u, frame.width);
    EXPECT_EQ(600u, frame.height);
    WaveFile wav;
    ASSERT_EQ(WaveFile::Error::None, wav.load((folder + "/soundtrack.wav").c_str()));
    EXPECT_EQ(65 * 17 * uint64_t{soundtrack().sampleRate} / 1000, wav.frameCount());
    // Two seconds' frames (0 and 1) on the sheet, one row of two tiles.
    PngImage sheet;
    ASSERT_TRUE(sheet.read(outDir() + "/sheet.png", error)) << error;
    EXPECT_EQ(4u + 2 * (200 + 4), sheet.width);
    EXPECT_EQ(4u + 150 + 4, sheet.height);
}

TEST(LauncherRun, PlayScriptWithoutADisplayCapturesIntoOut) {
    const std::string out = outDir() + "/play-out";
    const std::string command =
        "cd '" LETTERBOX_SOURCE_DIR "' && env -u DISPLAY -u WAYLAND_DISPLAY LETTERBOX_OUT='" + out +
        "' /bin/bash scripts/play.sh '" + BUILD + "' --to 0.5 > '" + outDir() + "/play.txt' 2>&1";
    const int status = std::system(command.c_str());
    const std::string said = readText(outDir() + "/play.txt");
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << said;
    EXPECT_TRUE(fs::exists(out + "/contact-sheet.png")) << said;
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

TEST(LauncherRun, BadCommandLinesAndMissingFfmpeg) {
    EXPECT_EQ(2, run("--capture", "bad1"));
    EXPECT_NE(std::string::npos, readText(outDir() + "/bad1.err").find("--capture needs"));
    EXPECT_EQ(2, run("--to soon", "bad2"));
    EXPECT_NE(std::string::npos, readText(outDir() + "/bad2.err").find("'soon'"));
    if (!FrameSink::findProgram("ffmpeg").empty()) {
        GTEST_SKIP() << "ffmpeg is installed";
    }
    // Refused before anything runs, and nothing is written.
    EXPECT_EQ(1, run("--capture '" + outDir() + "/film.mkv' --to 1", "noffmpeg"));
    EXPECT_NE(std::string::npos, readText(outDir() + "/noffmpeg.err").find("ffmpeg"));
    EXPECT_FALSE(fs::exists(outDir() + "/film.mkv"));
}

} // namespace
