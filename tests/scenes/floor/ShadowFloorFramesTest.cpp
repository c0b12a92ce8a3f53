#include "FrameReadback.h"
#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "scenes/floor/ShadowFloorScene.h"
#include "gfx/Sprite.h"
#include "FullScreenDevice.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

namespace {

int channel(uint32_t c, int shift) {
    return static_cast<int>((c >> shift) & 0xFF);
}

// The scene played on its own on the real device with the generated data, each
// frame as the sequencer draws it: the scene, then the bands over it.
class ShadowFloorFrames : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(chdir(LETTERBOX_BUILD_DIR), 0);
        ShadowFloorScene::cameraX = 1.0;
        ShadowFloorScene::cameraY = 1.0;
        ShadowFloorScene::cameraZ = -5.0;
        ShadowFloorScene::fadeLevel = 0;
        ASSERT_NO_FATAL_FAILURE(openFullScreen(graphics, "SHADOW_FLOOR_FRAMES_TEST"));
        device = graphics.getDevice();
        bands.attach(device);
        MessageBoxRecorder boxes;
        ASSERT_EQ(bands.loadTexture("data\\obi.bmp"), 0);
        scene.load(&graphics);
        messages = boxes.take();
        scene.start();
    }

    Frame renderFrame(const std::string& name) {
        presentFramed(device, scene, bands);
        Frame frame;
        EXPECT_TRUE(readFrontBuffer(device, 800, 600, &frame));
        if (!name.empty()) {
            writePng(frame, name);
        }
        return frame;
    }

    void updateTo(int frameCount) {
        while (scene.frameCount < frameCount) {
            scene.update();
        }
    }

    GraphicsDevice graphics;
    IDirect3DDevice8* device = nullptr;
    Sprite bands;
    ShadowFloorScene scene;
    std::string messages;
};

TEST_F(ShadowFloorFrames, TheGridStandsOnItsFloorThroughTheCameraMovesAndFadesToRedThenBlack) {
    EXPECT_EQ(messages, "") << "the model, its texture and the floor load";
    ASSERT_NE(scene.model.getMesh(), nullptr);
    ASSERT_NE(scene.floor.texture, nullptr);

    std::map<int, Frame> frames;
    for (int at : {60, 180, 300, 420, 500, 560}) {
        updateTo(at);
        if (at == 500) {
            // The same view unfaded, to compare with.
            EXPECT_EQ(ShadowFloorScene::fadeLevel, 1);
            ShadowFloorScene::fadeLevel = 0;
            frames[499] = renderFrame("floor-500-unfaded.png");
            ShadowFloorScene::fadeLevel = 1;
        }
        frames[at] = renderFrame("floor-" + std::to_string(at) + ".png");
    }
    bands.release();

    // Grey background above the horizon in the first move, red accent copies,
    // bright copies with their own materials.
    const Frame& first = frames[60];
    int grey = 0;
    int red = 0;
    for (int y = 40; y < 560; ++y) {
        for (int x = 0; x < 800; ++x) {
            uint32_t c = first.rgb(x, y);
            grey += c == 0x808080u ? 1 : 0;
            red += channel(c, 16) > channel(c, 8) + 60 ? 1 : 0;
        }
    }
    EXPECT_GT(grey, 20000) << "the background";
    EXPECT_GT(red, 500) << "the accent copies";
    // The bands stay dark: they are multiplied in by the blend the scene leaves.
    for (int x : {0, 400, 799}) {
        EXPECT_LT(channel(first.rgb(x, 10), 16), 80);
        EXPECT_LT(channel(first.rgb(x, 590), 16), 80);
    }

    // The pictures move between the phases.
    for (auto [a, b] : {std::pair{60, 180}, {180, 300}, {300, 420}}) {
        int differing = 0;
        for (int y = 40; y < 560; y += 2) {
            for (int x = 0; x < 800; x += 2) {
                differing += frames[a].rgb(x, y) != frames[b].rgb(x, y) ? 1 : 0;
            }
        }
        EXPECT_GT(differing, 10000) << a << " to " << b;
    }

    // The fade: the first quad keeps 128/255 of the red and nothing else, four leave
    // almost black.
    int greenBefore = 0;
    for (int y = 40; y < 560; ++y) {
        for (int x = 0; x < 800; ++x) {
            greenBefore = std::max(greenBefore, channel(frames[499].rgb(x, y), 8));
            uint32_t faded = frames[500].rgb(x, y);
            ASSERT_EQ(channel(faded, 8), 0) << x << ", " << y;
            ASSERT_EQ(channel(faded, 0), 0) << x << ", " << y;
            int redBefore = channel(frames[499].rgb(x, y), 16);
            ASSERT_NEAR(channel(faded, 16), redBefore * 128 / 255, 2) << x << ", " << y;
            // Four quads at 560: at most 255 x (128/255)^4, about 16.
            ASSERT_LE(channel(frames[560].rgb(x, y), 16), 17) << x << ", " << y;
        }
    }
    EXPECT_GT(greenBefore, 100);
}

