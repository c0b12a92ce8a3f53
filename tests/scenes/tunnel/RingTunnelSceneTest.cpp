#include "SceneTestBed.h"
#include "RuntimeDraws.h"
#include "TunnelSceneFixture.h"

#include <d3dx8.h>

#include <algorithm>
#include <cmath>

namespace {

const double DEG_TO_RAD = 0.017453293005625408;
const float DEG_TO_RAD_F = 0.017453292f;

bool isIdentity(const D3DMATRIX& m) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (std::fabs(m.m[r][c] - (r == c ? 1.0f : 0.0f)) > 1e-6f) {
                return false;
            }
        }
    }
    return true;
}

// A point through a row-vector matrix.
D3DXVECTOR3 transformPoint(const D3DMATRIX& m, float x, float y, float z) {
    return D3DXVECTOR3(x * m._11 + y * m._21 + z * m._31 + m._41,
                       x * m._12 + y * m._22 + z * m._32 + m._42,
                       x * m._13 + y * m._23 + z * m._33 + m._43);
}

TEST_F(TunnelOnRecorder, LoadLaysTheRingOnWholeDegreesAndLightsItFromOneSide) {
    const int32_t firstDegrees[] = {0, 5, 11, 16, 22, 28, 33, 39};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(RingTunnelScene::ringDegrees(k), firstDegrees[k]);
    }
    EXPECT_EQ(RingTunnelScene::ringDegrees(63), 354);
    for (int k = 0; k < RingTunnelScene::RING_SIZE; ++k) {
        double expected = static_cast<float>(RingTunnelScene::ringDegrees(k)) * DEG_TO_RAD_F;
        EXPECT_DOUBLE_EQ(RingTunnelScene::ringX[k], 5.0 * std::cos(expected)) << k;
        EXPECT_DOUBLE_EQ(RingTunnelScene::ringZ[k], 5.0 * std::sin(expected)) << k;
    }
    EXPECT_NEAR(RingTunnelScene::ringX[1], 4.98097, 1e-5);   // 5 degrees, not 5.625
    EXPECT_NEAR(RingTunnelScene::ringZ[63], -0.52264, 1e-5); // 354 degrees

    ASSERT_EQ(recorder.lights.size(), 1u);
    expectGreyDirectionalLight(recorder.lights[0]);
    EXPECT_TRUE(recorder.lightEnabled[0]);

    // Every texture was asked for by its name (the recorder loads none).
    for (const char* name : {"data\\TELV_title.bmp", "data\\circle.bmp", "data\\chars.bmp"}) {
        EXPECT_NE(loadMessages.find(name), std::string::npos) << name;
    }
    EXPECT_EQ(scene.titleSprite.textureWidth, 256.0f);
    EXPECT_EQ(scene.glyphSprite.textureHeight, 256.0f);
}

TEST_F(TunnelOnRecorder, CloudsTakeTheirPointsFromTheGeneratorInXYZOrder) {
    // Loaded from seed 1 (the fixture).
    RuntimeDraws generator(1);
    float draws[RingTunnelScene::CLOUD_COUNT * RingTunnelScene::CLOUD_POINTS * 3];
    for (float& draw : draws) {
        draw = generator.range(-5.0f, 5.0f);
    }
    int at = 0;
    for (const ParticleSystem& cloud : scene.clouds) {
        ASSERT_EQ(cloud.count, RingTunnelScene::CLOUD_POINTS);
        ASSERT_NE(cloud.particles, nullptr);
        for (int i = 0; i < cloud.count; ++i) {
            const Particle& p = cloud.particles[i];
            EXPECT_EQ(p.x, draws[at]);
            EXPECT_EQ(p.y, draws[at + 1]);
            EXPECT_EQ(p.z, draws[at + 2]);
            EXPECT_EQ(p.vx, 0.0f);
            EXPECT_EQ(p.vz, 0.0f);
            EXPECT_EQ(p.color, 0xFFFFFFFFu);
            at += 3;
        }
    }
}

TEST_F(TunnelOnRecorder, StartSetsItsStatesInOrderAndRestartsTheCount) {
    scene.frameCount = 77;
    recorder.clear();
    scene.start();
    EXPECT_EQ(scene.frameCount, 0);
    EXPECT_EQ(recorder.renderStates(), LIT_MESH_STATES);
}

