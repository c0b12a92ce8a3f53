#include "FrameReadback.h"
#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "scenes/tunnel/RingTunnelScene.h"
#include "gfx/Sprite.h"
#include "FullScreenDevice.h"

#include <crtrand.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

namespace {

struct Region {
    int left, top, right, bottom;
};

int maxChannel(const Frame& frame, const Region& r) {
    int most = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            uint32_t p = frame.at(x, y);
            most = std::max({most, static_cast<int>((p >> 16) & 0xFF),
                             static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)});
        }
    }
    return most;
}

// Pixels with some channel above the threshold.
int litPixels(const Frame& frame, const Region& r, int threshold) {
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            uint32_t p = frame.at(x, y);
            if (static_cast<int>((p >> 16) & 0xFF) > threshold ||
                static_cast<int>((p >> 8) & 0xFF) > threshold ||
                static_cast<int>(p & 0xFF) > threshold) {
                count += 1;
            }
        }
    }
    return count;
}

// Pixels within a few steps of the given colour.
int countNear(const Frame& frame, const Region& r, int red, int green, int blue) {
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            uint32_t p = frame.at(x, y);
            if (std::abs(static_cast<int>((p >> 16) & 0xFF) - red) <= 8 &&
                std::abs(static_cast<int>((p >> 8) & 0xFF) - green) <= 8 &&
                std::abs(static_cast<int>(p & 0xFF) - blue) <= 8) {
                count += 1;
            }
        }
    }
    return count;
}

// Plays the scene standalone with the generated data, framed by the bands as
// the sequencer draws them, and keeps some frames (also written as
// tunnel-<frameCount>.png).
TEST(TunnelFrames, TheTitleTheTunnelAndItsTrailsPlayWithTheirData) {
    ASSERT_EQ(chdir(LETTERBOX_BUILD_DIR), 0);
    GraphicsDevice graphics;
    ASSERT_NO_FATAL_FAILURE(openFullScreen(graphics, "TUNNEL_FRAMES_TEST"));
    IDirect3DDevice8* device = graphics.getDevice();

    RingTunnelScene scene;
    crtSrand(1);
    MessageBoxRecorder boxes;
    EXPECT_EQ(scene.load(&graphics), 1) << "the trail's targets are created";
    Sprite band;
    band.attach(device);
    band.loadTexture("data\\obi.bmp");
    std::string messages = boxes.take();
    EXPECT_TRUE(messages.empty()) << messages;
    crtSrand(0);
    scene.start();

    std::map<int, Frame> frames;
    auto renderFrame = [&]() { presentFramed(device, scene, band); };
    const std::set<int> kept = {0, 15, 45, 121, 122, 300, 630, 631, 640, 660};
    auto keep = [&](int frameCount) {
        Frame frame;
        ASSERT_TRUE(readFrontBuffer(device, 800, 600, &frame));
        writePng(frame, "tunnel-" + std::to_string(frameCount) + ".png");
        frames[frameCount] = frame;
    };
    // The first render comes before the first update.
    renderFrame();
    keep(0);
    while (scene.frameCount < 660) {
        scene.update();
        int c = scene.frameCount;
        // Every intro frame and the frames around the trail's start, so that the
        // trails build up as they do in play.
        if (c <= 122 || c >= 625 || kept.count(c) > 0) {
            renderFrame();
            if (kept.count(c) > 0) {
                keep(c);
            }
        }
    }
    ASSERT_EQ(frames.size(), kept.size());

    // The bands come out the same whatever states the scene's frame left.
    for (int c : {15, 300, 631, 660}) {
        for (int y : {0, 20, 39, 560, 580, 599}) {
            for (int x = 0; x < 800; x += 7) {
                ASSERT_EQ(frames[c].rgb(x, y), frames[0].rgb(x, y))
                    << "frame " << c << " at (" << x << ", " << y << ")";
            }
        }
    }

    // Frame 0 goes through the fresh trail: the title and circle at 63/255.
    Region picture{0, 40, 800, 560};
    EXPECT_LE(maxChannel(frames[0], picture), 66);
    EXPECT_GT(litPixels(frames[0], Region{218, 118, 582, 482}, 20), 5000)
        << "the title cell, 364 pixels wide";
    // Thirty frames on the trails have built up to full brightness.
    EXPECT_GT(maxChannel(frames[15], picture), 200);

    // A tunnel frame: lit tori across the middle, the orange right column and
    // bottom-right rows added on at full strength.
    EXPECT_GT(litPixels(frames[300], Region{200, 100, 600, 500}, 60), 10000);
    Region rightColumn{608, 240, 800, 500};
    EXPECT_GT(countNear(frames[300], rightColumn, 255, 32, 0), 100);
    EXPECT_GT(countNear(frames[630], rightColumn, 255, 32, 0), 100);
    // Frame 631, the first through the trail, shows the new picture at 63/255
    // under the old intro image; the trails then spread the lit area outwards.
    EXPECT_EQ(countNear(frames[631], rightColumn, 255, 32, 0), 0);
    EXPECT_LE(maxChannel(frames[631], rightColumn), 110);
    EXPECT_GT(litPixels(frames[660], picture, 30), litPixels(frames[630], picture, 30) * 5 / 4);
}

} // namespace
