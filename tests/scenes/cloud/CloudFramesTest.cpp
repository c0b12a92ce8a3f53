#include "FrameReadback.h"
#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "demo/Sequencer.h"
#include "FullScreenDevice.h"

#include <SystemClock.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <map>
#include <string>

namespace {

double meanChannel(const Frame& frame, int shift, int top, int bottom) {
    double sum = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            sum += (frame.at(x, y) >> shift) & 0xFF;
        }
    }
    return sum / ((bottom - top) * frame.width);
}

// Plays the opening scene through the sequencer with the generated data and
// keeps the frames of a few ticks (also written as cloud-<tick>.png).
TEST(CloudFrames, TheOpeningScenePlaysWithItsDataInsideTheBands) {
    ASSERT_EQ(chdir(LETTERBOX_BUILD_DIR), 0);
    SystemClock::instance().configure(true, 1000);
    Sequencer::playbackStarted = 0;
    GraphicsDevice graphics;
    ASSERT_NO_FATAL_FAILURE(openFullScreen(graphics, "CLOUD_FRAMES_TEST"));
    Sequencer sequence;
    MessageBoxRecorder boxes;
    ASSERT_EQ(sequence.load(&graphics, 8), 0);
    std::string messages = boxes.take();
    EXPECT_EQ(messages.find("data\\cloud"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("data\\living.bmp"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("data\\obi.bmp"), std::string::npos) << messages;

    std::map<int, Frame> frames;
    const int wanted[] = {1, 60, 121, 160, 185, 200, 230, 263, 300, 470};
    size_t next = 0;
    for (int tick = 1; tick <= 470; ++tick) {
        Sleep(17);
        ASSERT_EQ(sequence.update(), 0);
        ASSERT_EQ(sequence.getCurrent(), 0) << "the clouds last 8.2 s";
        if (tick == wanted[next]) {
            sequence.render();
            Frame frame;
            ASSERT_TRUE(readFrontBuffer(graphics.getDevice(), 800, 600, &frame));
            writePng(frame, "cloud-" + std::to_string(tick) + ".png");
            frames[tick] = frame;
            next += 1;
        }
    }

    // The bands are the same on every frame, whatever the scene drew.
    for (int tick : {60, 300}) {
        for (int y : {0, 20, 39, 560, 580, 599}) {
            for (int x : {0, 400, 799}) {
                EXPECT_EQ(frames[tick].rgb(x, y), frames[1].rgb(x, y))
                    << "tick " << tick << " at (" << x << ", " << y << ")";
            }
        }
    }
    // The wash adds red from tick 122 on (89 by tick 300), green and blue later.
    double redEarly = meanChannel(frames[60], 16, 40, 560);
    double redLate = meanChannel(frames[300], 16, 40, 560);
    EXPECT_GT(redLate, redEarly + 30.0);
    double blueLate = meanChannel(frames[470], 0, 40, 560);
    double blueMid = meanChannel(frames[230], 0, 40, 560);
    EXPECT_GT(blueLate, blueMid + 60.0);
}

} // namespace
