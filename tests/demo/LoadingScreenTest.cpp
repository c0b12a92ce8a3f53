#include "FrameReadback.h"
#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "demo/Sequencer.h"
#include "TestWindow.h"

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
        window = makeTestWindow("LOADING_SCREEN_TEST");
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(graphics.create(window, 800, 600), 0);
        graphics.setWindowed(0);
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

    HWND window = nullptr;
    GraphicsDevice graphics;
    Sequencer sequence;
};

TEST_F(LoadingScreenTest, LastLoadingFrameShowsSevenEighthsOfTheBar) {
    MessageBoxRecorder boxes;
    ASSERT_EQ(sequence.load(&graphics, 8), 0);
    boxes.take();
    Frame frame;
    ASSERT_TRUE(readFrontBuffer(graphics.getDevice(), 800, 600, &frame));
    writePng(frame, "loading-8.png");
    expectBar(frame, 224);
}

TEST_F(LoadingScreenTest, TwoSlotsLeaveTheBarHalfFull) {
    MessageBoxRecorder boxes;
    ASSERT_EQ(sequence.load(&graphics, 2), 0);
    boxes.take();
    Frame frame;
    ASSERT_TRUE(readFrontBuffer(graphics.getDevice(), 800, 600, &frame));
    expectBar(frame, 128);
}

} // namespace