TEST_F(TunnelOnRecorder, TheTitleShrinksInPulsesOf30UpdatesUnderAStillCamera) {
    recorder.clear();
    updateTo(30); // updates 0 to 29: thirty subtractions from 5.2
    EXPECT_DOUBLE_EQ(RingTunnelScene::titleZoom, 0.09999975562095642);
    scene.update(); // update 30 subtracts once more, then restarts
    EXPECT_EQ(RingTunnelScene::titleZoom, 5.199999809265137);
    updateTo(60);
    double afterSecondPulse = RingTunnelScene::titleZoom;
    scene.update();
    EXPECT_EQ(RingTunnelScene::titleZoom, 5.199999809265137);
    updateTo(90);
    EXPECT_EQ(RingTunnelScene::titleZoom, afterSecondPulse);
    scene.update();
    EXPECT_EQ(RingTunnelScene::titleZoom, 5.199999809265137);
    updateTo(120);
    double last = RingTunnelScene::titleZoom;
    EXPECT_NEAR(last, 5.2 - 29 * 0.17, 1e-5);
    updateTo(200);
    EXPECT_EQ(RingTunnelScene::titleZoom, last) << "the orbit leaves the title alone";

    std::vector<D3DMATRIX> views = recorder.transformsOf(D3DTS_VIEW);
    ASSERT_EQ(views.size(), 200u);
    for (int i = 0; i < 120; ++i) {
        EXPECT_TRUE(isIdentity(views[i])) << "intro view " << i << " looks down +z";
    }
    // 120 read as radians: cot 60 = 3.1246 vertically, over 4 / 3 across.
    std::vector<D3DMATRIX> projections = recorder.transformsOf(D3DTS_PROJECTION);
    ASSERT_EQ(projections.size(), 200u);
    EXPECT_NEAR(projections[0]._22, 3.12457, 1e-4);
    EXPECT_NEAR(projections[0]._11, 3.12457 * 0.75, 1e-4);
    EXPECT_NEAR(projections[0]._33, 100.0 / 99.9, 1e-5);
    EXPECT_NEAR(projections[0]._43, -0.1 * 100.0 / 99.9, 1e-6);
    EXPECT_EQ(projections[0]._34, 1.0f);
    // Each update lights from straight above.
    ASSERT_EQ(recorder.lights.size(), 200u);
    EXPECT_EQ(recorder.lights.back().Direction.x, 0.0f);
    EXPECT_EQ(recorder.lights.back().Direction.y, -1.0f);
    EXPECT_EQ(recorder.lights.back().Direction.z, 0.0f);
}

TEST_F(TunnelOnRecorder, TheCameraCirclesJustOutsideTheRingAndRollsAsItGoes) {
    updateTo(121); // the first orbit update, made with the up vector still zero
    EXPECT_EQ(RingTunnelScene::cameraAngle, 1.0);
    double a = 1.0 * DEG_TO_RAD;
    EXPECT_DOUBLE_EQ(RingTunnelScene::cameraUp[0], -10.0 * std::cos(a));
    EXPECT_DOUBLE_EQ(RingTunnelScene::cameraUp[1], -10.0 * std::sin(a));
    EXPECT_DOUBLE_EQ(RingTunnelScene::cameraUp[2], 10.0 * std::sin(a) * std::cos(a));

    recorder.clear();
    scene.update(); // the view from 1 degree towards 31 degrees
    std::vector<D3DMATRIX> views = recorder.transformsOf(D3DTS_VIEW);
    ASSERT_EQ(views.size(), 1u);
    const D3DMATRIX& view = views[0];
    const double r = 5.099999904632568;
    D3DXVECTOR3 eye = transformPoint(view, static_cast<float>(r * std::cos(a)), 0.0f,
                                     static_cast<float>(r * std::sin(a)));
    EXPECT_NEAR(eye.x, 0.0f, 1e-4f);
    EXPECT_NEAR(eye.y, 0.0f, 1e-4f);
    EXPECT_NEAR(eye.z, 0.0f, 1e-4f);
    double b = 31.0 * DEG_TO_RAD;
    D3DXVECTOR3 at = transformPoint(view, static_cast<float>(r * std::cos(b)), 0.0f,
                                    static_cast<float>(r * std::sin(b)));
    EXPECT_NEAR(at.x, 0.0f, 1e-4f);
    EXPECT_NEAR(at.y, 0.0f, 1e-4f);
    EXPECT_NEAR(at.z, 2.0 * r * std::sin(15.0 * DEG_TO_RAD), 1e-4) << "a 30-degree chord ahead";
    // The camera's sideways axis is square to the up vector, its own up leans towards it.
    const double up[3] = {-10.0 * std::cos(a), -10.0 * std::sin(a),
                          10.0 * std::sin(a) * std::cos(a)};
    double sideDot = view._11 * up[0] + view._21 * up[1] + view._31 * up[2];
    double upDot = view._12 * up[0] + view._22 * up[1] + view._32 * up[2];
    EXPECT_NEAR(sideDot, 0.0, 1e-4);
    EXPECT_GT(upDot, 0.0);

    // One degree per update through frameCount 570, never holding 360.
    double previous = RingTunnelScene::cameraAngle;
    int wraps = 0;
    while (scene.frameCount <= 570) {
        scene.update();
        double angle = RingTunnelScene::cameraAngle;
        ASSERT_LT(angle, 360.0);
        if (previous == 359.0) {
            EXPECT_EQ(angle, 0.0);
            wraps += 1;
        } else {
            EXPECT_EQ(angle, previous + 1.0);
        }
        previous = angle;
    }
    EXPECT_EQ(wraps, 1);
    EXPECT_EQ(RingTunnelScene::cameraAngle, 91.0); // 451 steps
    scene.update();                                // frameCount 571: 0.3 degrees from here on
    EXPECT_EQ(RingTunnelScene::cameraAngle, 91.0 + static_cast<double>(0.3f));
}

