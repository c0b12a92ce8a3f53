#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "audio/MusicPlayer.h"
#include "ProbeScene.h"
#include "RecordingDevice.h"
#include "demo/Sequencer.h"

#include <SystemClock.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A quad's screen rectangle from its four fan-ordered corners.
struct Rect {
    float x, y, w, h;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
}
Rect rectOf(const RecordedCall& draw) {
    const std::vector<ScreenVertex>& v = draw.vertices;
    return Rect{v[0].x, v[0].y, v[2].x - v[0].x, v[2].y - v[0].y};
}

class SequencerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SystemClock::instance().configure(true, 5000);
        Sequencer::playbackStarted = 0;
        graphics.device = &device;
        graphics.width = 800;
        graphics.height = 600;
    }
    void TearDown() override { graphics.device = nullptr; }

    // Loads all eight slots, then puts probes in them.
    void loadWithProbes() {
        ASSERT_EQ(sequence.load(&graphics, 8), 0);
        for (int i = 0; i < 8; ++i) {
            probes.push_back(std::make_unique<ProbeScene>(&journal, i));
            sequence.slots[i] = probes.back().get();
        }
        journal.clear();
        device.clear();
    }

    // Ticks until the sequence reports its end, moving the clock 17 ms per tick.
    std::vector<int> startTicks(int maxTicks, int* endTick) {
        std::vector<int> starts(8, -1);
        starts[0] = 0;
        for (int tick = 1; tick <= maxTicks; ++tick) {
            Sleep(17);
            int before = sequence.getCurrent();
            if (sequence.update() != 0) {
                *endTick = tick;
                return starts;
            }
            if (sequence.getCurrent() != before) {
                starts[sequence.getCurrent()] = tick;
            }
            sequence.render();
        }
        *endTick = -1;
        return starts;
    }

    RecordingDevice device;
    GraphicsDevice graphics;
    Sequencer sequence;
    std::vector<std::string> journal;
    std::vector<std::unique_ptr<ProbeScene>> probes;
    MessageBoxRecorder boxes; // the missing images' messages
};

