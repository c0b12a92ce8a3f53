#include "app/DemoMain.h"
#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "app/PacedLoop.h"
#include "RecordingDevice.h"
#include "demo/Sequencer.h"

#include <SystemClock.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Passes ticks and frames to the sequence and notes the tick on which each slot starts.
class SlotWatcher : public Task {
public:
    explicit SlotWatcher(Sequencer* sequence) : sequence(sequence), starts(8, -1) { starts[0] = 0; }

    int update() override {
        ticks += 1;
        int before = sequence->getCurrent();
        int result = sequence->update();
        if (result == 0 && sequence->getCurrent() != before) {
            starts[sequence->getCurrent()] = ticks;
        }
        return result;
    }
    int render() override {
        renders += 1;
        return sequence->render();
    }

    Sequencer* sequence;
    std::vector<int> starts;
    int ticks = 0;
    int renders = 0;
};

// The whole sequence through the paced loop on the virtual clock, where every
// tick comes 17 ms after the last and is rendered.
TEST(WholeRun, TicksAndSlotStartsOnTheVirtualClock) {
    SystemClock::instance().configure(true, 1000);
    quitRequested = 0;
    Sequencer::playbackStarted = 0;
    RecordingDevice device;
    GraphicsDevice graphics;
    graphics.device = &device;
    graphics.width = 800;
    graphics.height = 600;
    {
        Sequencer sequence;
        MessageBoxRecorder boxes;
        PacedLoop loop;
        loop.markTick();
        sequence.load(&graphics, 8);
        boxes.take();
        SlotWatcher watcher(&sequence);
        loop.run(watcher);

        EXPECT_EQ(watcher.ticks, 4180);
        EXPECT_EQ(watcher.renders, 4179) << "every tick but the last is rendered";
        EXPECT_EQ(watcher.starts, (std::vector<int>{0, 484, 1266, 1884, 2531, 3178, 4178, 4179}));
        EXPECT_EQ(quitRequested, 1);
        // 71.0 s of clock, plus the first tick before the clock started.
        EXPECT_EQ(timeGetTime() - 1000u, 4180u * 17u);
    }
    graphics.device = nullptr;
}

} // namespace
