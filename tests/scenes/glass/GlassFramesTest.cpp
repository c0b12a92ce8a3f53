#include "FrameReadback.h"
#include "scenes/glass/GlassBallScene.h"
#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "FullScreenDevice.h"

#include <crtrand.h>
#include <d3dx8.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <map>
#include <string>

namespace {

int channel(uint32_t rgb, int shift) {
    return static_cast<int>(rgb >> shift & 0xFF);
}

// Plays the scene on its own with the generated data, as the sequencer would
// between its BeginScene and Present, and keeps the frames of a few ticks
// (also written as glass-<tick>.png; tick 0 is the render before the first update).
TEST(GlassFrames, BallsGlowOverTheBoxAndTheScreenWashesToWhite) {
    ASSERT_EQ(chdir(LETTERBOX_BUILD_DIR), 0);
    GraphicsDevice graphics;
    ASSERT_NO_FATAL_FAILURE(openFullScreen(graphics, "GLASS_FRAMES_TEST"));
    IDirect3DDevice8* device = graphics.getDevice();

    GlassBallScene::eyeHeight = 0.0;
    GlassBallScene::eyeFalling = 0;
    GlassBallScene::tintRed = GlassBallScene::tintGreen = GlassBallScene::tintBlue = 0.0;
    GlassBallScene::whiteLevel = 0.0;
    GlassBallScene scene;
    MessageBoxRecorder boxes;
    scene.load(&graphics);
    std::string messages = boxes.take();
    // Neither model is missing and every texture they name loads.
    for (const char* trouble : {"box.x", "ball.x", "の読み込みに失敗しました"}) {
        EXPECT_EQ(messages.find(trouble), std::string::npos) << messages;
    }
    ASSERT_NE(scene.box.getMesh(), nullptr);
    ASSERT_NE(scene.ball.getMesh(), nullptr);
    ASSERT_NE(scene.refraction.quadBuffer, nullptr) << "every target was made";
    crtSrand(0);
    scene.start();

    std::map<int, Frame> frames;
    std::map<int, D3DXMATRIX> cameras;
    std::map<int, D3DXVECTOR3> balls[GlassBallScene::BALL_COUNT];
    const int wanted[] = {0, 1, 60, 150, 300, 420, 479, 520, 581, 600};
    for (int tick : wanted) {
        while (scene.frameCount < tick) {
            ASSERT_EQ(scene.update(), 0);
        }
        D3DXMATRIX view;
        D3DXMATRIX projection;
        device->GetTransform(D3DTS_VIEW, &view);
        device->GetTransform(D3DTS_PROJECTION, &projection);
        D3DXMatrixMultiply(&cameras[tick], &view, &projection);
        for (int k = 0; k < GlassBallScene::BALL_COUNT; ++k) {
            balls[k][tick] = D3DXVECTOR3(static_cast<float>(GlassBallScene::ballX[k]),
                                         static_cast<float>(GlassBallScene::ballY[k]),
                                         static_cast<float>(GlassBallScene::ballZ[k]));
        }
        device->BeginScene();
        ASSERT_EQ(scene.render(), 0);
        Frame frame;
        ASSERT_TRUE(presentAndRead(device, &frame));
        writePng(frame, "glass-" + std::to_string(tick) + ".png");
        frames[tick] = frame;
    }

    // The box fills the screen: it is lit on the first frame and textured on
    // every one, so no frame before the white-out is flat.
    for (int tick : {0, 60, 300}) {
        int darkest = 255;
        int brightest = 0;
        for (int y = 0; y < 600; y += 7) {
            for (int x = 0; x < 800; x += 7) {
                int level = channel(frames[tick].rgb(x, y), 8);
                darkest = std::min(darkest, level);
                brightest = std::max(brightest, level);
            }
        }
        EXPECT_GT(brightest - darkest, 40) << "tick " << tick;
    }

    // Each ball seen well in front of the camera shows the tinted copy at its
    // centre: by tick 300 the tint is (255, 45, 0), so red is full there.
    int ballsSeen = 0;
    for (int k = 0; k < GlassBallScene::BALL_COUNT; ++k) {
        D3DXVECTOR4 clip;
        const D3DXVECTOR3& centre = balls[k][300];
        const D3DXMATRIX& m = cameras[300];
        clip.x = centre.x * m._11 + centre.y * m._21 + centre.z * m._31 + m._41;
        clip.y = centre.x * m._12 + centre.y * m._22 + centre.z * m._32 + m._42;
        clip.w = centre.x * m._14 + centre.y * m._24 + centre.z * m._34 + m._44;
        if (clip.w < 0.4f) {
            continue; // behind or too near the eye
        }
        int x = static_cast<int>((clip.x / clip.w + 1.0f) * 400.0f);
        int y = static_cast<int>((1.0f - clip.y / clip.w) * 300.0f);
        if (x < 5 || x > 794 || y < 5 || y > 594) {
            continue;
        }
        ballsSeen += 1;
        uint32_t rgb = frames[300].rgb(x, y);
        EXPECT_GE(channel(rgb, 16), 250) << "ball " << k << " at (" << x << ", " << y << ")";
        EXPECT_GE(channel(rgb, 8), 45) << "ball " << k << " at (" << x << ", " << y << ")";
    }
    EXPECT_GE(ballsSeen, 2);
    // Elsewhere the box keeps its own colours: most of the screen is not full red.
    int fullRed = 0;
    int samples = 0;
    for (int y = 0; y < 600; y += 10) {
        for (int x = 0; x < 800; x += 10) {
            samples += 1;
            fullRed += channel(frames[300].rgb(x, y), 16) >= 250 ? 1 : 0;
        }
    }
    EXPECT_LT(fullRed, samples / 2);

    // From update 480 grey is added to the whole screen; from 581 it is white.
    for (int y = 0; y < 600; y += 5) {
        for (int x = 0; x < 800; x += 5) {
            ASSERT_EQ(frames[581].rgb(x, y), 0xFFFFFFu) << "(" << x << ", " << y << ")";
            ASSERT_EQ(frames[600].rgb(x, y), 0xFFFFFFu) << "(" << x << ", " << y << ")";
            // 2.5 x 41 = 102 grey added by update 520.
            uint32_t rgb = frames[520].rgb(x, y);
            for (int shift : {0, 8, 16}) {
                ASSERT_GE(channel(rgb, shift), 102) << "(" << x << ", " << y << ")";
            }
        }
    }
}

} // namespace
