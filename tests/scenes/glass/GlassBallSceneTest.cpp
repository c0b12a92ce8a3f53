#include "scenes/glass/GlassBallScene.h"
#include "SceneTestBed.h"
#include "MessageBoxRecorder.h"
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

const double STEP = static_cast<double>(0.01f);

class GlassBallSceneTest : public SceneTestBed<GlassBallScene> {
protected:
    void SetUp() override {
        GlassBallScene::eyeHeight = 0.0;
        GlassBallScene::eyeFalling = 0;
        GlassBallScene::tintRed = 0.0;
        GlassBallScene::tintGreen = 0.0;
        GlassBallScene::tintBlue = 0.0;
        GlassBallScene::whiteLevel = 0.0;
        load();
        crtSrand(0);
        scene.start();
        device.clear();
    }
};

TEST_F(GlassBallSceneTest, LoadNamesBothModelsAndSetsTheWhiteDirectionalLight) {
    // Neither model exists where the tests run: each load names its file.
    EXPECT_NE(loadMessages.find("data\\box.x"), std::string::npos) << loadMessages;
    EXPECT_NE(loadMessages.find("data\\ball.x"), std::string::npos) << loadMessages;

    const D3DLIGHT8& light = scene.light;
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    for (const D3DCOLORVALUE& colour : {light.Diffuse, light.Specular, light.Ambient}) {
        EXPECT_EQ(colour.r, 1.0f);
        EXPECT_EQ(colour.g, 1.0f);
        EXPECT_EQ(colour.b, 1.0f);
        EXPECT_EQ(colour.a, 0.0f);
    }
    EXPECT_EQ(light.Direction.x, 1.0f);
    EXPECT_EQ(light.Direction.y, -1.0f);
    EXPECT_EQ(light.Direction.z, -1.0f);
    EXPECT_EQ(light.Range, 0.0f);
    EXPECT_EQ(light.Phi, 0.0f);
    EXPECT_EQ(device.currentLights[0].Direction.z, -1.0f) << "load hands the light to the device";
    EXPECT_EQ(scene.tintQuad.device, &device);
}

TEST_F(GlassBallSceneTest, StartSetsTheStatesAndDrawsSixtyNumbersInBallOrder) {
    crtSrand(0);
    scene.start();
    std::vector<std::pair<uint32_t, uint32_t>> states = {{D3DRS_LIGHTING, TRUE},
                                                         {D3DRS_ZENABLE, D3DZB_TRUE},
                                                         {D3DRS_CULLMODE, D3DCULL_NONE},
                                                         {D3DRS_SPECULARENABLE, TRUE},
                                                         {D3DRS_SHADEMODE, 2},
                                                         {D3DRS_AMBIENT, 0x00333333},
                                                         {D3DRS_ALPHABLENDENABLE, FALSE},
                                                         {D3DRS_SRCBLEND, D3DBLEND_ONE},
                                                         {D3DRS_DESTBLEND, D3DBLEND_ONE}};
    EXPECT_EQ(device.renderStates(), states);
    EXPECT_EQ(scene.frameCount, 0);

    // Per ball: three positions, then one draw per axis for the direction.
    RuntimeDraws draws(0);
    for (int k = 0; k < GlassBallScene::BALL_COUNT; ++k) {
        double x = draws.range(-0.75f, 0.75f);
        double y = draws.range(-0.75f, 0.75f);
        double z = draws.range(-0.75f, 0.75f);
        EXPECT_EQ(GlassBallScene::ballX[k], x) << "ball " << k;
        EXPECT_EQ(GlassBallScene::ballY[k], y) << "ball " << k;
        EXPECT_EQ(GlassBallScene::ballZ[k], z) << "ball " << k;
        for (double step : {GlassBallScene::ballStepX[k], GlassBallScene::ballStepY[k],
                            GlassBallScene::ballStepZ[k]}) {
            EXPECT_EQ(step, draws.next() % 2 == 0 ? STEP : -STEP) << "ball " << k;
        }
        for (double place :
             {GlassBallScene::ballX[k], GlassBallScene::ballY[k], GlassBallScene::ballZ[k]}) {
            EXPECT_GE(place, -0.75) << "ball " << k;
            EXPECT_LE(place, 0.75) << "ball " << k;
        }
    }
    crtSrand(0);
    scene.start();
    EXPECT_EQ(crtRand(), draws.next()) << "start takes exactly sixty numbers";

    // The balls are not all alike: the draws are spread out.
    EXPECT_NE(GlassBallScene::ballX[0], GlassBallScene::ballX[1]);
}

