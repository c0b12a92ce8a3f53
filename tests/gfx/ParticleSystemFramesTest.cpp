#include "FrameReadback.h"
#include "gfx/GraphicsDevice.h"
#include "gfx/ParticleSystem.h"
#include "FullScreenDevice.h"

#include <d3dx8.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>

namespace {

DWORD bitsOf(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The real device looking down +z from (0, 0, -10) with a 90-degree view, so
// that a point at the origin lands in the middle of the 800 x 600 frame.
class ParticleFrames : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(chdir(LETTERBOX_BUILD_DIR), 0);
        ASSERT_NO_FATAL_FAILURE(openFullScreen(graphics, "PARTICLE_FRAMES_TEST"));
        device = graphics.getDevice();
        D3DXMATRIX matrix;
        D3DXMatrixIdentity(&matrix);
        device->SetTransform(D3DTS_WORLD, &matrix);
        D3DXVECTOR3 eye(0.0f, 0.0f, -10.0f);
        D3DXVECTOR3 at(0.0f, 0.0f, 0.0f);
        D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
        D3DXMatrixLookAtLH(&matrix, &eye, &at, &up);
        device->SetTransform(D3DTS_VIEW, &matrix);
        D3DXMatrixPerspectiveFovLH(&matrix, D3DX_PI / 2.0f, 800.0f / 600.0f, 0.1f, 100.0f);
        device->SetTransform(D3DTS_PROJECTION, &matrix);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    }

    Frame draw(ParticleSystem& system, const char* png) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        system.render();
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        Frame frame;
        EXPECT_TRUE(readFrontBuffer(device, 800, 600, &frame));
        writePng(frame, png);
        return frame;
    }

    // How many pixels of row y, from x0 to x1, are not black.
    static int litRun(const Frame& frame, int y, int x0, int x1) {
        int lit = 0;
        for (int x = x0; x < x1; ++x) {
            lit += frame.rgb(x, y) != 0 ? 1 : 0;
        }
        return lit;
    }

    GraphicsDevice graphics;
    IDirect3DDevice8* device = nullptr;
};

// Untextured points: each is a flat square of its colour whose side is the
// viewport height x point size / distance from the eye (the straight-line
// distance in camera space, not the depth).
TEST_F(ParticleFrames, PointsShrinkWithDistanceAndAddUp) {
    ParticleSystem system;
    ASSERT_EQ(system.create(device, 3), D3D_OK);
    system.setRenderState(D3DRS_POINTSIZE, bitsOf(1.0f));
    // Left of centre, sqrt(5^2 + 10^2) = 11.18 away: 53.7 pixels. Right, twice as far: 26.8.
    system.setParticle(-5.0f, 0.0f, 0.0f, 0, 0, 0, 0xFF400000, 0);
    system.setParticle(10.0f, 0.0f, 10.0f, 0, 0, 0, 0xFF004000, 1);
    // A second red point on the first one: additive, red doubles.
    system.setParticle(-5.0f, 0.0f, 0.0f, 0, 0, 0, 0x00400000, 2);
    Frame frame = draw(system, "particles-untextured.png");

    // (-5, 0, 10 away) projects to x = 400 - 300 x 5/10 = 250; (10, 0, 20 away) to 400 + 150 = 550.
    EXPECT_EQ(frame.rgb(250, 300), 0x800000u) << "two points added, alpha ignored";
    EXPECT_EQ(frame.rgb(550, 300), 0x004000u);
    int nearSide = litRun(frame, 300, 150, 350);
    int farSide = litRun(frame, 300, 450, 650);
    EXPECT_NEAR(nearSide, 54, 1);
    EXPECT_NEAR(farSide, 27, 1);
    EXPECT_EQ(frame.rgb(400, 300), 0u) << "nothing between the points";

    // Moving by velocity: 1000 units per 1000 updates puts the green point 3 units up.
    system.setParticle(10.0f, 0.0f, 10.0f, 0.0f, 1000.0f, 0.0f, 0xFF004000, 1);
    system.update(255);
    system.update(255);
    system.update(255);
    Frame moved = draw(system, "particles-moved.png");
    EXPECT_EQ(moved.rgb(550, 300), 0u);
    // y = 3 at distance 20: 300 - 300 x 3/20 = 255.
    EXPECT_EQ(moved.rgb(550, 255), 0x004000u);
    system.release();
}

TEST_F(ParticleFrames, TheParticleBitmapIsStretchedOverEveryPoint) {
    ParticleSystem system;
    ASSERT_EQ(system.create(device, 43), D3D_OK);
    ASSERT_EQ(system.loadTexture("data\\particle.bmp"), D3D_OK);
    ASSERT_NE(system.texture, nullptr);
    system.setRenderState(D3DRS_POINTSIZE, bitsOf(0.5f));
    // A ring of 42 white points and one big one in the middle.
    for (int i = 0; i < 42; ++i) {
        float angle = static_cast<float>(i) * 2.0f * D3DX_PI / 42.0f;
        system.setParticle(6.0f * std::cos(angle), 6.0f * std::sin(angle), 0.0f, 0, 0, 0,
                           0xFFFFFFFF, i);
    }
    system.setParticle(0.0f, 0.0f, -5.0f, 0, 0, 0, 0xFFFFFFFF, 42);
    Frame frame = draw(system, "particles-textured.png");

    // The middle point is 60 pixels across at distance 5: bright centre, dark corners.
    uint32_t centre = frame.rgb(400, 300);
    EXPECT_GT(centre & 0xFF, 0xC0u);
    EXPECT_EQ(frame.rgb(400 - 28, 300 - 28), 0u) << "the bitmap fades to black at its edges";
    EXPECT_EQ(frame.rgb(400 + 40, 300), 0u) << "nothing beyond the point";
    EXPECT_LT(frame.rgb(400 - 20, 300) & 0xFF, centre & 0xFF) << "dimmer away from the centre";
    // A ring point at angle 0: (6, 0) at distance 10 -> x = 400 + 180.
    EXPECT_GT(frame.rgb(580, 300) & 0xFF, 0x80u);
    system.release();
}

} // namespace
