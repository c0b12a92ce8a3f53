#include "SceneTestBed.h"
#include "MessageBoxRecorder.h"
#include "scenes/fan/ParticleFanScene.h"
#include "RecordingDevice.h"
#include "RuntimeDraws.h"

#include <crtrand.h>
#include <d3dx8.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

// The angle of a quad's first corner about its centre, in degrees.
double cornerAngle(const std::vector<ScreenVertex>& v) {
    float cx = (v[0].x + v[1].x + v[2].x + v[3].x) / 4.0f;
    float cy = (v[0].y + v[1].y + v[2].y + v[3].y) / 4.0f;
    return std::atan2(v[0].y - cy, v[0].x - cx) * 180.0 / 3.141592653589793;
}

// The scene on the recording device, loaded with the generator seeded as
// after the loading screen and started.
class ParticleFanSceneTest : public SceneTestBed<ParticleFanScene> {
protected:
    void SetUp() override {
        ParticleFanScene::cameraAngle = 0.0;
        ParticleFanScene::cameraHeight = 0.0;
        ParticleFanScene::cameraFalling = 0;
        load();
        crtSrand(0);
        scene.start();
        device.clear();
    }

    // Centres of the screen quads one render draws.
    std::vector<std::pair<float, float>> quadCentres() {
        std::vector<std::pair<float, float>> centres;
        for (const RecordedCall& draw : device.named("DrawPrimitiveUP")) {
            const std::vector<ScreenVertex>& v = draw.vertices;
            centres.emplace_back((v[0].x + v[1].x + v[2].x + v[3].x) / 4.0f,
                                 (v[0].y + v[1].y + v[2].y + v[3].y) / 4.0f);
        }
        return centres;
    }
};

TEST_F(ParticleFanSceneTest, StartEmitsTheBurstsAtRandomPointsDrawnZFirst) {
    // A fresh scene started from seed 0; the orbits drew nothing since loading.
    RuntimeDraws draws(0);
    for (int k = 0; k < 3; ++k) {
        float z = draws.range(-3.0f, 3.0f);
        float y = draws.range(-3.0f, 3.0f);
        float x = draws.range(-3.0f, 3.0f);
        draws.skip(192 * 5);
        for (const ParticleSystem& system : scene.bursts[k].systems) {
            EXPECT_EQ(system.particles[0].x, x) << "burst " << k;
            EXPECT_EQ(system.particles[63].y, y) << "burst " << k;
            EXPECT_EQ(system.particles[17].z, z) << "burst " << k;
        }
    }
    EXPECT_EQ(crtRand(), draws.next());
    EXPECT_EQ(scene.frameCount, 0);
}

TEST_F(ParticleFanSceneTest, StartTurnsLightingOffBeforeAnyParticleIsDrawn) {
    // The scene before leaves lighting on; particles have no normals and would
    // be lit by the material alone.
    device.SetRenderState(D3DRS_LIGHTING, TRUE);
    device.clear();
    scene.start();
    std::vector<std::pair<uint32_t, uint32_t>> states = device.renderStates();
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.front(), (std::pair<uint32_t, uint32_t>{D3DRS_LIGHTING, FALSE}));
    scene.render();
    scene.update();
    scene.render();
    for (const auto& state : device.renderStates()) {
        EXPECT_FALSE(state.first == D3DRS_LIGHTING && state.second != FALSE)
            << "nothing turns lighting back on";
    }
}

TEST_F(ParticleFanSceneTest, LoadGivesTheShellAndCoreTheirSizesAndColours) {
    EXPECT_EQ(scene.shell.count, 128);
    EXPECT_EQ(scene.shell.radius, static_cast<double>(0.3f));
    EXPECT_EQ(scene.shell.particles[127].color, 0xFFFF7F00u);
    EXPECT_EQ(scene.core.count, 16);
    EXPECT_EQ(scene.core.radius, static_cast<double>(0.1f));
    EXPECT_EQ(scene.core.particles[0].color, 0xFFFF0000u);
    EXPECT_EQ(scene.fan.textureWidth, 64.0f);
    // The recording device loads no file: the fan reports its missing image.
    EXPECT_NE(loadMessages.find("fan.bmp"), std::string::npos) << loadMessages;
}