TEST_F(GlassBallSceneTest, BallsTurnAtTheWallsAndKeepTheirSpeed) {
    // Lands exactly on a wall: clamped and reversed in the same update.
    GlassBallScene::ballX[0] = 0.75 - STEP;
    GlassBallScene::ballStepX[0] = STEP;
    GlassBallScene::ballY[0] = -0.75 + STEP;
    GlassBallScene::ballStepY[0] = -STEP;
    // Passes the wall.
    GlassBallScene::ballZ[0] = -0.745;
    GlassBallScene::ballStepZ[0] = -STEP;
    // Moves freely.
    GlassBallScene::ballX[1] = 0.0;
    GlassBallScene::ballStepX[1] = STEP;
    updates(1);
    EXPECT_EQ(GlassBallScene::ballX[0], 0.75);
    EXPECT_EQ(GlassBallScene::ballStepX[0], -STEP);
    EXPECT_EQ(GlassBallScene::ballY[0], -0.75);
    EXPECT_EQ(GlassBallScene::ballStepY[0], STEP);
    EXPECT_EQ(GlassBallScene::ballZ[0], -0.75);
    EXPECT_EQ(GlassBallScene::ballStepZ[0], STEP);
    EXPECT_EQ(GlassBallScene::ballX[1], STEP);
    EXPECT_EQ(GlassBallScene::ballStepX[1], STEP);
    updates(1);
    EXPECT_DOUBLE_EQ(GlassBallScene::ballX[0], 0.75 - STEP);
    EXPECT_DOUBLE_EQ(GlassBallScene::ballY[0], -0.75 + STEP);

    // Over a long run every ball stays inside the cube at the one speed.
    for (int i = 0; i < 1000; ++i) {
        updates(1);
        for (int k = 0; k < GlassBallScene::BALL_COUNT; ++k) {
            for (double position :
                 {GlassBallScene::ballX[k], GlassBallScene::ballY[k], GlassBallScene::ballZ[k]}) {
                ASSERT_GE(position, -0.75);
                ASSERT_LE(position, 0.75);
            }
            for (double step : {GlassBallScene::ballStepX[k], GlassBallScene::ballStepY[k],
                                GlassBallScene::ballStepZ[k]}) {
                ASSERT_EQ(std::fabs(step), STEP);
            }
        }
    }
}

TEST_F(GlassBallSceneTest, EyeBobsBetweenItsLimitsAndStartDoesNotResetIt) {
    updates(60);
    EXPECT_LT(GlassBallScene::eyeHeight, 0.6f);
    EXPECT_EQ(GlassBallScene::eyeFalling, 0);
    updates(1); // 61: the first top, clamped
    EXPECT_EQ(GlassBallScene::eyeHeight, static_cast<double>(0.6f));
    EXPECT_EQ(GlassBallScene::eyeFalling, 1);
    updates(120);
    EXPECT_GT(GlassBallScene::eyeHeight, -0.6f);
    updates(1); // 182: the bottom
    EXPECT_EQ(GlassBallScene::eyeHeight, -static_cast<double>(0.6f));
    EXPECT_EQ(GlassBallScene::eyeFalling, 0);
    updates(121); // 303: the top again
    EXPECT_EQ(GlassBallScene::eyeHeight, static_cast<double>(0.6f));

    updates(5);
    double height = GlassBallScene::eyeHeight;
    scene.start();
    EXPECT_EQ(GlassBallScene::eyeHeight, height);
    EXPECT_EQ(GlassBallScene::eyeFalling, 1);
}