TEST(TunnelColourCycle, EachComponentRisesAndFallsIn28StepsAndIsClamped) {
    resetTunnelAnimation();
    double* color = RingTunnelScene::cycleColor;
    for (int step = 1; step <= 27; ++step) {
        RingTunnelScene::stepColorCycle();
    }
    EXPECT_LT(color[0], 1.0);
    EXPECT_EQ(RingTunnelScene::cyclePhase, 0);
    RingTunnelScene::stepColorCycle(); // 0.3 + 28 x 0.025 = 1.0000000104, clamped
    EXPECT_EQ(color[0], 1.0);
    EXPECT_EQ(RingTunnelScene::cyclePhase, 1);
    for (int step = 0; step < 28; ++step) {
        RingTunnelScene::stepColorCycle();
    }
    EXPECT_EQ(color[0], 0.3);
    EXPECT_EQ(RingTunnelScene::cyclePhase, 2);
    for (int step = 0; step < 28; ++step) {
        RingTunnelScene::stepColorCycle();
    }
    EXPECT_EQ(color[1], 1.0);
    EXPECT_EQ(color[0], 0.3);
    EXPECT_EQ(RingTunnelScene::cyclePhase, 3);
    for (int step = 0; step < 56; ++step) {
        RingTunnelScene::stepColorCycle();
    }
    EXPECT_EQ(color[2], 1.0);
    EXPECT_EQ(color[1], 0.3);
    EXPECT_EQ(RingTunnelScene::cyclePhase, 5);
    for (int step = 0; step < 28; ++step) {
        RingTunnelScene::stepColorCycle();
    }
    // 168 steps: the whole cycle, back where it began.
    EXPECT_EQ(RingTunnelScene::cyclePhase, 0);
    EXPECT_EQ(color[0], 0.3);
    EXPECT_EQ(color[1], 0.3);
    EXPECT_EQ(color[2], 0.3);
}

TEST_F(TunnelOnRecorder, TheToriTakeTheColourFromBeforeEachCycleStep) {
    D3DMATERIAL8 made = RingTunnelScene::makeMaterial(0.3, 0.5, 1.0);
    for (const D3DCOLORVALUE& c : {made.Diffuse, made.Ambient, made.Specular, made.Emissive}) {
        EXPECT_EQ(c.r, 0.3f);
        EXPECT_EQ(c.g, 0.5f);
        EXPECT_EQ(c.b, 1.0f);
        EXPECT_EQ(c.a, 1.0f);
    }
    EXPECT_EQ(made.Power, 2.0f);

    updateTo(120);
    EXPECT_EQ(RingTunnelScene::cycleColor[0], 0.3) << "the intro does not cycle";
    scene.update();
    EXPECT_EQ(RingTunnelScene::ringMaterial.Diffuse.r, 0.3f);
    EXPECT_EQ(RingTunnelScene::ringMaterial.Emissive.g, 0.3f);
    EXPECT_DOUBLE_EQ(RingTunnelScene::cycleColor[0], 0.3 + static_cast<double>(0.025f));
    scene.update();
    EXPECT_EQ(RingTunnelScene::ringMaterial.Diffuse.r, static_cast<float>(0.3 + 0.025f));
}