// The mirror images show through the floor: lit in green instead of dim grey, the
// floor's pixels below the copies turn green, which an opaque floor would hide.
TEST_F(ShadowFloorFrames, TheMirrorImagesShowThroughTheFloor) {
    updateTo(180);
    Frame dim = renderFrame("");
    const D3DMATERIAL8 kept = ShadowFloorScene::reflectionMaterial;
    const D3DMATERIAL8 keptAccent = ShadowFloorScene::reflectionAccentMaterial;
    D3DMATERIAL8 green{};
    green.Diffuse = {0.0f, 0.6f, 0.0f, 1.0f};
    green.Ambient = {0.0f, 0.6f, 0.0f, 1.0f};
    green.Emissive = {0.0f, 0.6f, 0.0f, 0.0f};
    ShadowFloorScene::reflectionMaterial = green;
    ShadowFloorScene::reflectionAccentMaterial = green;
    Frame bright = renderFrame("floor-mirror-green.png");
    ShadowFloorScene::reflectionMaterial = kept;
    ShadowFloorScene::reflectionAccentMaterial = keptAccent;
    bands.release();

    int greener = 0;
    int greenerAboveHorizon = 0;
    for (int y = 40; y < 560; ++y) {
        for (int x = 0; x < 800; ++x) {
            uint32_t before = dim.rgb(x, y);
            uint32_t after = bright.rgb(x, y);
            if (channel(after, 8) > channel(before, 8) + 40 &&
                channel(after, 16) <= channel(before, 16)) {
                greener += 1;
                greenerAboveHorizon += y < 300 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(greener, 10000) << "seen through the floor";
    EXPECT_EQ(greenerAboveHorizon, 0) << "the images lie below the floor, the eye above it";
}

// Where several shadows (or several faces of one shadow) cover a pixel it is
// darkened once. Rendered three times: shadows kept out by the stencil test, the
// scene's own test, and the test passing everything.
TEST_F(ShadowFloorFrames, EachShadowedPixelIsDarkenedOnce) {
    updateTo(400); // looking down onto the grid
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_NEVER);
    Frame unshadowed = renderFrame("");
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_NOTEQUAL);
    Frame once = renderFrame("floor-shadows.png");
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    Frame unbounded = renderFrame("floor-shadows-unbounded.png");
    bands.release();

    int shadowed = 0;
    int notOnce = 0;
    int darkerUnbounded = 0;
    for (int y = 40; y < 560; ++y) {
        for (int x = 0; x < 800; ++x) {
            uint32_t plain = unshadowed.rgb(x, y);
            uint32_t kept = once.rgb(x, y);
            if (plain == kept) {
                continue;
            }
            shadowed += 1;
            for (int shift : {0, 8, 16}) {
                // Black at alpha 0.3 over the floor: 0.7 of its colour.
                double expected = channel(plain, shift) * 0.7;
                if (std::fabs(channel(kept, shift) - expected) > 2.0) {
                    notOnce += 1;
                    break;
                }
            }
            if (channel(unbounded.rgb(x, y), 8) + 3 < channel(kept, 8)) {
                darkerUnbounded += 1;
            }
        }
    }
    EXPECT_GT(shadowed, 5000) << "the shadows show";
    EXPECT_EQ(notOnce, 0) << "of " << shadowed << " shadowed pixels";
    EXPECT_GT(darkerUnbounded, 1000) << "without the stencil the overlaps darken more";
}

} // namespace