TEST_F(GlassBallSceneTest, CameraCirclesTheOriginOneDegreePerUpdate) {
    updates(90);
    ASSERT_EQ(device.currentTransforms.count(D3DTS_VIEW), 1u);
    D3DXMATRIX view(device.currentTransforms[D3DTS_VIEW]);
    // At 90 degrees the eye stands at (0, h, 0.75): the eye maps to the
    // camera's origin and the scene's origin lies straight ahead.
    float h = static_cast<float>(GlassBallScene::eyeHeight);
    D3DXVECTOR3 eye(0.0f, h, 0.75f);
    D3DXVECTOR3 inCamera;
    D3DXVec3TransformCoord(&inCamera, &eye, &view);
    EXPECT_NEAR(inCamera.x, 0.0f, 1e-5f);
    EXPECT_NEAR(inCamera.y, 0.0f, 1e-5f);
    EXPECT_NEAR(inCamera.z, 0.0f, 1e-5f);
    D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    D3DXVec3TransformCoord(&inCamera, &origin, &view);
    EXPECT_NEAR(inCamera.x, 0.0f, 1e-5f);
    EXPECT_NEAR(inCamera.y, 0.0f, 1e-5f);
    EXPECT_NEAR(inCamera.z, std::sqrt(0.75f * 0.75f + h * h), 1e-5f);
    // Up stays up: a point above the origin is above the centre.
    D3DXVECTOR3 above(0.0f, 1.0f, 0.0f);
    D3DXVec3TransformCoord(&inCamera, &above, &view);
    EXPECT_GT(inCamera.y, 0.5f);

    updates(90); // 180 degrees: the eye at (-0.75, h, 0)
    view = D3DXMATRIX(device.currentTransforms[D3DTS_VIEW]);
    h = static_cast<float>(GlassBallScene::eyeHeight);
    eye = D3DXVECTOR3(-0.75f, h, 0.0f);
    D3DXVec3TransformCoord(&inCamera, &eye, &view);
    EXPECT_NEAR(inCamera.x, 0.0f, 1e-5f);
    EXPECT_NEAR(inCamera.z, 0.0f, 1e-5f);

    // The field of view 120 read as radians, aspect 4:3, planes 0.1 and 100.
    const D3DMATRIX& projection = device.currentTransforms[D3DTS_PROJECTION];
    float yScale = static_cast<float>(1.0 / std::tan(60.0));
    EXPECT_NEAR(projection._22, yScale, 1e-4f);
    EXPECT_NEAR(projection._11, yScale * 0.75f, 1e-4f);
    EXPECT_NEAR(projection._33, 100.0f / 99.9f, 1e-5f);
    EXPECT_NEAR(projection._43, -0.1f * 100.0f / 99.9f, 1e-5f);
    EXPECT_EQ(projection._34, 1.0f);

    // Every update hands the light to the device again.
    EXPECT_EQ(device.named("SetLight").size(), 180u);
    EXPECT_EQ(device.named("LightEnable").size(), 180u);
}

TEST_F(GlassBallSceneTest, TintRisesRedThenGreenThenBlueAndTheWhiteComesLate) {
    updates(255);
    EXPECT_EQ(GlassBallScene::tintRed, 255.0);
    EXPECT_EQ(GlassBallScene::tintGreen, 0.0);
    updates(1);
    EXPECT_EQ(GlassBallScene::tintGreen, 1.0);
    updates(254); // 510
    EXPECT_EQ(GlassBallScene::tintGreen, 255.0);
    EXPECT_EQ(GlassBallScene::tintBlue, 0.0);
    updates(1); // 511
    EXPECT_EQ(GlassBallScene::tintBlue, 1.0);
    EXPECT_EQ(scene.tintQuad.red, 255);
    EXPECT_EQ(scene.tintQuad.green, 255);
    EXPECT_EQ(scene.tintQuad.blue, 1);
    updates(400);
    EXPECT_EQ(GlassBallScene::tintBlue, 255.0) << "each channel stops at 255";

    // The white: nothing before update 480, 2.5 per update, full at 581.
    GlassBallScene::whiteLevel = 0.0;
    scene.frameCount = 0;
    updates(479);
    EXPECT_EQ(GlassBallScene::whiteLevel, 0.0);
    updates(1);
    EXPECT_EQ(GlassBallScene::whiteLevel, 2.5);
    updates(100); // 580
    EXPECT_EQ(GlassBallScene::whiteLevel, 252.5);
    updates(1);
    EXPECT_EQ(GlassBallScene::whiteLevel, 255.0);
    updates(10);
    EXPECT_EQ(GlassBallScene::whiteLevel, 255.0);
}

