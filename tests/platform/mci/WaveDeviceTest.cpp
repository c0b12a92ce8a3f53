// The wave device over a stand-in output: what MCI reports (positions, modes, where a
// span ends, a pause held and resumed) is the device's own bookkeeping, whatever the
// output counts; the output is only told to play a span and to stop.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "SystemClock.h"
#include "WaveBuilder.h"
#include "WaveDevice.h"
#include "WaveOutput.h"

namespace {

namespace fs = std::filesystem;

// What the stand-in was told, and the frame it answers (moved on by `step` at every
// question, like a clock running between them).
struct OutputScript {
    std::vector<std::string> calls;
    MCIERROR openError = 0;
    uint32_t frame = 0;
    uint32_t step = 0;
};

class ScriptedOutput final : public WaveOutput {
public:
    explicit ScriptedOutput(OutputScript& script) : script(script) {}
    MCIERROR open(std::shared_ptr<const WaveFile> wave) override {
        script.calls.push_back("open " + std::to_string(wave->frameCount()));
        return script.openError;
    }
    void play(uint32_t first, uint32_t end) override {
        script.calls.push_back("play " + std::to_string(first) + " " + std::to_string(end));
        script.frame = first;
    }
    void stop() override { script.calls.push_back("stop"); }
    uint32_t position() override {
        const uint32_t frame = script.frame;
        script.frame += script.step;
        return frame;
    }

private:
    OutputScript& script;
};

// One second of 22.05 kHz stereo, on the real clock unless a test says otherwise.
class WaveDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = fs::temp_directory_path() /
               ("letterbox-wavedevice-" + std::to_string(::getpid()) + ".wav");
        WaveBuilder music;
        music.frames = 22050;
        music.write(path.string());
        SystemClock::instance().configure(false, 0);
    }
    void TearDown() override {
        SystemClock::instance().configure(false, 0);
        fs::remove(path);
    }
    fs::path path;
    OutputScript script;
};

TEST_F(WaveDeviceTest, PositionsModesAndTheSpanEndAreTheDevicesOwn) {
    WaveDevice wave(std::make_unique<ScriptedOutput>(script));
    ASSERT_EQ(0u, wave.open(path.c_str()));
    ASSERT_EQ(0u, wave.play(500, 800));
    EXPECT_EQ((std::vector<std::string>{"open 22050", "play 11025 17640"}), script.calls);
    script.frame = 12000;
    EXPECT_EQ(544u, wave.positionMs());
    EXPECT_EQ(MCI_MODE_PLAY, wave.mode());

    // Paused: the output is stopped and no longer asked; the device holds the place.
    wave.pause();
    EXPECT_EQ("stop", script.calls.back());
    script.frame = 15000;
    EXPECT_EQ(544u, wave.positionMs());
    EXPECT_EQ(MCI_MODE_PAUSE, wave.mode());
    // Resumed: the rest of the span is played from the held place.
    wave.resume();
    EXPECT_EQ("play 12000 17640", script.calls.back());

    // An output counting past the span's end still ends it there, and then the
    // device stands stopped at the end without asking again.
    script.frame = 20000;
    EXPECT_EQ(800u, wave.positionMs());
    EXPECT_EQ(MCI_MODE_STOP, wave.mode());
    script.frame = 12000;
    EXPECT_EQ(800u, wave.positionMs());

    // A seek stops the output and sets the place itself.
    script.calls.clear();
    EXPECT_EQ(0u, wave.seek(100));
    EXPECT_EQ((std::vector<std::string>{"stop"}), script.calls);
    EXPECT_EQ(100u, wave.positionMs());
    EXPECT_EQ(MCI_MODE_STOP, wave.mode());
}

TEST_F(WaveDeviceTest, WaitingOnTheRealClockAsksTheOutputUntilTheEnd) {
    WaveDevice wave(std::make_unique<ScriptedOutput>(script));
    ASSERT_EQ(0u, wave.open(path.c_str()));
    script.step = 2205; // 100 ms at every question
    ASSERT_EQ(0u, wave.play(0, 1000));
    wave.waitUntilDone();
    EXPECT_EQ(MCI_MODE_STOP, wave.mode());
    EXPECT_EQ(1000u, wave.positionMs());
    EXPECT_EQ((std::vector<std::string>{"open 22050", "play 0 22050"}), script.calls);
}

TEST_F(WaveDeviceTest, AnOutputThatDoesNotOpenFailsTheOpenAndTheVirtualClockOpensNone) {
    script.openError = MCIERR_WAVE_OUTPUTSINUSE;
    WaveDevice refused(std::make_unique<ScriptedOutput>(script));
    EXPECT_EQ(MCIERR_WAVE_OUTPUTSINUSE, refused.open(path.c_str()));

    script = OutputScript{};
    SystemClock::instance().configure(true, 0);
    WaveDevice silent(std::make_unique<ScriptedOutput>(script));
    ASSERT_EQ(0u, silent.open(path.c_str()));
    ASSERT_EQ(0u, silent.play(0, 1000));
    SystemClock::instance().sleep(250);
    EXPECT_EQ(250u, silent.positionMs());
    EXPECT_TRUE(script.calls.empty());
}

} // namespace