TEST_F(SequencerTest, LoadingScreenShowsTheBarFillingSlotBySlot) {
    ASSERT_EQ(sequence.load(&graphics, 8), 0);

    // One first frame and one frame per slot, each cleared to opaque black.
    std::vector<RecordedCall> presents = device.named("Present");
    ASSERT_EQ(presents.size(), 9u);
    EXPECT_EQ(presents[0].args, (std::vector<uint64_t>{0, 0, 0, 0}));
    std::vector<RecordedCall> clears = device.named("Clear");
    ASSERT_EQ(clears.size(), 9u);
    for (const RecordedCall& clear : clears) {
        EXPECT_EQ(clear.args, (std::vector<uint64_t>{0, 0, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                                                     0xFF000000u, 0}));
        EXPECT_EQ(clear.floats[0], 1.0f);
    }

    // Each frame: the dark empty bar, then (after the first) the bright filled part.
    std::vector<RecordedCall> draws = device.named("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 1u + 2u * 8u);
    EXPECT_EQ(rectOf(draws[0]), (Rect{272, 284, 256, 32}));
    EXPECT_EQ(draws[0].vertices[0].color, 0xFF400000u);
    EXPECT_EQ(draws[0].vertices[0].z, 1.0f);
    for (int i = 0; i < 8; ++i) {
        const RecordedCall& empty = draws[1 + 2 * i];
        const RecordedCall& filled = draws[2 + 2 * i];
        EXPECT_EQ(rectOf(empty), (Rect{272, 284, 256, 32})) << "slot " << i;
        EXPECT_EQ(empty.vertices[0].color, 0xFF400000u);
        EXPECT_EQ(rectOf(filled), (Rect{272, 284, 32.0f * i, 32})) << "slot " << i;
        EXPECT_EQ(filled.vertices[0].color, 0xFFFF0000u);
        EXPECT_EQ(filled.vertices[0].z, 1.0f);
    }
    EXPECT_EQ(sequence.getSlotCount(), 8);
    EXPECT_EQ(sequence.getCurrent(), 0);
    EXPECT_EQ(sequence.slots[0], &sequence.scene1);
    EXPECT_EQ(sequence.slots[6], &sequence.idleA);
    EXPECT_EQ(sequence.slots[7], &sequence.idleB);
    EXPECT_NE(sequence.music, nullptr);
}

TEST_F(SequencerTest, MissingImagesAreNamedOnceEachAndThePlayGoesOn) {
    // The recording device makes every texture load fail, as missing files do.
    ASSERT_EQ(sequence.load(&graphics, 8), 0);
    std::string shown = boxes.take();
    for (const char* name : {"data\\loading.bmp", "data\\obi.bmp", "data\\cloud1.bmp",
                             "data\\cloud2.bmp", "data\\cloud3.bmp", "data\\living.bmp"}) {
        size_t at = shown.find(name);
        ASSERT_NE(at, std::string::npos) << name << " in:\n" << shown;
        EXPECT_EQ(shown.find(name, at + 1), std::string::npos) << name << " shown twice";
        size_t lineStart = shown.rfind('\n', at);
        lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
        EXPECT_NE(shown.substr(lineStart, at - lineStart).find("エラー"), std::string::npos)
            << "caption of " << name;
    }

    // Without the band image the bands are drawn untextured.
    device.clear();
    sequence.render();
    EXPECT_EQ(sequence.update(), 0);
    std::vector<RecordedCall> binds = device.named("SetTexture");
    ASSERT_FALSE(binds.empty());
    for (const RecordedCall& bind : binds) {
        EXPECT_EQ(bind.args[1], 0u);
    }
    EXPECT_EQ(sequence.music->openParams.wDeviceID, 0u) << "no soundtrack: silent";
    EXPECT_EQ(sequence.clock.getMark(), 72) << "the clock runs without the music";
}

TEST_F(SequencerTest, SlotZeroStartsAfterTheLastLoadingFrame) {
    ASSERT_EQ(sequence.load(&graphics, 8), 0);
    std::vector<std::string> names = device.names();
    // The last calls are slot 0's start: its render states, after the last Present.
    size_t lastPresent = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == "Present") {
            lastPresent = i;
        }
    }
    ASSERT_LT(lastPresent + 1, names.size());
    for (size_t i = lastPresent + 1; i < names.size(); ++i) {
        EXPECT_EQ(names[i], "SetRenderState");
    }
    EXPECT_EQ(sequence.scene1.device, &device);
    EXPECT_EQ(sequence.idleB.graphics, &graphics);
}

TEST_F(SequencerTest, CountsAboveEightAreRefusedBeforeAnythingIsLoaded) {
    for (int count : {9, 15, 16}) {
        Sequencer refused;
        EXPECT_EQ(refused.load(&graphics, count), 1) << count;
        EXPECT_EQ(refused.slots[0], nullptr);
        EXPECT_EQ(refused.getSlotCount(), 0);
        EXPECT_NE(refused.music, nullptr) << "the player is made before the check";
    }
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(SequencerTest, FailedPresentIsAnsweredWithOneResetWithTheStoredParameters) {
    graphics.presentParameters.BackBufferWidth = 800;
    graphics.presentParameters.Windowed = FALSE;
    graphics.presentParameters.BackBufferCount = 1;
    device.presentResult = D3DERR_DEVICELOST;
    ASSERT_EQ(sequence.load(&graphics, 8), 0);
    EXPECT_EQ(device.named("Reset").size(), 9u);
    EXPECT_EQ(device.lastReset.Windowed, FALSE);
    EXPECT_EQ(device.lastReset.BackBufferCount, 1u);

    device.clear();
    sequence.render();
    std::vector<std::string> names = device.names();
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[names.size() - 2], "Present");
    EXPECT_EQ(names.back(), "Reset");
}