TEST_F(ParticleFanSceneTest, BurstsJoinAt30And60And90AndReexplodeEvery128Updates) {
    const float start0 = scene.bursts[0].systems[0].particles[0].x;
    const float start2 = scene.bursts[2].systems[1].particles[9].y;
    updates(29);
    EXPECT_EQ(scene.bursts[0].systems[0].particles[0].x, start0) << "not joined yet";
    EXPECT_EQ(scene.bursts[0].alpha, 255);
    updates(1);
    EXPECT_NE(scene.bursts[0].systems[0].particles[0].x, start0) << "moves from update 30";
    EXPECT_EQ(scene.bursts[0].alpha, 253);
    EXPECT_EQ(scene.bursts[1].alpha, 255);
    updates(30);
    EXPECT_EQ(scene.bursts[1].alpha, 253) << "burst 1 joins at 60";
    updates(29);
    EXPECT_EQ(scene.bursts[2].systems[1].particles[9].y, start2) << "burst 2 still waits";
    updates(1);
    EXPECT_EQ(scene.bursts[2].alpha, 253) << "burst 2 joins at 90";

    // Burst 0's 128th step is update 157: re-emitted at once, elsewhere, at full alpha.
    updates(156 - 90);
    EXPECT_EQ(scene.bursts[0].alpha, 1);
    const Particle before = scene.bursts[0].systems[2].particles[3];
    updates(1);
    EXPECT_EQ(scene.bursts[0].alpha, 255);
    const Particle& after = scene.bursts[0].systems[2].particles[3];
    EXPECT_NE(after.x, before.x);
    EXPECT_EQ(after.color, 0xFFFFFFFFu) << "fresh, not yet faded";
    // All 192 particles start together again.
    EXPECT_EQ(scene.bursts[0].systems[0].particles[40].x, after.x);
    EXPECT_EQ(scene.bursts[0].systems[1].particles[63].z, after.z);
    updates(127);
    EXPECT_EQ(scene.bursts[0].alpha, 1);
    updates(1);
    EXPECT_EQ(scene.bursts[0].alpha, 255) << "and again 128 updates later, at 285";
}

TEST_F(ParticleFanSceneTest, TheCameraCirclesEvery180UpdatesAndBobsEvery400) {
    updates(1);
    EXPECT_EQ(ParticleFanScene::cameraAngle, 2.0);
    updates(178);
    EXPECT_EQ(ParticleFanScene::cameraAngle, 358.0);
    updates(1);
    EXPECT_EQ(ParticleFanScene::cameraAngle, 0.0) << "360 is never held";

    // Height: 0.1f steps up to the clamp at 10, then down to -10.
    ParticleFanScene::cameraHeight = 9.95;
    ParticleFanScene::cameraFalling = 0;
    updates(1);
    EXPECT_EQ(ParticleFanScene::cameraHeight, 10.0);
    EXPECT_EQ(ParticleFanScene::cameraFalling, 1);
    updates(1);
    EXPECT_EQ(ParticleFanScene::cameraHeight, 10.0 - static_cast<double>(0.1f));
    ParticleFanScene::cameraHeight = -9.95;
    updates(1);
    EXPECT_EQ(ParticleFanScene::cameraHeight, -10.0);
    EXPECT_EQ(ParticleFanScene::cameraFalling, 0);

    // A whole cycle from the start: up for 100 updates, down for 200, up for 100.
    ParticleFanScene::cameraHeight = 0.0;
    int turns = 0;
    int previous = ParticleFanScene::cameraFalling;
    for (int i = 0; i < 400; ++i) {
        scene.update();
        turns += ParticleFanScene::cameraFalling != previous ? 1 : 0;
        previous = ParticleFanScene::cameraFalling;
    }
    EXPECT_EQ(turns, 2);
    EXPECT_NEAR(ParticleFanScene::cameraHeight, 0.0, 1e-5);

    // start resets the angle only.
    ParticleFanScene::cameraHeight = 4.0;
    ParticleFanScene::cameraFalling = 1;
    scene.start();
    EXPECT_EQ(ParticleFanScene::cameraAngle, 0.0);
    EXPECT_EQ(ParticleFanScene::cameraHeight, 4.0);
    EXPECT_EQ(ParticleFanScene::cameraFalling, 1);
    EXPECT_EQ(scene.frameCount, 0);
}

TEST_F(ParticleFanSceneTest, UpdateSetsANarrowProjectionAndLooksAtTheOriginFromTheEllipse) {
    ParticleFanScene::cameraHeight = 3.0;
    updates(45); // angle 90: the eye at (0, 3 + 45 x 0.1f, 20)
    ASSERT_EQ(device.currentTransforms.count(D3DTS_PROJECTION), 1u);
    D3DXMATRIX projection(device.currentTransforms[D3DTS_PROJECTION]);
    // 120 read as radians: cot(60) = 3.1246, not the cot(60 degrees) of a wide view.
    EXPECT_NEAR(projection._22, 1.0 / std::tan(60.0), 1e-4);
    EXPECT_NEAR(projection._11, projection._22 / (800.0f / 600.0f), 1e-4);
    EXPECT_NEAR(projection._33, 100.0 / (100.0 - 0.1), 1e-5);
    EXPECT_NEAR(projection._43, -0.1 * 100.0 / (100.0 - 0.1), 1e-5);

    D3DXMATRIX world(device.currentTransforms[D3DTS_WORLD]);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_TRUE(world == identity);

    // The view takes the eye to the origin and the origin straight ahead.
    D3DXMATRIX view(device.currentTransforms[D3DTS_VIEW]);
    double height = ParticleFanScene::cameraHeight;
    D3DXVECTOR3 eye(static_cast<float>(5.0 * std::cos(90.0 * 0.017453293005625408)),
                    static_cast<float>(height),
                    static_cast<float>(20.0 * std::sin(90.0 * 0.017453293005625408)));
    D3DXVECTOR3 seen;
    D3DXVec3TransformCoord(&seen, &eye, &view);
    EXPECT_NEAR(seen.x, 0.0f, 1e-4);
    EXPECT_NEAR(seen.y, 0.0f, 1e-4);
    EXPECT_NEAR(seen.z, 0.0f, 1e-4);
    D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    D3DXVec3TransformCoord(&seen, &origin, &view);
    EXPECT_NEAR(seen.x, 0.0f, 1e-4);
    EXPECT_NEAR(seen.y, 0.0f, 1e-4);
    EXPECT_NEAR(seen.z, std::sqrt(20.0 * 20.0 + height * height), 1e-3);
}

