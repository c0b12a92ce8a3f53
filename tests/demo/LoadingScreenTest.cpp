#include "FrameReadback.h"
#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "demo/Sequencer.h"
#include "FullScreenDevice.h"

#include <SystemClock.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const uint32_t BLACK = 0x000000;
const uint32_t DARK_RED = 0x400000;
const uint32_t RED = 0xFF0000;

class LoadingScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        SystemClock::instance().configure(true, 1000);
        ASSERT_NO_FATAL_FAILURE(openFullScreen(graphics, "LOADING_SCREEN_TEST"));
    }

    // The bar of the last loading frame: `filled` bright pixels, then dark up to 256.
    void expectBar(const Frame& frame, int filled) {
        for (int y : {283, 284, 299, 315, 316}) {
            for (int x : {271, 272, 272 + filled - 1, 272 + filled, 527, 528}) {
                uint32_t expected = BLACK;
                if (y >= 284 && y < 316 && x >= 272 && x < 528) {
                    expected = x < 272 + filled ? RED : DARK_RED;
                }
                EXPECT_EQ(frame.rgb(x, y), expected) << "at (" << x << ", " << y << ")";
            }
        }
        EXPECT_EQ(frame.rgb(0, 0), BLACK);
        EXPECT_EQ(frame.rgb(799, 599), BLACK);
    }

    // Loads with slots loading slots (the messages dropped) and reads the last frame shown.
    void loadShowing(int slots, Frame* frame) {
        MessageBoxRecorder boxes;
        ASSERT_EQ(sequence.load(&graphics, slots), 0);
        boxes.take();
        ASSERT_TRUE(readFrontBuffer(graphics.getDevice(), 800, 600, frame));
    }

    GraphicsDevice graphics;
    Sequencer sequence;
};

TEST_F(LoadingScreenTest, LastLoadingFrameShowsSevenEighthsOfTheBar) {
    Frame frame;
    ASSERT_NO_FATAL_FAILURE(loadShowing(8, &frame));
    writePng(frame, "loading-8.png");
    expectBar(frame, 224);
}

TEST_F(LoadingScreenTest, TwoSlotsLeaveTheBarHalfFull) {
    Frame frame;
    ASSERT_NO_FATAL_FAILURE(loadShowing(2, &frame));
    expectBar(frame, 128);
}

} // namespace
