#include "SceneTestBed.h"
#include "MessageBoxRecorder.h"
#include "RecordingDevice.h"
#include "RecordingMesh.h"
#include "scenes/floor/ShadowFloorScene.h"

#include <d3dx8.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

bool sameMaterial(const D3DMATERIAL8& a, const D3DMATERIAL8& b) {
    return std::memcmp(&a, &b, sizeof(D3DMATERIAL8)) == 0;
}

D3DXVECTOR3 transformed(const D3DXMATRIX& m, float x, float y, float z) {
    float w = x * m._14 + y * m._24 + z * m._34 + m._44;
    return D3DXVECTOR3((x * m._11 + y * m._21 + z * m._31 + m._41) / w,
                       (x * m._12 + y * m._22 + z * m._32 + m._42) / w,
                       (x * m._13 + y * m._23 + z * m._33 + m._43) / w);
}

void expectMatrixNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, const char* what) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(actual(r, c), expected(r, c), 1e-5f) << what << " at " << r << c;
        }
    }
}

D3DXMATRIX lookAt(D3DXVECTOR3 eye, D3DXVECTOR3 target) {
    D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    return view;
}

class ShadowFloorSceneTest : public SceneTestBed<ShadowFloorScene> {
protected:
    void SetUp() override {
        ShadowFloorScene::cameraX = 1.0;
        ShadowFloorScene::cameraY = 1.0;
        ShadowFloorScene::cameraZ = -5.0;
        ShadowFloorScene::fadeLevel = 0;
        load();
        loadCalls = device.names();
        loadLights = device.lights;
        scene.start();
        startStates = device.renderStates();
        startStageStates = device.named("SetTextureStageState");
        device.clear();
    }
    void TearDown() override {
        scene.model.release();
        SceneTestBed::TearDown();
    }

    // Gives the model two subsets of its own: a material each, a texture on the first.
    void giveModelTwoSubsets() {
        scene.model.mesh = &mesh;
        scene.model.materialCount = 2;
        scene.model.materials = new D3DMATERIAL8[2]();
        scene.model.materials[0].Diffuse = {0.9f, 0.9f, 0.9f, 1.0f};
        scene.model.materials[1].Diffuse = {0.3f, 0.33f, 0.4f, 1.0f};
        scene.model.textures = new IDirect3DTexture8*[2]();
    }

    RecordingMesh mesh{&device, 2, 6, D3DFVF_XYZ}; // two subsets
    std::vector<std::string> loadCalls;
    std::vector<D3DLIGHT8> loadLights;
    std::vector<std::pair<uint32_t, uint32_t>> startStates;
    std::vector<RecordedCall> startStageStates;
};

