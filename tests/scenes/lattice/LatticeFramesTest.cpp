#include "scenes/lattice/BoxLatticeScene.h"
#include "FrameReadback.h"
#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "gfx/Sprite.h"
#include "FullScreenDevice.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace {

bool isRed(uint32_t rgb) {
    int r = (rgb >> 16) & 0xFF;
    int g = (rgb >> 8) & 0xFF;
    int b = rgb & 0xFF;
    return r > 60 && r > g + 40 && r > b + 40;
}

bool isWhite(uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) >= 250 && ((rgb >> 8) & 0xFF) >= 250 && (rgb & 0xFF) >= 250;
}

int countIn(const Frame& frame, int left, int top, int right, int bottom, bool (*test)(uint32_t)) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += test(frame.rgb(x, y));
        }
    }
    return count;
}

bool notWhite(uint32_t rgb) {
    return !isWhite(rgb);
}

// How far a region is from white, summed over its pixels.
double inkIn(const Frame& frame, int left, int top, int right, int bottom) {
    double ink = 0.0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            uint32_t rgb = frame.rgb(x, y);
            ink += 765.0 - ((rgb >> 16) & 0xFF) - ((rgb >> 8) & 0xFF) - (rgb & 0xFF);
        }
    }
    return ink;
}

// Plays the closing scene alone on the real device with the generated data,
// framed by the bands as in the demo, rendering every tick, and keeps the
// frames of a few ticks (also written as lattice-<n>.png).
TEST(LatticeFrames, TheLatticeFormsFadesAndTheClosingImagesComeAndGo) {
    ASSERT_EQ(chdir(LETTERBOX_BUILD_DIR), 0);
    GraphicsDevice graphics;
    ASSERT_NO_FATAL_FAILURE(openFullScreen(graphics, "LATTICE_FRAMES_TEST"));
    IDirect3DDevice8* device = graphics.getDevice();

    BoxLatticeScene scene;
    Sprite bands;
    MessageBoxRecorder boxes;
    EXPECT_EQ(scene.load(&graphics), D3D_OK);
    bands.attach(device);
    bands.loadTexture("data\\obi.bmp");
    std::string messages = boxes.take();
    EXPECT_TRUE(messages.empty()) << messages;
    ASSERT_NE(scene.box.mesh, nullptr);
    EXPECT_EQ(scene.box.mesh->GetNumFaces(), 12u);
    // Centred on the origin with edges of 0.1 along the axes.
    ASSERT_EQ(scene.box.mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL));
    BYTE* bytes = nullptr;
    ASSERT_EQ(scene.box.mesh->LockVertexBuffer(D3DLOCK_READONLY, &bytes), D3D_OK);
    const float* vertex = reinterpret_cast<const float*>(bytes);
    for (DWORD i = 0; i < scene.box.mesh->GetNumVertices(); ++i, vertex += 6) {
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_FLOAT_EQ(std::fabs(vertex[axis]), 0.05f) << "vertex " << i;
        }
    }
    scene.box.mesh->UnlockVertexBuffer();

    std::map<int, Frame> frames;
    const int wanted[] = {-120, 100, 225, 330, 450, 560, 625, 672, 700, 740, 800};
    size_t next = 0;
    scene.start();
    auto began = std::chrono::steady_clock::now();
    int rendered = 0;
    // The first frame comes before the first update.
    for (int n = -120; n <= 800; ++n) {
        if (n > -120) {
            ASSERT_EQ(scene.update(), 0);
        }
        ASSERT_EQ(scene.frameCount, n);
        presentFramed(device, scene, bands);
        rendered += 1;
        if (next < std::size(wanted) && n == wanted[next]) {
            Frame frame;
            ASSERT_TRUE(readFrontBuffer(device, 800, 600, &frame));
            writePng(frame, "lattice-" + std::to_string(n) + ".png");
            frames[n] = frame;
            next += 1;
        }
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("%d frames in %.2f s (%.2f ms each)\n", rendered, seconds,
                1000.0 * seconds / rendered);

    // The cubes gather in the middle, red on white, and spread into the lattice.
    int restRed = countIn(frames[-120], 250, 150, 550, 450, isRed);
    int gridRed = countIn(frames[225], 250, 150, 550, 450, isRed);
    int latticeRed = countIn(frames[450], 250, 150, 550, 450, isRed);
    EXPECT_GT(restRed, 0);
    EXPECT_GT(gridRed, restRed * 4);
    EXPECT_GT(latticeRed, gridRed);
    // Fading: almost white by the end.
    int fadedRed = countIn(frames[625], 40, 40, 760, 560, isRed);
    EXPECT_LT(fadedRed, latticeRed / 10);
    // The screen's edges away from the drifting images stay white.
    EXPECT_TRUE(isWhite(frames[225].rgb(400, 45)));
    EXPECT_TRUE(isWhite(frames[450].rgb(5, 300)));

    // The closing images: in place at 700, faded out by 800, leaving only white.
    int logoInk = countIn(frames[700], 0, 40, 256, 296, notWhite);
    int companionsInk = countIn(frames[700], 544, 48, 800, 560, notWhite);
    EXPECT_GT(logoInk, 500);
    EXPECT_GT(companionsInk, 500);
    EXPECT_GT(logoInk, countIn(frames[672], 0, 40, 256, 296, notWhite) / 2);
    // Sliding out at 740 with alpha 115 of 255: fainter, but still there.
    double full = inkIn(frames[700], 0, 40, 256, 296);
    double fading = inkIn(frames[740], 0, 40, 256, 296);
    EXPECT_LT(fading, full * 0.6);
    EXPECT_GT(fading, full * 0.3);
    EXPECT_EQ(countIn(frames[800], 0, 40, 800, 560, notWhite), 0);

    // The bands frame every picture alike.
    for (int n : {100, 450, 700}) {
        for (int y : {0, 20, 39, 560, 599}) {
            for (int x : {0, 400, 799}) {
                EXPECT_EQ(frames[n].rgb(x, y), frames[-120].rgb(x, y))
                    << "n " << n << " at (" << x << ", " << y << ")";
            }
        }
    }
    scene.box.release();
}

} // namespace