TEST_F(GlassBallSceneTest, RenderAddsTheTintToTheCopyAndTheWhiteOverTheScreen) {
    // The first render comes before any update: the quad still has the white
    // attach gave it, and no grey is added to the screen.
    ASSERT_EQ(scene.render(), 0);
    std::vector<RecordedCall> draws = device.named("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].vertices[0].color, 0xFFFFFFFFu);
    EXPECT_EQ(draws[0].vertices[2].x, 800.0f);
    EXPECT_EQ(draws[0].vertices[2].y, 600.0f);
    EXPECT_EQ(draws[0].vertices[0].z, 1.0f);
    std::vector<RecordedCall> clears = device.named("Clear");
    ASSERT_GE(clears.size(), 2u) << "the back buffer, then the background target";
    EXPECT_EQ(clears[0].args[2], static_cast<uint64_t>(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER));
    EXPECT_EQ(clears[0].args[3], 0xFF000000u);

    // The order of the passes around the tint.
    std::vector<std::string> expectedOrder = {
        "Clear",          "SetRenderTarget", "SetViewport",     "Clear",
        "SetRenderState", "SetTransform",    "SetRenderTarget", "SetRenderState",
        "SetTexture",     "SetStreamSource", "SetVertexShader", "DrawPrimitive",
        "SetRenderState", "SetTexture",      "SetVertexShader", "DrawPrimitiveUP",
        "SetTexture",     "SetRenderState",  "SetRenderTarget", "SetViewport",
        "SetRenderState", "SetRenderState"};
    std::vector<std::string> names = device.names();
    ASSERT_GE(names.size(), expectedOrder.size());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + expectedOrder.size()),
              expectedOrder);

    // Depth on for the background, off for the copy and its tint, on again
    // for the balls (unlit), off for the result; nothing else is set.
    std::vector<std::pair<uint32_t, uint32_t>> passStates = {
        {D3DRS_ZENABLE, TRUE},           {D3DRS_ZENABLE, FALSE}, {D3DRS_ALPHABLENDENABLE, TRUE},
        {D3DRS_ALPHABLENDENABLE, FALSE}, {D3DRS_ZENABLE, TRUE},  {D3DRS_LIGHTING, FALSE},
        {D3DRS_ZENABLE, FALSE}};
    EXPECT_EQ(device.renderStates(), passStates);

    // After 300 updates the tint is (255, 45, 0); still no grey.
    updates(300);
    device.clear();
    scene.render();
    draws = device.named("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].vertices[0].color, 0xFFFF2D00u);

    // From update 480 the grey follows, drawn by the same quad, added.
    updates(200); // 500: tint (255, 245, 0), white 2.5 x 21 = 52.5
    device.clear();
    scene.render();
    draws = device.named("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].vertices[0].color, 0xFFFFF500u);
    EXPECT_EQ(draws[1].vertices[0].color, 0xFF343434u);
    std::vector<std::pair<uint32_t, uint32_t>> states = device.renderStates();
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ(states[states.size() - 2], std::make_pair(uint32_t(D3DRS_ALPHABLENDENABLE), 1u));
    EXPECT_EQ(states.back(), std::make_pair(uint32_t(D3DRS_ALPHABLENDENABLE), 0u));
    // The next update restores the tint on the quad.
    updates(1);
    EXPECT_EQ(scene.tintQuad.green, 246);
    EXPECT_EQ(scene.tintQuad.blue, 0);
}

TEST_F(GlassBallSceneTest, EachBallIsScaledThenMovedToItsPlace) {
    GlassBallScene::ballX[3] = 0.5;
    GlassBallScene::ballY[3] = -0.25;
    GlassBallScene::ballZ[3] = 0.125;
    device.transforms.clear();
    scene.render();
    std::vector<D3DMATRIX> worlds = device.transformsOf(D3DTS_WORLD);
    ASSERT_EQ(worlds.size(), 11u) << "the box, then ten balls";
    const D3DMATRIX& boxWorld = worlds[0];
    EXPECT_EQ(boxWorld._11, 1.0f);
    EXPECT_EQ(boxWorld._41, 0.0f);
    const D3DMATRIX& ballWorld = worlds[1 + 3];
    EXPECT_EQ(ballWorld._11, 0.3f);
    EXPECT_EQ(ballWorld._22, 0.3f);
    EXPECT_EQ(ballWorld._33, 0.3f);
    EXPECT_EQ(ballWorld._41, 0.5f) << "the translation is not scaled";
    EXPECT_EQ(ballWorld._42, -0.25f);
    EXPECT_EQ(ballWorld._43, 0.125f);
    EXPECT_EQ(ballWorld._44, 1.0f);
}

} // namespace
