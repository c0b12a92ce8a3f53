#include "FrameReadback.h"
#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "scenes/fan/ParticleFanScene.h"
#include "scenes/tunnel/RingTunnelScene.h"
#include "gfx/Sprite.h"
#include "FullScreenDevice.h"

#include <crtrand.h>
#include <d3dx8.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <iterator>
#include <string>

namespace {

double meanBrightness(const Frame& frame, int x0, int y0, int x1, int y1) {
    double sum = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            uint32_t c = frame.rgb(x, y);
            sum += ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
        }
    }
    return sum / (3.0 * (x1 - x0) * (y1 - y0));
}

// How many pixels of the rectangle from (x0, y0) to (x1, y1) pick(colour) accepts.
template <class Pick>
int countPixels(const Frame& frame, int x0, int y0, int x1, int y1, Pick pick) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            count += pick(frame.rgb(x, y)) ? 1 : 0;
        }
    }
    return count;
}

int litPixels(const Frame& frame, int x0, int y0, int x1, int y1) {
    return countPixels(frame, x0, y0, x1, y1, [](uint32_t c) { return c != 0; });
}

// Pixels where one channel clearly leads the other two.
int pixelsLedBy(const Frame& frame, int shift, int x0, int y0, int x1, int y1) {
    return countPixels(frame, x0, y0, x1, y1, [shift](uint32_t c) {
        int lead = (c >> shift) & 0xFF;
        int others = 0;
        for (int s : {0, 8, 16}) {
            if (s != shift) {
                others = std::max(others, static_cast<int>((c >> s) & 0xFF));
            }
        }
        return lead > 40 && lead > 2 * others;
    });
}

// Pixels of the particles' orange: red, green about half of it, no blue.
int orangePixels(const Frame& frame, int x0, int y0, int x1, int y1) {
    return countPixels(frame, x0, y0, x1, y1, [](uint32_t c) {
        int red = (c >> 16) & 0xFF, green = (c >> 8) & 0xFF, blue = c & 0xFF;
        return red > 60 && 10 * green > 3 * red && 10 * green < 7 * red && 5 * blue < red;
    });
}

// Pixels with as much blue as red or more: what no particle of the shells shows.
int bluishPixels(const Frame& frame, int x0, int y0, int x1, int y1) {
    return countPixels(frame, x0, y0, x1, y1, [](uint32_t c) {
        int red = (c >> 16) & 0xFF, blue = c & 0xFF;
        return blue > 40 && blue >= red;
    });
}