TEST_F(TunnelOnRecorder, TunnelFramesStandEveryTorusAcrossThePath) {
    updateTo(200);
    recorder.clear();
    scene.render();
    std::vector<D3DMATRIX> worlds = recorder.transformsOf(D3DTS_WORLD);
    ASSERT_EQ(worlds.size(), 65u);
    for (int k = 0; k < 64; ++k) {
        const D3DMATRIX& w = worlds[k];
        EXPECT_FLOAT_EQ(w._41, static_cast<float>(RingTunnelScene::ringX[k]));
        EXPECT_FLOAT_EQ(w._42, 0.0f);
        EXPECT_FLOAT_EQ(w._43, static_cast<float>(RingTunnelScene::ringZ[k]));
        // The torus axis (z) turned onto the ring's tangent: square to the radius.
        double along = w._31 * w._41 + w._33 * w._43;
        EXPECT_NEAR(along, 0.0, 1e-4) << k;
        EXPECT_NEAR(w._31 * w._31 + w._33 * w._33, 1.0, 1e-5);
        EXPECT_EQ(w._32, 0.0f);
    }
    EXPECT_TRUE(isIdentity(worlds[64])) << "the clouds are drawn in world space";

    // Drawn straight to the back buffer: no target change, blending off at
    // first and at the end, lighting back on.
    std::vector<std::string> names = recorder.names();
    EXPECT_EQ(std::count(names.begin(), names.end(), "SetRenderTarget"), 0);
    std::vector<std::pair<uint32_t, uint32_t>> states = recorder.renderStates();
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.front(), std::make_pair(uint32_t{D3DRS_ALPHABLENDENABLE}, uint32_t{FALSE}));
    EXPECT_EQ(states.back(), std::make_pair(uint32_t{D3DRS_ALPHABLENDENABLE}, uint32_t{FALSE}));
    EXPECT_NE(std::find(states.begin(), states.end(),
                        std::make_pair(uint32_t{D3DRS_FILLMODE}, uint32_t{D3DFILL_SOLID})),
              states.end());
    auto lighting = std::find(states.rbegin(), states.rend(),
                              std::make_pair(uint32_t{D3DRS_LIGHTING}, uint32_t{TRUE}));
    auto unlit = std::find(states.rbegin(), states.rend(),
                           std::make_pair(uint32_t{D3DRS_LIGHTING}, uint32_t{FALSE}));
    ASSERT_NE(lighting, states.rend());
    EXPECT_LT(lighting, unlit) << "lighting comes back on after the clouds";
    std::vector<RecordedCall> clears = recorder.named("Clear");
    ASSERT_EQ(clears.size(), 1u);
}

TEST_F(TunnelOnRecorder, FromFrame631TheTunnelGoesThroughTheTrail) {
    updateTo(630);
    recorder.clear();
    scene.render();
    EXPECT_EQ(recorder.named("SetRenderTarget").size(), 0u) << "630 is still drawn directly";
    updateTo(631);
    recorder.clear();
    scene.render();
    std::vector<std::string> names = recorder.names();
    // Blending off, then the capture (target, viewport, its white clear), then the scene's clear.
    ASSERT_GE(names.size(), 5u);
    EXPECT_EQ(names[0], "SetRenderState");
    EXPECT_EQ(names[1], "SetRenderTarget");
    EXPECT_EQ(names[2], "SetViewport");
    EXPECT_EQ(names[3], "Clear");
    EXPECT_EQ(names[4], "Clear");
    std::vector<RecordedCall> clears = recorder.named("Clear");
    EXPECT_EQ(static_cast<uint32_t>(clears[0].args[3]), 0xFFFFFFFFu);
    EXPECT_EQ(static_cast<uint32_t>(clears[1].args[3]), 0xFF000000u);
    // The composite ends the frame: back to the back buffer and the blended image shown.
    EXPECT_EQ(names.back(), "DrawPrimitiveUP");
    EXPECT_EQ(std::count(names.begin(), names.end(), "SetRenderTarget"), 2);
}

} // namespace