TEST_F(SequencerTest, RenderFramesTheSceneWithTwoBandsAndStartsTheClockOnce) {
    loadWithProbes();
    EXPECT_EQ(sequence.clock.getMark(), 0);
    sequence.render();
    EXPECT_EQ(journal, (std::vector<std::string>{"render 0"}));
    std::vector<std::string> names = device.names();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), "BeginScene");
    std::vector<RecordedCall> draws = device.named("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(rectOf(draws[0]), (Rect{0, 0, 800, 40}));
    EXPECT_EQ(rectOf(draws[1]), (Rect{0, 560, 800, 40}));
    EXPECT_EQ(draws[1].vertices[0].z, 0.0f);
    EXPECT_EQ(names[names.size() - 2], "EndScene");
    EXPECT_EQ(names.back(), "Present");
    EXPECT_EQ(device.named("SetRenderState").size(), 0u) << "the bands set no state";

    EXPECT_EQ(Sequencer::playbackStarted, 1);
    EXPECT_EQ(sequence.clock.getMark(), 72);
    uint32_t started = sequence.clock.startMs;
    Sleep(500);
    sequence.render();
    EXPECT_EQ(sequence.clock.startMs, started) << "the clock starts once";
}

TEST_F(SequencerTest, TimeEndsASlotOnlyOnceTheClockRuns) {
    loadWithProbes();
    Sleep(60000);
    // Before the first frame the elapsed time is huge, but the mark is 0.
    EXPECT_EQ(sequence.update(), 0);
    EXPECT_EQ(sequence.getCurrent(), 0);

    sequence.render();
    Sleep(8199);
    EXPECT_EQ(sequence.update(), 0);
    EXPECT_EQ(sequence.getCurrent(), 0);
    Sleep(1);
    EXPECT_EQ(sequence.update(), 0);
    EXPECT_EQ(sequence.getCurrent(), 1);
    EXPECT_EQ(journal.back(), "start 1");
}

TEST_F(SequencerTest, ASceneThatFinishesOnItsFirstTickIsLeftOnThatTick) {
    loadWithProbes();
    probes[0]->finishAfter = 1;
    // Even before the clock runs.
    EXPECT_EQ(sequence.update(), 0);
    sequence.render();
    EXPECT_EQ(journal, (std::vector<std::string>{"update 0", "start 1", "render 1"}));
}

TEST_F(SequencerTest, IdleSlotsLastOneTickAndTheEndComesThreeTicksAfterTheLastTime) {
    loadWithProbes();
    sequence.render();
    Sleep(70999);
    EXPECT_EQ(sequence.update(), 0);
    // All scene slots passed on consecutive ticks since their times are long gone.
    EXPECT_EQ(sequence.getCurrent(), 1);
    for (int slot = 2; slot <= 5; ++slot) {
        EXPECT_EQ(sequence.update(), 0);
        EXPECT_EQ(sequence.getCurrent(), slot);
    }
    EXPECT_EQ(sequence.update(), 0);
    EXPECT_EQ(sequence.getCurrent(), 5) << "71.0 s not reached yet";
    Sleep(1);
    EXPECT_EQ(sequence.update(), 0);
    EXPECT_EQ(sequence.getCurrent(), 6);
    EXPECT_EQ(sequence.update(), 0);
    EXPECT_EQ(sequence.getCurrent(), 7);
    EXPECT_EQ(sequence.update(), 1);
    EXPECT_EQ(sequence.getCurrent(), 0);
}

TEST_F(SequencerTest, AWholeRunAtSeventeenMillisecondsPerTick) {
    loadWithProbes();
    int endTick = 0;
    std::vector<int> starts = startTicks(10000, &endTick);
    // The clock starts with the first frame (tick 1), so slot k ends at the
    // first tick t with 17 (t - 1) ms >= its end time.
    EXPECT_EQ(starts, (std::vector<int>{0, 484, 1266, 1884, 2531, 3178, 4178, 4179}));
    EXPECT_EQ(endTick, 4180);
}

TEST_F(SequencerTest, NavigationMovesTheCurrentSlotWithoutCallingScenes) {
    loadWithProbes();
    sequence.next();
    sequence.next();
    EXPECT_EQ(sequence.getCurrent(), 2);
    sequence.previous();
    EXPECT_EQ(sequence.getCurrent(), 1);
    sequence.rewind();
    EXPECT_EQ(sequence.getCurrent(), 0);
    EXPECT_TRUE(journal.empty());
}

TEST(SequencerUnloaded, EndsAtOnceAndDrawsNothing) {
    Sequencer sequence;
    EXPECT_EQ(sequence.render(), 0);
    EXPECT_EQ(sequence.update(), 1);
}

} // namespace