TEST_F(ShadowFloorSceneTest, LoadNamesTheMissingModelSetsTheLightAndStartSetsTheStatesInOrder) {
    // On the recording device every resource fails; only the model says so.
    EXPECT_EQ(loadMessages, "Error: data\\w.x が存在しません\n");
    ASSERT_EQ(loadLights.size(), 1u);
    expectGreyDirectionalLight(loadLights[0]);
    EXPECT_EQ(loadCalls.back(), "LightEnable");
    EXPECT_EQ(scene.fadeQuad.red, 128);
    EXPECT_EQ(scene.fadeQuad.green, 0);
    EXPECT_EQ(scene.fadeQuad.blue, 0);

    // The lit mesh scenes' states, then the stencil test of the shadows and the blending.
    const std::vector<std::pair<uint32_t, uint32_t>> ownStates = {
        {D3DRS_STENCILFUNC, D3DCMP_NOTEQUAL},    {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
        {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP}, {D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE},
        {D3DRS_ALPHABLENDENABLE, TRUE},          {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
        {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    };
    std::vector<std::pair<uint32_t, uint32_t>> expected = LIT_MESH_STATES;
    expected.insert(expected.end(), ownStates.begin(), ownStates.end());
    EXPECT_EQ(startStates, expected);
    const std::vector<std::vector<uint64_t>> stages = {
        {0, D3DTSS_ALPHAOP, D3DTOP_MODULATE}, {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
        {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE}, {0, D3DTSS_COLOROP, D3DTOP_MODULATE},
        {0, D3DTSS_COLORARG1, D3DTA_TEXTURE}, {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE},
    };
    ASSERT_EQ(startStageStates.size(), stages.size());
    for (size_t i = 0; i < stages.size(); ++i) {
        EXPECT_EQ(startStageStates[i].args, stages[i]) << "stage state " << i;
    }
    EXPECT_EQ(scene.frameCount, 0);
}

TEST_F(ShadowFloorSceneTest, TheCameraMovesThroughItsFourPhasesWithItsKeyframes) {
    auto lastView = [&] { return device.transformsOf(D3DTS_VIEW).back(); };
    updates(1);
    ASSERT_EQ(device.transformsOf(D3DTS_PROJECTION).size(), 1u);
    D3DXMATRIX projection = device.transformsOf(D3DTS_PROJECTION)[0];
    EXPECT_NEAR(projection._22, 3.1246f, 1e-4f) << "120 read as radians";
    EXPECT_NEAR(projection._11, projection._22 * 600.0f / 800.0f, 1e-5f);
    EXPECT_NEAR(projection._43 / -projection._33, 0.1f, 1e-6f) << "near plane";
    expectMatrixNear(lastView(), lookAt({1.0f, 1.0f, -5.0f}, {1.0f, 1.0f, 5.0f}), "update 1");
    EXPECT_DOUBLE_EQ(ShadowFloorScene::cameraX, 1.0 + static_cast<double>(0.01f));

    updates(119);
    float x120 = static_cast<float>(1.0 + 119 * static_cast<double>(0.01f));
    expectMatrixNear(lastView(), lookAt({x120, 1.0f, -5.0f}, {x120, 1.0f, 5.0f}), "update 120");
    EXPECT_NEAR(ShadowFloorScene::cameraX, 2.2, 1e-6) << "120 steps of 0.01 along x";

    updates(1); // 121: the new position is already in this view
    expectMatrixNear(lastView(), lookAt({1.0f, 0.5f, -5.0f}, {4.0f, 0.5f, -2.0f}), "update 121");
    updates(119);
    float x240 = static_cast<float>(1.0 + 119 * static_cast<double>(0.01f));
    expectMatrixNear(lastView(), lookAt({x240, 0.5f, -5.0f}, {x240 + 3.0f, 0.5f, -2.0f}),
                     "update 240");

    updates(1);
    expectMatrixNear(lastView(), lookAt({0.5f, 0.5f, 0.5f}, {3.5f, 0.5f, 0.5f}), "update 241");
    updates(120);
    expectMatrixNear(lastView(), lookAt({3.0f, 4.5f, 3.0f}, {1.5f, 0.0f, 3.0f}), "update 361");
    EXPECT_DOUBLE_EQ(ShadowFloorScene::cameraX, 3.0) << "x stays in the last phase";
    updates(100);
    // The rise has no limit: 100 more steps of 0.1.
    float y461 = static_cast<float>(4.5 + 100 * static_cast<double>(0.1f));
    expectMatrixNear(lastView(), lookAt({3.0f, y461, 3.0f}, {1.5f, 0.0f, 3.0f}), "update 461");
    EXPECT_EQ(scene.frameCount, 461);
    EXPECT_EQ(device.transformsOf(D3DTS_VIEW).size(), 461u);
    EXPECT_EQ(device.named("LightEnable").size(), 461u) << "the light is set on every update";

    // A second start does not move the camera back.
    scene.start();
    EXPECT_GT(ShadowFloorScene::cameraY, 14.0);
}

TEST_F(ShadowFloorSceneTest, TheFadeDeepensEveryTwentyUpdatesFromUpdate500AndDrawsThatManyQuads) {
    giveModelTwoSubsets();
    std::vector<int> levels;
    for (int i = 1; i <= 560; ++i) {
        scene.update();
        levels.push_back(ShadowFloorScene::fadeLevel);
    }
    EXPECT_EQ(levels[498], 0) << "update 499";
    EXPECT_EQ(levels[499], 1) << "update 500";
    EXPECT_EQ(levels[518], 1) << "update 519";
    EXPECT_EQ(levels[519], 2) << "update 520";
    EXPECT_EQ(levels[539], 3) << "update 540";
    EXPECT_EQ(levels[559], 4) << "update 560";

    device.clear();
    scene.render();
    std::vector<RecordedCall> quads = device.named("DrawPrimitiveUP");
    ASSERT_EQ(quads.size(), 4u);
    for (const RecordedCall& quad : quads) {
        ASSERT_EQ(quad.vertices.size(), 4u);
        EXPECT_EQ(quad.vertices[0].color, 0xFF800000u);
        EXPECT_FLOAT_EQ(quad.vertices[2].x - quad.vertices[0].x, 800.0f);
        EXPECT_FLOAT_EQ(quad.vertices[2].y - quad.vertices[0].y, 600.0f);
    }
    // The multiplying blend is set before the quads and stays for the bands.
    std::vector<std::pair<uint32_t, uint32_t>> states = device.renderStates();
    using StatePair = std::pair<uint32_t, uint32_t>;
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ(states[states.size() - 2], StatePair(D3DRS_SRCBLEND, D3DBLEND_ZERO));
    EXPECT_EQ(states.back(), StatePair(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR));
    EXPECT_EQ(device.names().back(), "SetTexture");
}

TEST_F(ShadowFloorSceneTest, ThePatternIsASymmetricFaceOfZerosAndOnes) {
    int ones = 0;
    for (int r = 0; r < 12; ++r) {
        for (int c = 0; c < 12; ++c) {
            int8_t v = ShadowFloorScene::gridPattern[r][c];
            ASSERT_TRUE(v == 0 || v == 1) << r << ", " << c;
            ones += v;
            EXPECT_EQ(v, ShadowFloorScene::gridPattern[r][11 - c])
                << "mirror of " << r << ", " << c;
        }
    }
    EXPECT_EQ(ones, 46);
    for (int r : {0, 1, 2}) {
        for (int c = 0; c < 12; ++c) {
            EXPECT_EQ(ShadowFloorScene::gridPattern[r][c], ShadowFloorScene::gridPattern[11 - r][c])
                << "outline rows " << r << " and " << 11 - r;
        }
    }
    // Eyes at x = 0 and 1, the mouth's corners at x = 3 and 4, its middle at x = 5.
    for (int r : {3, 4}) {
        EXPECT_EQ(ShadowFloorScene::gridPattern[r][4], 1);
        EXPECT_EQ(ShadowFloorScene::gridPattern[r][7], 1);
        EXPECT_EQ(ShadowFloorScene::gridPattern[r][5], 0);
    }
    for (int c = 4; c < 8; ++c) {
        EXPECT_EQ(ShadowFloorScene::gridPattern[8][c], 1);
        EXPECT_EQ(ShadowFloorScene::gridPattern[7][c], 0);
    }
    EXPECT_EQ(ShadowFloorScene::gridPattern[7][2], 1);
    EXPECT_EQ(ShadowFloorScene::gridPattern[6][3], 1);
}

// One render as the device sees it: the passes in order, each with its states,
// transforms and materials.
TEST_F(ShadowFloorSceneTest, RenderDrawsMirrorFloorShadowAndObjectPassesWithTheirStates) {
    giveModelTwoSubsets();
    updates(1);
    device.clear();
    EXPECT_EQ(scene.render(), 0);

    std::vector<RecordedCall> clears = device.named("Clear");
    ASSERT_EQ(clears.size(), 1u);
    EXPECT_EQ(device.calls[0].name, "Clear");
    EXPECT_EQ(clears[0].args[2], D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL);
    EXPECT_EQ(clears[0].args[3], 0xFF808080u);
    EXPECT_FLOAT_EQ(clears[0].floats.at(0), 1.0f);
    EXPECT_EQ(clears[0].args[4], 0u) << "stencil";
    EXPECT_EQ(device.lights.size(), 1u);

    // Split the calls at the render states: the passes lie between them.
    std::vector<std::string> sequence;
    for (const RecordedCall& call : device.calls) {
        if (call.name == "SetRenderState") {
            sequence.push_back("state " + std::to_string(call.args[0]) + "=" +
                               std::to_string(call.args[1]));
        } else if (call.name == "DrawSubset") {
            if (sequence.empty() || sequence.back().rfind("draws ", 0) != 0) {
                sequence.push_back("draws 0");
            }
            int count = std::stoi(sequence.back().substr(6)) + 1;
            sequence.back() = "draws " + std::to_string(count);
        }
    }
    auto state = [](uint32_t s, uint32_t v) {
        return "state " + std::to_string(s) + "=" + std::to_string(v);
    };
    const std::vector<std::string> expected = {
        state(D3DRS_ALPHABLENDENABLE, FALSE),
        "draws 288",
        state(D3DRS_ALPHABLENDENABLE, TRUE),
        state(D3DRS_SRCBLEND, D3DBLEND_ONE),
        state(D3DRS_DESTBLEND, D3DBLEND_ONE),
        state(D3DRS_ZENABLE, FALSE),
        state(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA),
        state(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA),
        state(D3DRS_STENCILREF, 1),
        state(D3DRS_STENCILENABLE, TRUE),
        "draws 288",
        state(D3DRS_ZENABLE, TRUE),
        state(D3DRS_STENCILENABLE, FALSE),
        "draws 288",
        state(D3DRS_SRCBLEND, D3DBLEND_ZERO),
        state(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR),
    };
    EXPECT_EQ(sequence, expected);

    // 144 mirror worlds, the floor's, 144 shadow worlds and 144 object worlds.
    std::vector<D3DMATRIX> worlds = device.transformsOf(D3DTS_WORLD);
    ASSERT_EQ(worlds.size(), 433u);
    D3DXMATRIX identity;
    D3DXMatrixTranslation(&identity, 0.0f, 0.0f, 0.0f);
    expectMatrixNear(worlds[144], identity, "floor");

    // Two materials per cell in every pass, in the grid's order, x outermost.
    ASSERT_EQ(device.materials.size(), 864u);
    for (int cell = 0; cell < 144; ++cell) {
        int row = cell / 12;
        int column = cell % 12;
        float x = static_cast<float>(row - 3);
        float z = static_cast<float>(column - 3);
        bool accent = ShadowFloorScene::gridPattern[row][column] == 1;
        const D3DMATERIAL8* mirror = &device.materials[2 * cell];
        const D3DMATERIAL8* shadow = &device.materials[288 + 2 * cell];
        const D3DMATERIAL8* object = &device.materials[576 + 2 * cell];
        EXPECT_TRUE(sameMaterial(mirror[0], accent ? ShadowFloorScene::reflectionAccentMaterial
                                                   : ShadowFloorScene::reflectionMaterial))
            << "mirror " << cell;
        EXPECT_TRUE(sameMaterial(mirror[1], mirror[0]));
        EXPECT_TRUE(sameMaterial(shadow[0], ShadowFloorScene::shadowMaterial)) << cell;
        EXPECT_TRUE(sameMaterial(shadow[1], ShadowFloorScene::shadowMaterial)) << cell;
        if (accent) {
            EXPECT_TRUE(sameMaterial(object[0], ShadowFloorScene::accentMaterial)) << cell;
            EXPECT_TRUE(sameMaterial(object[1], ShadowFloorScene::accentMaterial)) << cell;
        } else {
            EXPECT_TRUE(sameMaterial(object[0], scene.model.materials[0])) << cell;
            EXPECT_TRUE(sameMaterial(object[1], scene.model.materials[1])) << cell;
        }

        // The copy stands on the floor at (x, z): the model's foot at y = -0.1.
        D3DXVECTOR3 foot = transformed(worlds[289 + cell], 0.075f, -0.1f, 0.0f);
        EXPECT_NEAR(foot.x, x + 0.075f, 1e-5f);
        EXPECT_NEAR(foot.y, 0.0f, 1e-5f);
        EXPECT_NEAR(foot.z, z, 1e-5f);
        // The mirror image hangs upside down below the floor, on the copy's axis.
        D3DXVECTOR3 mirrorFoot = transformed(worlds[cell], 0.075f, -0.1f, 0.0f);
        D3DXVECTOR3 mirrorTop = transformed(worlds[cell], 0.075f, 0.4f, 0.0f);
        EXPECT_NEAR(mirrorFoot.x, x + 0.075f, 1e-5f) << cell;
        EXPECT_NEAR(mirrorFoot.y, -0.05f, 1e-5f) << cell;
        EXPECT_NEAR(mirrorTop.y, -0.55f, 1e-5f) << cell;
        EXPECT_NEAR(mirrorTop.z, z, 1e-5f) << cell;
        D3DXVECTOR3 mirrorSide = transformed(worlds[cell], 0.2f, 0.0f, 0.0f);
        EXPECT_NEAR(mirrorSide.x, x + 0.15f - 0.2f, 1e-5f) << "turned about z, so mirrored in x";
        // The shadow lies flat on the floor, cast along the light and shifted by it.
        D3DXVECTOR3 shadowOrigin = transformed(worlds[145 + cell], 0.0f, 0.0f, 0.0f);
        D3DXVECTOR3 shadowTop = transformed(worlds[145 + cell], 0.0f, 0.4f, 0.0f);
        EXPECT_NEAR(shadowOrigin.x, x + 0.13333334f, 1e-5f) << cell;
        EXPECT_NEAR(shadowOrigin.y, 0.0f, 1e-5f) << cell;
        EXPECT_NEAR(shadowOrigin.z, z - 0.13333334f, 1e-5f) << cell;
        EXPECT_NEAR(shadowTop.y, 0.0f, 1e-5f) << cell;
        EXPECT_NEAR(shadowTop.x - shadowOrigin.x, 0.4f, 1e-5f) << "along the light " << cell;
        EXPECT_NEAR(shadowTop.z - shadowOrigin.z, -0.4f, 1e-5f) << cell;
    }
}

TEST_F(ShadowFloorSceneTest, AModelThatFailedToLoadIsSkippedAndTheFloorWithoutBuffersToo) {
    // Neither the model nor the floor loaded on the recording device.
    updates(1);
    device.clear();
    EXPECT_EQ(scene.render(), 0);
    EXPECT_TRUE(device.named("DrawIndexedPrimitive").empty());
    EXPECT_TRUE(device.named("SetMaterial").empty());
    EXPECT_EQ(device.transformsOf(D3DTS_WORLD).size(), 433u);
}

} // namespace
