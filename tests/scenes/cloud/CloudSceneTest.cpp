#include "scenes/cloud/CloudScene.h"
#include "SceneTestBed.h"
#include "MessageBoxRecorder.h"
#include "RecordingDevice.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

void expectRect(const std::vector<float>& actual, const std::vector<float>& expected) {
    ASSERT_EQ(actual.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-3f) << "component " << i;
    }
}

class CloudSceneTest : public SceneTestBed<CloudScene> {
protected:
    void SetUp() override {
        CloudScene::stripWidth = 512.0;
        load();
        scene.start();
        device.clear();
    }

    // Screen rectangles (x, y, w, h) of the draws of one render.
    std::vector<std::vector<float>> renderedRects() {
        device.clear();
        EXPECT_EQ(scene.render(), 0);
        std::vector<std::vector<float>> rects;
        for (const RecordedCall& draw : device.named("DrawPrimitiveUP")) {
            const std::vector<ScreenVertex>& v = draw.vertices;
            rects.push_back({v[0].x, v[0].y, v[2].x - v[0].x, v[2].y - v[0].y});
        }
        return rects;
    }
};

TEST_F(CloudSceneTest, LoadNamesEachImageAndStartSetsTheStatesInOrder) {
    // On the recording device every load fails and names its file.
    for (const char* name :
         {"data\\cloud1.bmp", "data\\cloud2.bmp", "data\\cloud3.bmp", "data\\living.bmp"}) {
        EXPECT_NE(loadMessages.find(name), std::string::npos) << name;
    }
    EXPECT_EQ(scene.living.textureWidth, 256.0f);
    EXPECT_EQ(scene.cloud2.textureHeight, 512.0f);

    scene.start();
    std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {D3DRS_LIGHTING, FALSE},        {D3DRS_ZENABLE, 1},   {D3DRS_CULLMODE, 1},
        {D3DRS_SPECULARENABLE, TRUE},   {D3DRS_SHADEMODE, 2}, {D3DRS_AMBIENT, 0x00333333},
        {D3DRS_ALPHABLENDENABLE, TRUE}, {D3DRS_SRCBLEND, 2},  {D3DRS_DESTBLEND, 2}};
    EXPECT_EQ(device.renderStates(), expected);
    EXPECT_EQ(scene.wash.alpha, 255);
    EXPECT_EQ(scene.frameCount, 0);
}

TEST_F(CloudSceneTest, StripNarrowsToItsClampAndRestartsAtTick199) {
    updates(121);
    EXPECT_EQ(CloudScene::stripWidth, 512.0) << "nothing moves before tick 121";
    updates(1);
    EXPECT_EQ(CloudScene::stripWidth, 508.0);
    updates(63); // n = 185
    EXPECT_EQ(CloudScene::stripWidth, 256.0);
    updates(14); // n = 199
    EXPECT_EQ(CloudScene::stripWidth, 256.0);
    updates(1); // c = 199: back to 512, then the narrowing
    EXPECT_EQ(CloudScene::stripWidth, 508.0);
    updates(1000);
    EXPECT_EQ(CloudScene::stripWidth, 256.0) << "never below the clamp";
}

TEST_F(CloudSceneTest, ClampTakesTheLastStepExactly) {
    CloudScene::stripWidth = 260.0;
    scene.frameCount = 150;
    updates(1);
    EXPECT_EQ(CloudScene::stripWidth, 256.0);
    CloudScene::stripWidth = 258.0;
    updates(1);
    EXPECT_EQ(CloudScene::stripWidth, 256.0);
}

TEST_F(CloudSceneTest, StartKeepsTheStripWidthButResetsTheCounters) {
    updates(150);
    double width = CloudScene::stripWidth;
    scene.start();
    EXPECT_EQ(CloudScene::stripWidth, width);
    EXPECT_EQ(scene.drift, 0.0);
    EXPECT_EQ(scene.washRed, 0.0);
    EXPECT_EQ(scene.frameCount, 0);
}

TEST_F(CloudSceneTest, WashColourFollowsTheTicks) {
    updates(300);
    // red = 0.5 (n - 121), green = blue = 0.75 (n - 241)
    EXPECT_DOUBLE_EQ(scene.washRed, 89.5);
    EXPECT_DOUBLE_EQ(scene.washGreen, 44.25);
    EXPECT_DOUBLE_EQ(scene.washBlue, 44.25);
    scene.render();
    std::vector<RecordedCall> draws = device.named("DrawPrimitiveUP");
    ASSERT_GE(draws.size(), 3u);
    EXPECT_EQ(draws[2].vertices[0].color, 0xFF592C2Cu) << "integer parts of 89.5 and 44.25";

    updates(700); // n = 1000: red 439.5 keeps its low 8 bits
    device.clear();
    scene.render();
    draws = device.named("DrawPrimitiveUP");
    EXPECT_EQ(draws[2].vertices[0].color >> 16 & 0xFF, 439u & 0xFF);
}

TEST_F(CloudSceneTest, RenderDrawsCloudsWashAndStripsWithTheirBlends) {
    updates(1);
    std::vector<std::vector<float>> rects = renderedRects();
    ASSERT_EQ(rects.size(), 3u) << "no strip before tick 121";
    expectRect(rects[0], {-799, -599, 1600, 1200});
    expectRect(rects[1], {-798.7f, 0, 1600, 600});
    expectRect(rects[2], {0, 0, 800, 600});
    std::vector<RecordedCall> clears = device.named("Clear");
    ASSERT_EQ(clears.size(), 1u);
    EXPECT_EQ(clears[0].args[3], 0xFF000000u);
    std::vector<std::pair<uint32_t, uint32_t>> plain = {{D3DRS_ALPHABLENDENABLE, TRUE},
                                                        {D3DRS_ALPHABLENDENABLE, FALSE}};
    EXPECT_EQ(device.renderStates(), plain);

    updates(120); // n = 121: the first strip appears at full width
    rects = renderedRects();
    ASSERT_EQ(rects.size(), 4u);
    expectRect(rects[3], {527, 200, 512, 45});
    std::vector<std::pair<uint32_t, uint32_t>> multiplied = {
        {D3DRS_ALPHABLENDENABLE, TRUE}, {D3DRS_SRCBLEND, 1},
        {D3DRS_DESTBLEND, 3},           {D3DRS_SRCBLEND, 2},
        {D3DRS_DESTBLEND, 2},           {D3DRS_ALPHABLENDENABLE, FALSE}};
    EXPECT_EQ(device.renderStates(), multiplied);
    std::vector<RecordedCall> draws = device.named("DrawPrimitiveUP");
    // alpha is the strip width's low 8 bits: 512 -> 0
    EXPECT_EQ(draws[3].vertices[0].color >> 24, 0u);
    EXPECT_FLOAT_EQ(draws[3].vertices[2].v, 45.0f / 256.0f);

    updates(64); // n = 185: settled
    rects = renderedRects();
    expectRect(rects[3], {271, 200, 256, 45});

    updates(15); // n = 200: the settled first strip and the second at 508
    rects = renderedRects();
    ASSERT_EQ(rects.size(), 5u);
    expectRect(rects[3], {271, 200, 256, 45});
    expectRect(rects[4], {648, 300, 508, 45});
    draws = device.named("DrawPrimitiveUP");
    EXPECT_FLOAT_EQ(draws[4].vertices[0].v, 45.0f / 256.0f);
    EXPECT_FLOAT_EQ(draws[4].vertices[2].v, 90.0f / 256.0f);

    updates(63); // n = 263
    rects = renderedRects();
    expectRect(rects[4], {396, 300, 256, 45});
}

} // namespace
