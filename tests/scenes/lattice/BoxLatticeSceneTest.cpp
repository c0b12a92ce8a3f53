#include "MessageBoxRecorder.h"
#include "LatticeSceneFixture.h"

#include <crtrand.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>
#include <utility>

namespace {

const double S = static_cast<double>(0.0015f);
const double UNIT = 45 * S;

using LatticeScene = LatticeSceneFixture;

TEST_F(LatticeScene, LoadNamesTheFiveImagesInOrderAndLightsLightZero) {
    size_t at = 0;
    for (const char* name : {"data\\TELV.bmp", "data\\hole.bmp", "data\\back1.bmp",
                             "data\\back2.bmp", "data\\faewfaew.bmp"}) {
        size_t found = loadMessages.find(name, at);
        EXPECT_NE(found, std::string::npos) << name << " in order in: " << loadMessages;
        at = found == std::string::npos ? at : found;
    }
    EXPECT_LT(loadResult, 0) << "the box cannot be built on the recording device";

    std::vector<RecordedCall> lights;
    std::vector<RecordedCall> enables;
    for (const RecordedCall& call : loadCalls) {
        if (call.name == "SetLight") {
            lights.push_back(call);
        } else if (call.name == "LightEnable") {
            enables.push_back(call);
        }
    }
    ASSERT_EQ(lights.size(), 1u);
    EXPECT_EQ(lights[0].args, (std::vector<uint64_t>{0, D3DLIGHT_DIRECTIONAL}));
    EXPECT_EQ(lights[0].floats, (std::vector<float>{1, -1, -1, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f,
                                                    0.2f, 0.2f, 0.2f}));
    ASSERT_EQ(enables.size(), 1u);
    EXPECT_EQ(enables[0].args, (std::vector<uint64_t>{0, 1}));
    EXPECT_EQ(scene.box.material.Diffuse.r, 1.0f);
    EXPECT_EQ(scene.box.material.Diffuse.g, 0.0f);
    EXPECT_EQ(scene.logoSprite.alpha, 255);
}

TEST_F(LatticeScene, StartSetsItsStatesAndGathersTheCubesButKeepsTheCamera) {
    updateTo(300);
    double azimuth = BoxLatticeScene::cameraAzimuth;
    double elevation = BoxLatticeScene::cameraElevation;
    device.clear();
    scene.start();
    std::vector<std::pair<uint32_t, uint32_t>> expected = {{D3DRS_LIGHTING, TRUE},
                                                           {D3DRS_ZENABLE, D3DZB_TRUE},
                                                           {D3DRS_CULLMODE, D3DCULL_NONE},
                                                           {D3DRS_SPECULARENABLE, TRUE},
                                                           {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
                                                           {D3DRS_AMBIENT, 0x00333333},
                                                           {D3DRS_ALPHABLENDENABLE, TRUE},
                                                           {D3DRS_SRCBLEND, D3DBLEND_ONE},
                                                           {D3DRS_DESTBLEND, D3DBLEND_ONE}};
    EXPECT_EQ(device.renderStates(), expected);
    EXPECT_EQ(scene.frameCount, -120);
    for (const Flier& flier : scene.fliers) {
        EXPECT_EQ(flier.x, 0.0);
        EXPECT_EQ(flier.y, 0.0);
    }
    for (double depth : scene.layerDepth) {
        EXPECT_EQ(depth, 0.0);
    }
    EXPECT_EQ(BoxLatticeScene::cameraAzimuth, azimuth);
    EXPECT_EQ(BoxLatticeScene::cameraElevation, elevation);
}

TEST_F(LatticeScene, EachUpdateSetsProjectionViewWorldAndLightFromTheCamera) {
    ASSERT_EQ(scene.update(), 0);
    ASSERT_EQ(device.names(), (std::vector<std::string>{"SetTransform", "SetTransform",
                                                        "SetTransform", "SetLight"}));
    const RecordedCall& projection = device.calls[0];
    const RecordedCall& view = device.calls[1];
    const RecordedCall& world = device.calls[2];
    EXPECT_EQ(projection.args[0], D3DTS_PROJECTION);
    EXPECT_EQ(view.args[0], D3DTS_VIEW);
    EXPECT_EQ(world.args[0], D3DTS_WORLD);

    // 120 taken as radians: cot(60) vertically, divided by 4/3 across.
    const std::vector<float>& p = projection.floats;
    EXPECT_NEAR(p[5], 1.0 / std::tan(60.0), 1e-4);
    EXPECT_NEAR(p[0], p[5] * 0.75, 1e-4);
    EXPECT_NEAR(p[10], 100.0 / (100.0 - 0.1), 1e-5);
    EXPECT_NEAR(p[14], -0.1 * 100.0 / (100.0 - 0.1), 1e-5);
    EXPECT_EQ(p[11], 1.0f);

    // The first view looks from azimuth 46, elevation 45, at the origin.
    const float eye[3] = {0.9824f, 1.4142f, 1.0173f};
    const std::vector<float>& v = view.floats;
    for (int column = 0; column < 3; ++column) {
        double atEye =
            eye[0] * v[column] + eye[1] * v[4 + column] + eye[2] * v[8 + column] + v[12 + column];
        EXPECT_NEAR(atEye, 0.0, 2e-4) << "the eye is the view's origin";
    }
    EXPECT_NEAR(v[12], 0.0, 1e-5);
    EXPECT_NEAR(v[13], 0.0, 1e-5);
    EXPECT_NEAR(v[14], 2.0, 1e-5) << "the lattice's centre lies 2 ahead";

    EXPECT_EQ(world.floats, (std::vector<float>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    const RecordedCall& light = device.calls[3];
    EXPECT_EQ(light.args[0], 0u);
    EXPECT_NEAR(light.floats[0], -0.9824, 1e-4);
    EXPECT_EQ(light.floats[1], -1.0f);
    EXPECT_NEAR(light.floats[2], -1.0173, 1e-4);
    EXPECT_EQ(light.floats[3], 0.3f) << "the colours of load stay";
}

TEST_F(LatticeScene, CameraCirclesFromTheStartAndSwingsFromTick300) {
    updateTo(299);
    EXPECT_EQ(BoxLatticeScene::cameraAzimuth, 45.0 + 419);
    EXPECT_EQ(BoxLatticeScene::cameraElevation, 45.0);
    updateTo(300);
    EXPECT_EQ(BoxLatticeScene::cameraElevation, 46.0);
    updateTo(342);
    EXPECT_EQ(BoxLatticeScene::cameraFalling, 0);
    updateTo(343);
    EXPECT_EQ(BoxLatticeScene::cameraElevation, 89.0) << "the upper turning point";
    EXPECT_EQ(BoxLatticeScene::cameraFalling, 1);
    updateTo(344);
    EXPECT_EQ(BoxLatticeScene::cameraElevation, 88.0);
    updateTo(521);
    EXPECT_EQ(BoxLatticeScene::cameraElevation, -89.0) << "the lower turning point";
    EXPECT_EQ(BoxLatticeScene::cameraFalling, 0);
    updateTo(522);
    EXPECT_EQ(BoxLatticeScene::cameraElevation, -88.0);
    updateTo(699);
    EXPECT_EQ(BoxLatticeScene::cameraElevation, 89.0) << "one full swing takes 356 updates";
    updateTo(900);
    EXPECT_EQ(BoxLatticeScene::cameraAzimuth, 45.0 + 1020) << "never wrapped";

    // Looking straight down from near the top, the light still falls from the camera's side.
    device.clear();
    BoxLatticeScene::cameraElevation = 88.0;
    BoxLatticeScene::cameraFalling = 0;
    BoxLatticeScene::cameraAzimuth = -1.0;
    ASSERT_EQ(scene.update(), 0);
    std::vector<RecordedCall> lights = device.named("SetLight");
    ASSERT_EQ(lights.size(), 1u);
    double flat = 2.0 * std::cos(89.0 * 0.017453293005625408);
    EXPECT_NEAR(lights[0].floats[0], -flat, 1e-6);
    EXPECT_NEAR(lights[0].floats[2], 0.0, 1e-6);
}

TEST_F(LatticeScene, FliersRestThenSpreadIntoAFlatSixBySixGrid) {
    updateTo(0);
    for (const Flier& flier : scene.fliers) {
        EXPECT_EQ(flier.x, 0.0);
        EXPECT_EQ(flier.y, 0.0);
    }
    updateTo(45);
    for (const Flier& flier : scene.fliers) {
        EXPECT_NEAR(flier.x, -UNIT, 1e-12);
        EXPECT_NEAR(flier.y, -UNIT, 1e-12);
    }
    // After the rows: units of (x, y) per flier.
    const double rows[9][2] = {{-3, -3}, {-3, -1}, {-3, -3}, {-1, -3}, {-3, -3},
                               {-1, -3}, {-3, -3}, {-3, -1}, {-1, -1}};
    updateTo(135);
    for (int i = 0; i < 9; ++i) {
        EXPECT_NEAR(scene.fliers[i].x, rows[i][0] * UNIT, 1e-12) << "flier " << i;
        EXPECT_NEAR(scene.fliers[i].y, rows[i][1] * UNIT, 1e-12) << "flier " << i;
    }
    const double grid[9][2] = {{-5, -5}, {-5, -1}, {-3, -5}, {-1, -5}, {-5, -3},
                               {-1, -3}, {-3, -3}, {-3, -1}, {-1, -1}};
    updateTo(225);
    std::set<std::pair<long, long>> points;
    for (int i = 0; i < 9; ++i) {
        EXPECT_NEAR(scene.fliers[i].x, grid[i][0] * UNIT, 1e-12) << "flier " << i;
        EXPECT_NEAR(scene.fliers[i].y, grid[i][1] * UNIT, 1e-12) << "flier " << i;
        long ux = std::lround(scene.fliers[i].x / UNIT);
        long uy = std::lround(scene.fliers[i].y / UNIT);
        for (long sx : {1, -1}) {
            for (long sy : {1, -1}) {
                points.insert({sx * ux, sy * uy});
            }
        }
    }
    EXPECT_EQ(points.size(), 36u) << "mirrored, the fliers fill the whole grid";
    for (double depth : scene.layerDepth) {
        EXPECT_EQ(depth, 0.0) << "the layers wait for the grid";
    }
    Flier settled[9];
    std::copy(std::begin(scene.fliers), std::end(scene.fliers), settled);
    updateTo(900);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(scene.fliers[i].x, settled[i].x);
        EXPECT_EQ(scene.fliers[i].y, settled[i].y);
    }
}

TEST_F(LatticeScene, LayersOpenOutwardsInThreeStages) {
    updateTo(226);
    EXPECT_NEAR(scene.layerDepth[0], S, 1e-15);
    EXPECT_NEAR(scene.layerDepth[1], -S, 1e-15);
    updateTo(270);
    for (int j = 0; j < 6; ++j) {
        EXPECT_NEAR(scene.layerDepth[j], (j % 2 == 0 ? 1 : -1) * UNIT, 1e-12) << "layer " << j;
    }
    updateTo(360);
    const double middle[6] = {3, -3, 3, -3, 1, -1};
    for (int j = 0; j < 6; ++j) {
        EXPECT_NEAR(scene.layerDepth[j], middle[j] * UNIT, 1e-12) << "layer " << j;
    }
    updateTo(450);
    const double lattice[6] = {5, -5, 3, -3, 1, -1};
    for (int j = 0; j < 6; ++j) {
        EXPECT_NEAR(scene.layerDepth[j], lattice[j] * UNIT, 1e-12) << "layer " << j;
    }
    updateTo(800);
    for (int j = 0; j < 6; ++j) {
        EXPECT_NEAR(scene.layerDepth[j], lattice[j] * UNIT, 1e-12) << "still, layer " << j;
    }
}

TEST_F(LatticeScene, DrawsNoRandomNumbers) {
    crtSrand(4321);
    int expected = crtRand();
    crtSrand(4321);
    BoxLatticeScene other;
    MessageBoxRecorder boxes;
    other.load(&graphics);
    boxes.take();
    other.start();
    for (int i = 0; i < 900; ++i) {
        other.update();
        other.render();
        device.clear();
    }
    EXPECT_EQ(crtRand(), expected);
}

} // namespace