TEST_F(ParticleFanSceneTest, TheFirstRenderDrawsTenFansInTwoRowsAndNoTrail) {
    EXPECT_EQ(scene.render(), 0);
    std::vector<std::string> names = device.names();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[0], "Clear");
    EXPECT_EQ(device.named("SetRenderTarget").size(), 0u);
    auto centres = quadCentres();
    ASSERT_EQ(centres.size(), 10u) << "fans only: the bursts have not joined";
    for (int i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(centres[i].first, 64.0f * i + 32.0f);
        EXPECT_FLOAT_EQ(centres[i].second, 72.0f);
        // In 800 x 600 the bottom row's corners are x = 736, 672, ..., 480 and y = 496.
        EXPECT_FLOAT_EQ(centres[5 + i].first, 800.0f - 64.0f * (i + 1) + 32.0f);
        EXPECT_FLOAT_EQ(centres[5 + i].second, 496.0f + 32.0f);
    }
    auto clear = device.named("Clear")[0];
    EXPECT_EQ(clear.args[2], static_cast<uint64_t>(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER));
    EXPECT_EQ(clear.args[3], 0xFF000000u);

    std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {D3DRS_ALPHABLENDENABLE, TRUE},          {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ONE},         {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
        {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    };
    EXPECT_EQ(device.renderStates(), expected)
        << "the shells draw nothing on the recorder, which makes no vertex buffers";
}

TEST_F(ParticleFanSceneTest, FansTurnAtZeroToEightTimesTheCameraAngle) {
    updates(10); // camera angle 20
    device.clear();
    scene.render();
    auto draws = device.named("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 10u);
    // Fan i of either row is turned 2 x i x 20 degrees from fan 0 of its row,
    // about its own unmoved centre.
    for (int row = 0; row < 2; ++row) {
        double first = cornerAngle(draws[5 * row].vertices);
        for (int i = 1; i < 5; ++i) {
            double turn =
                std::fabs(std::remainder(cornerAngle(draws[5 * row + i].vertices) - first, 360.0));
            EXPECT_NEAR(turn, 40.0 * i, 1e-2) << "row " << row << " fan " << i;
        }
    }
}

TEST_F(ParticleFanSceneTest, From290TheFrameGoesThroughTheTrailAndIsInverted) {
    updates(289);
    device.clear();
    scene.render();
    EXPECT_EQ(device.named("SetRenderTarget").size(), 0u) << "update 289: no trail yet";

    updates(1);
    device.clear();
    scene.render();
    std::vector<std::string> names = device.names();
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[0], "SetRenderTarget") << "capture starts before the scene's clear";
    EXPECT_EQ(names[1], "SetViewport");
    EXPECT_EQ(names[2], "Clear");
    EXPECT_EQ(device.named("Clear").back().args[3], 0xFF000000u) << "the scene's black clear";

    // The inverting overlay: the last draw, white over the whole screen.
    auto draws = device.named("DrawPrimitiveUP");
    ASSERT_GE(draws.size(), 13u) << "10 fans, 2 trail quads, the overlay";
    const std::vector<ScreenVertex>& overlay = draws.back().vertices;
    EXPECT_EQ(overlay[0].color, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(overlay[0].x, 0.0f);
    EXPECT_FLOAT_EQ(overlay[2].x, 800.0f);
    EXPECT_FLOAT_EQ(overlay[2].y, 600.0f);
    auto states = device.renderStates();
    ASSERT_GE(states.size(), 2u);
    // What the bands are blended with afterwards.
    EXPECT_EQ(states[states.size() - 2],
              (std::pair<uint32_t, uint32_t>{D3DRS_SRCBLEND, D3DBLEND_INVDESTCOLOR}));
    EXPECT_EQ(states.back(), (std::pair<uint32_t, uint32_t>{D3DRS_DESTBLEND, D3DBLEND_ZERO}));
}

} // namespace