// Plays the scene with the generated data as the sequencer would: seeded
// after loading, started, the first frame before the first update, the
// letterbox bands over every frame. Writes fan-<tick>.png for a few ticks.
TEST(FanFrames, TheSceneShowsFansShellsBurstsAndTheInvertedTrail) {
    ASSERT_EQ(chdir(LETTERBOX_BUILD_DIR), 0);
    // Declared before the device, as in the program: the device goes first at
    // teardown and the scene releases its resources after it.
    RingTunnelScene tunnel;
    ParticleFanScene scene;
    Sprite bands;
    GraphicsDevice graphics;
    ASSERT_NO_FATAL_FAILURE(openFullScreen(graphics, "FAN_FRAMES_TEST"));
    IDirect3DDevice8* device = graphics.getDevice();

    MessageBoxRecorder boxes;
    scene.load(&graphics);
    bands.attach(device);
    bands.loadTexture("data\\obi.bmp");
    std::string messages = boxes.take();
    EXPECT_TRUE(messages.empty()) << messages;
    for (const ParticleSystem& system : scene.bursts[2].systems) {
        EXPECT_NE(system.texture, nullptr) << "the coloured particle images load";
    }
    EXPECT_NE(scene.shell.texture, nullptr);
    EXPECT_NE(scene.trail.textures[1], nullptr);

    // The tunnel plays before this scene, past its intro so that the ring is
    // drawn: it leaves lighting on, its light enabled and its last ring material.
    tunnel.load(&graphics);
    tunnel.start();
    for (int tick = 0; tick < 125; ++tick) {
        tunnel.update();
    }
    device->BeginScene();
    tunnel.render();
    device->EndScene();
    DWORD lighting = FALSE;
    ASSERT_EQ(device->GetRenderState(D3DRS_LIGHTING, &lighting), D3D_OK);
    ASSERT_EQ(lighting, static_cast<DWORD>(TRUE)) << "the state this scene starts from";

    crtSrand(0);
    scene.start();

    std::map<int, Frame> frames;
    // Render times before the trail (index 0) and with it (index 1).
    double renderMilliseconds[2] = {0.0, 0.0};
    int rendered[2] = {0, 0};
    auto renderTick = [&](int tick, bool keep) {
        auto begun = std::chrono::steady_clock::now();
        presentFramed(device, scene, bands);
        int phase = tick >= ParticleFanScene::TRAIL_FROM_TICK ? 1 : 0;
        renderMilliseconds[phase] +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begun)
                .count();
        rendered[phase] += 1;
        if (keep) {
            Frame frame;
            ASSERT_TRUE(readFrontBuffer(device, 800, 600, &frame));
            writePng(frame, "fan-" + std::to_string(tick) + ".png");
            frames[tick] = frame;
        }
    };

    const int wanted[] = {0, 20, 45, 100, 200, 289, 290, 300, 340, 400};
    size_t next = 0;
    renderTick(0, true);
    next = 1;
    for (int tick = 1; tick <= 400; ++tick) {
        ASSERT_EQ(scene.update(), 0);
        bool keep = next < std::size(wanted) && tick == wanted[next];
        // Every tick from just before the trail on, since the trail builds on each frame.
        if (keep || tick >= 285) {
            renderTick(tick, keep);
        }
        next += keep ? 1 : 0;
    }
    std::printf("render and present: %.2f ms a frame over %d frames without the trail, "
                "%.2f ms over %d with it\n",
                renderMilliseconds[0] / rendered[0], rendered[0],
                renderMilliseconds[1] / rendered[1], rendered[1]);

    // The first frame, before any update: fans in both rows.
    const Frame& first = frames[0];
    EXPECT_GT(litPixels(first, 0, 40, 320, 104), 2000) << "top row of fans";
    EXPECT_GT(litPixels(first, 480, 496, 800, 560), 2000) << "bottom row of fans";
    EXPECT_EQ(litPixels(first, 330, 40, 800, 104), 0) << "nothing right of the top row";
    EXPECT_EQ(litPixels(first, 0, 496, 470, 560), 0) << "nothing left of the bottom row";

    // The orbiting shell is orange, the core red: both lead with red, and
    // neither takes its colour from the tunnel's material.
    EXPECT_GT(pixelsLedBy(frames[20], 16, 300, 200, 500, 400), 20);
    EXPECT_GT(orangePixels(frames[20], 300, 200, 500, 400), 20);
    EXPECT_EQ(bluishPixels(frames[20], 300, 200, 500, 400), 0);
    // The bursts join: blue particles appear (only the bursts have them).
    EXPECT_EQ(pixelsLedBy(frames[20], 0, 0, 104, 800, 496), 0) << "no burst before 30";
    EXPECT_GT(pixelsLedBy(frames[45], 0, 0, 104, 800, 496), 3) << "burst 0 from 30";
    EXPECT_GT(pixelsLedBy(frames[100], 8, 0, 104, 800, 496), 10) << "green from the bursts";
    EXPECT_GT(litPixels(frames[100], 0, 104, 800, 496), litPixels(frames[45], 0, 104, 800, 496))
        << "three bursts cover more than one";

    // Up to 289 the picture is mostly black; from 290 it is the negative, mostly white.
    EXPECT_LT(meanBrightness(frames[289], 0, 104, 800, 496), 40.0);
    for (int tick : {290, 300, 340, 400}) {
        EXPECT_GT(meanBrightness(frames[tick], 0, 104, 800, 496), 170.0) << "tick " << tick;
    }
    // The trail shrinks towards the centre: later frames keep more than the single frame.
    EXPECT_LT(meanBrightness(frames[400], 0, 104, 800, 496),
              meanBrightness(frames[290], 0, 104, 800, 496));
}

} // namespace
