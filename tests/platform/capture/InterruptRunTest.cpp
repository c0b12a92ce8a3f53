// Runs ended from outside: a capture stopped by SIGINT or SIGTERM keeps exactly the
// frames it wrote and the sound of the same span; a live run whose window is closed
// partway tears down cleanly and frees what it allocated.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "FrameSink.h"
#include "ProgramRuns.h"
#include "WaveFile.h"

namespace {

using namespace programruns;
using InterruptRun = ProgramRunTest;
using Clock = std::chrono::steady_clock;

// Starts the program in the build folder through the shell, which execs it, so the
// pid is the program's own.
pid_t start(const std::string& arguments, const std::string& name, const std::string& environment) {
    const std::string command = "cd '" + BUILD + "' && exec env " + environment + " '" +
                                LETTERBOX_PROGRAM + "' " + arguments + " > '" + outDir() + "/" +
                                name + ".out' 2> '" + outDir() + "/" + name + ".err'";
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGINT, SIG_DFL);
        signal(SIGTERM, SIG_DFL);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// The exit status, or -1 for a run that died by a signal or did not end in time
// (then it is killed).
int finish(pid_t pid, std::chrono::seconds limit) {
    const auto end = Clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            ADD_FAILURE() << "the program did not end within " << limit.count() << " s";
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits until `path` holds at least `frames` frames of a Y4M stream.
bool waitForFrames(const std::string& path, int64_t frames, pid_t pid) {
    const auto end = Clock::now() + std::chrono::seconds(240);
    const uintmax_t bytes = 66 + static_cast<uintmax_t>(frames) * (800 * 600 * 3 / 2 + 6);
    while (Clock::now() < end) {
        std::error_code error;
        if (std::filesystem::file_size(path, error) >= bytes && !error) {
            return true;
        }
        if (waitpid(pid, nullptr, WNOHANG) != 0) {
            return false; // it ended on its own
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// "wrote frames 0 to N (...)": N + 1, or -1 when the line is missing.
int64_t framesReported(const std::string& err) {
    const size_t at = err.find("letterbox: wrote frames 0 to ");
    unsigned last = 0;
    if (at == std::string::npos ||
        std::sscanf(err.c_str() + at, "letterbox: wrote frames 0 to %u", &last) != 1) {
        return -1;
    }
    return int64_t{last} + 1;
}

TEST_F(InterruptRun, SignalledCaptureKeepsExactlyTheFramesWrittenAndTheirSound) {
    const std::string dir = outDir();
    const struct {
        int signal;
        const char* name;
        int64_t after; // frames written before the signal is sent
    } cases[] = {{SIGINT, "int", 40}, {SIGTERM, "term", 75}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string video = dir + "/" + c.name + ".y4m";
        const pid_t pid = start("--capture '" + video + "'", c.name, "ASAN_OPTIONS=detect_leaks=0");
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(waitForFrames(video, c.after, pid)) << readText(dir + "/" + c.name + ".err");
        kill(pid, c.signal);
        ASSERT_EQ(0, finish(pid, std::chrono::seconds(120)))
            << readText(dir + "/" + c.name + ".err");

        const std::string err = readText(dir + "/" + c.name + ".err");
        const int64_t frames = framesReported(err);
        ASSERT_GE(frames, c.after) << err;
        EXPECT_LT(frames, 4000) << "the signal did not end the run: " << err;
        const Y4m y4m = readY4m(video);
        ASSERT_EQ(static_cast<size_t>(frames), y4m.frames.size());

        // The same frames as a run that ends there by itself, byte for byte.
        const std::string reference = dir + "/" + c.name + "-to.y4m";
        char to[32];
        std::snprintf(to, sizeof to, "%.3f", static_cast<double>(frames) * 17.0 / 1000.0);
        ASSERT_EQ(0, run("--capture '" + reference + "' --to " + to, std::string(c.name) + "-to"))
            << readText(dir + "/" + c.name + "-to.err");
        EXPECT_TRUE(sameBytes(video, reference)) << "frames differ from a run to " << to << " s";

        // The sound of exactly those frames, from the soundtrack's start.
        WaveFile wav;
        ASSERT_EQ(WaveFile::Error::None, wav.load((dir + "/" + c.name + ".wav").c_str()));
        const uint64_t samples =
            static_cast<uint64_t>(frames) * 17 * soundtrack().sampleRate / 1000;
        ASSERT_EQ(samples, wav.frameCount());
        EXPECT_TRUE(wav.samples == soundtrackFrames(0, samples));
    }
}

// Where ffmpeg is installed: the video it encodes from a stopped capture holds the
// frames the program reported and a sound track as long.
TEST_F(InterruptRun, SignalledVideoCaptureIsPlayable) {
    const std::string ffprobe = FrameSink::findProgram("ffprobe");
    if (FrameSink::findProgram("ffmpeg").empty() || ffprobe.empty()) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    const std::string dir = outDir();
    const std::string video = dir + "/film.mp4";
    const pid_t pid = start("--capture '" + video + "'", "film", "ASAN_OPTIONS=detect_leaks=0");
    ASSERT_GT(pid, 0);
    // The frames go to ffmpeg; wait for the progress to show some.
    const auto end = Clock::now() + std::chrono::seconds(240);
    while (readText(dir + "/film.err").find("capture:") == std::string::npos &&
           Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGINT);
    ASSERT_EQ(0, finish(pid, std::chrono::seconds(180))) << readText(dir + "/film.err");
    const int64_t frames = framesReported(readText(dir + "/film.err"));
    ASSERT_GT(frames, 0);
    const std::string probe = "'" + ffprobe +
                              "' -v error -count_frames -select_streams v:0 -show_entries "
                              "stream=nb_read_frames -of csv=p=0 '" +
                              video + "' > '" + dir + "/frames.txt' && '" + ffprobe +
                              "' -v error -select_streams a:0 -show_entries stream=duration "
                              "-of csv=p=0 '" +
                              video + "' > '" + dir + "/sound.txt'";
    ASSERT_EQ(0, std::system(probe.c_str()));
    EXPECT_EQ(frames, std::atoll(readText(dir + "/frames.txt").c_str()));
    const double seconds = std::atof(readText(dir + "/sound.txt").c_str());
    EXPECT_NEAR(static_cast<double>(frames) * 0.017, seconds, 0.05);
}

// A live run, off screen on the real clock, whose window is asked to close at a few
// random moments (SIGINT, which the platform turns into WM_CLOSE to the window as a
// session ending would): it ends with status 0, its statistics show it went through
// teardown, and LeakSanitizer finds nothing left allocated.
TEST_F(InterruptRun, WindowClosedAtRandomTicksEndsCleanlyWithoutLeaks) {
#ifdef LETTERBOX_LEAK_CHECK_PRELOAD
    const std::string preload = "LD_PRELOAD=" LETTERBOX_LEAK_CHECK_PRELOAD " ";
#else
    const std::string preload;
#endif
    const std::string dir = outDir();
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> delayMs(1500, 9000);
    for (int i = 0; i < 3; ++i) {
        const std::string name = "live" + std::to_string(i);
        SCOPED_TRACE(name);
        const pid_t pid = start(
            "--stats", name,
            "-u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "
            "LETTERBOX_MESSAGEBOX=stderr ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 " +
                preload);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        kill(pid, SIGINT);
        const int status = finish(pid, std::chrono::seconds(120));
        const std::string err = readText(dir + "/" + name + ".err");
        EXPECT_EQ(0, status) << err;
        EXPECT_EQ(std::string::npos, err.find("LeakSanitizer")) << err;
        const TickCounts ticks = tickCounts(readText(dir + "/" + name + ".out"));
        EXPECT_TRUE(ticks.found) << "no statistics: the run did not finish its teardown";
        std::printf("closed after %u ticks\n", ticks.updated);
    }
}

} // namespace
