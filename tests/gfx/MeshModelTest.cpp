#include "FrameReadback.h"
#include "TraceLines.h"
#include "gfx/GraphicsDevice.h"
#include "gfx/MeshModel.h"
#include "MessageBoxRecorder.h"
#include "TestWindow.h"

#include <PlatformOptions.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Two triangles, one per material; the first material names the given texture.
void writeTwoMaterialMesh(const std::string& path, const char* textureLine) {
    std::ofstream out(path);
    out << "xof 0303txt 0032\n"
           "Mesh T {\n 6;\n"
           " 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;,\n"
           " 2.0;0.0;0.0;, 3.0;0.0;0.0;, 2.0;1.0;0.0;;\n"
           " 2;\n 3;0,1,2;, 3;3,4,5;;\n"
           " MeshMaterialList {\n  2;\n  2;\n  0,\n  1;\n"
           "  Material {\n   0.9;0.8;0.7;1.0;;\n   5.0;\n   0.1;0.2;0.3;;\n   0.0;0.0;0.0;;\n"
        << textureLine
        << "  }\n"
           "  Material {\n   0.2;0.4;0.6;1.0;;\n   9.0;\n   0.0;0.0;0.0;;\n   0.0;0.0;0.0;;\n  }\n"
           " }\n}\n";
}

class MeshModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(chdir(LETTERBOX_BUILD_DIR), 0);
        window = makeTestWindow("MESH_MODEL_TEST");
        ASSERT_NE(window, nullptr);
    }
    void createDevice() {
        ASSERT_EQ(graphics.create(window, 800, 600), 0);
        device = graphics.getDevice();
        model.attach(device);
    }
    // Loads and returns the load's result with the messages it showed.
    int32_t load(const char* fileName, std::string* messages) {
        MessageBoxRecorder boxes;
        int32_t result = model.load(fileName);
        *messages = boxes.take();
        return result;
    }

    HWND window = nullptr;
    GraphicsDevice graphics;
    IDirect3DDevice8* device = nullptr;
    MeshModel model;
};

TEST_F(MeshModelTest, LoadsTheModelWithItsMaterialsAndTexturesAndLoadsAgainAfterRelease) {
    createDevice();
    EXPECT_EQ(model.getMesh(), nullptr);
    std::string messages;
    ASSERT_EQ(load("data\\w.x", &messages), 0);
    EXPECT_EQ(messages, "");
    ASSERT_NE(model.getMesh(), nullptr);
    EXPECT_EQ(model.getMesh()->GetNumFaces(), 48u);
    EXPECT_EQ(model.materialBuffer, nullptr) << "the loader's buffer is released at the end";
    ASSERT_EQ(model.materialCount, 2u);
    // The face material with its texture, then the plain side material.
    EXPECT_FLOAT_EQ(model.materials[0].Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(model.materials[0].Power, 16.0f);
    EXPECT_FLOAT_EQ(model.materials[0].Specular.g, 0.5f);
    EXPECT_FLOAT_EQ(model.materials[0].Emissive.b, 0.55f);
    EXPECT_FLOAT_EQ(model.materials[1].Diffuse.g, 0.33f);
    EXPECT_FLOAT_EQ(model.materials[1].Diffuse.b, 0.4f);
    EXPECT_FLOAT_EQ(model.materials[1].Power, 8.0f);
    ASSERT_NE(model.textures[0], nullptr);
    EXPECT_EQ(model.textures[1], nullptr);
    D3DSURFACE_DESC level{};
    ASSERT_EQ(model.textures[0]->GetLevelDesc(0, &level), D3D_OK);
    EXPECT_GT(level.Width, 1u);

    model.release();
    EXPECT_EQ(model.getMesh(), nullptr);
    EXPECT_EQ(model.textures, nullptr);
    EXPECT_EQ(model.materials, nullptr);
    model.release(); // a second release finds nothing left

    ASSERT_EQ(load("data\\w.x", &messages), 0);
    EXPECT_EQ(messages, "");
    ASSERT_NE(model.getMesh(), nullptr);
    EXPECT_NE(model.textures[0], nullptr);
    // Loading over a loaded model replaces it.
    ASSERT_EQ(load("data\\w.x", &messages), 0);
    EXPECT_EQ(model.materialCount, 2u);
    model.release();
}

TEST_F(MeshModelTest, AMissingModelIsNamedAndLeavesNothingToDraw) {
    createDevice();
    std::string messages;
    EXPECT_EQ(load("data\\nothing-here.x", &messages), 1);
    EXPECT_EQ(messages, "Error: data\\nothing-here.x が存在しません\n");
    EXPECT_EQ(model.getMesh(), nullptr);
    EXPECT_EQ(model.materialBuffer, nullptr);
    EXPECT_EQ(model.materialCount, 0u);
    // Drawing the failed model binds and draws nothing.
    D3DMATERIAL8 material{};
    EXPECT_EQ(model.draw(), 0);
    EXPECT_EQ(model.drawWithMaterial(material), 0);
    EXPECT_EQ(model.drawWithTexture(nullptr), 0);
    model.release();
    EXPECT_EQ(model.getMesh(), nullptr);
}

TEST_F(MeshModelTest, ALongMissingNameIsCutToTheMessageBuffer) {
    createDevice();
    std::string longName = "data\\" + std::string(300, 'n') + ".x";
    std::string messages;
    EXPECT_EQ(load(longName.c_str(), &messages), 1);
    const std::string prefix = "Error: ";
    ASSERT_EQ(messages.substr(0, prefix.size()), prefix);
    // 127 characters and the terminator: the name's start, nothing of the fixed text.
    EXPECT_EQ(messages, prefix + longName.substr(0, 127) + "\n");
}

TEST_F(MeshModelTest, AMissingTextureIsNamedAndStopsTheLoadWithTheMeshKept) {
    createDevice();
    writeTwoMaterialMesh("meshmodel-missing-texture.x",
                         "   TextureFilename {\n    \"data/no-such-texture.bmp\";\n   }\n");
    std::string messages;
    EXPECT_EQ(load("meshmodel-missing-texture.x", &messages), 1);
    std::remove("meshmodel-missing-texture.x");
    EXPECT_EQ(messages, "Error: data/no-such-texture.bmpの読み込みに失敗しました。\n");
    ASSERT_NE(model.getMesh(), nullptr);
    EXPECT_EQ(model.materialBuffer, nullptr);
    ASSERT_EQ(model.materialCount, 2u);
    EXPECT_FLOAT_EQ(model.materials[0].Diffuse.r, 0.9f);
    // The second material was never reached.
    EXPECT_FLOAT_EQ(model.materials[1].Diffuse.g, 0.0f);
    EXPECT_EQ(model.textures[0], nullptr);
    EXPECT_EQ(model.textures[1], nullptr);
    model.release();
    EXPECT_EQ(model.getMesh(), nullptr);
}

TEST_F(MeshModelTest, MaterialsWithoutTexturesLoadWithNoTexture) {
    createDevice();
    writeTwoMaterialMesh("meshmodel-untextured.x", "");
    std::string messages;
    EXPECT_EQ(load("meshmodel-untextured.x", &messages), 0);
    std::remove("meshmodel-untextured.x");
    EXPECT_EQ(messages, "");
    ASSERT_EQ(model.materialCount, 2u);
    EXPECT_FLOAT_EQ(model.materials[1].Diffuse.b, 0.6f);
    EXPECT_FLOAT_EQ(model.materials[1].Power, 9.0f);
    EXPECT_EQ(model.textures[0], nullptr);
    EXPECT_EQ(model.textures[1], nullptr);
    model.release();
}

TEST_F(MeshModelTest, AModelWithoutMaterialListGetsOneGreyMaterial) {
    createDevice();
    {
        std::ofstream out("meshmodel-no-materials.x");
        out << "xof 0303txt 0032\nMesh T {\n 3;\n 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;\n"
               " 1;\n 3;0,1,2;;\n}\n";
    }
    std::string messages;
    EXPECT_EQ(load("meshmodel-no-materials.x", &messages), 0);
    std::remove("meshmodel-no-materials.x");
    EXPECT_EQ(messages, "");
    ASSERT_EQ(model.materialCount, 1u);
    EXPECT_EQ(model.textures[0], nullptr);
    EXPECT_GT(model.materials[0].Diffuse.r, 0.0f);
    EXPECT_EQ(model.materials[0].Diffuse.r, model.materials[0].Diffuse.g);
    EXPECT_EQ(model.materials[0].Diffuse.g, model.materials[0].Diffuse.b);
    EXPECT_EQ(model.getMesh()->GetNumFaces(), 1u);
    model.release();
}

// The three ways of drawing, as the device sees them: per subset a material and
// a texture, or one texture for all subsets and no material.
TEST_F(MeshModelTest, TheThreeDrawsBindMaterialsAndTexturesPerSubsetAsTraced) {
    const std::string trace = ::testing::TempDir() + "meshmodel-trace.txt";
    PlatformOptions::get().tracePath = trace;
    {
        // A device of its own, so the trace is complete once it is gone.
        GraphicsDevice traced;
        ASSERT_EQ(traced.create(window, 800, 600), 0);
        IDirect3DDevice8* tracedDevice = traced.getDevice();
        model.attach(tracedDevice);
        std::string messages;
        ASSERT_EQ(load("data\\w.x", &messages), 0);
        D3DMATERIAL8 red{};
        red.Diffuse.r = 0.75f;
        red.Diffuse.a = 1.0f;
        tracedDevice->BeginScene();
        model.draw();
        tracedDevice->EndScene();
        tracedDevice->BeginScene();
        model.drawWithMaterial(red);
        tracedDevice->EndScene();
        tracedDevice->BeginScene();
        model.drawWithTexture(nullptr);
        tracedDevice->EndScene();
        model.release();
    }
    PlatformOptions::get().tracePath.clear();

    std::vector<std::string> lines = readLines(trace);
    std::remove(trace.c_str());
    // The calls between each BeginScene and its EndScene.
    std::vector<std::vector<std::string>> scenes;
    for (const std::string& line : lines) {
        std::string call = callOf(line);
        if (call == "BeginScene") {
            scenes.emplace_back();
        } else if (call == "EndScene") {
            continue;
        } else if (!scenes.empty()) {
            scenes.back().push_back(line);
        }
    }
    ASSERT_EQ(scenes.size(), 3u);
    auto filtered = [](const std::vector<std::string>& calls) {
        std::vector<std::string> kept;
        for (const std::string& line : calls) {
            std::string call = callOf(line);
            if (call == "SetMaterial" || call == "SetTexture" || call == "DrawIndexedPrimitive") {
                kept.push_back(line);
            }
        }
        return kept;
    };
    for (size_t s = 0; s < 2; ++s) {
        std::vector<std::string> calls = filtered(scenes[s]);
        ASSERT_EQ(calls.size(), 6u) << "scene " << s;
        for (size_t subset = 0; subset < 2; ++subset) {
            EXPECT_EQ(callOf(calls[3 * subset]), "SetMaterial");
            EXPECT_EQ(callOf(calls[3 * subset + 1]), "SetTexture");
            EXPECT_EQ(callOf(calls[3 * subset + 2]), "DrawIndexedPrimitive");
        }
        // The face's texture for subset 0, none for the sides, in both draws.
        EXPECT_NE(calls[1].find("pTexture = texture"), std::string::npos) << calls[1];
        EXPECT_NE(calls[4].find("pTexture = NULL"), std::string::npos) << calls[4];
    }
    std::vector<std::string> own = filtered(scenes[0]);
    std::vector<std::string> given = filtered(scenes[1]);
    EXPECT_NE(own[0], own[3]) << "each subset its own material";
    EXPECT_EQ(given[0], given[3]) << "the given material for every subset";
    EXPECT_NE(given[0], own[0]);
    EXPECT_NE(given[0].find("0.75"), std::string::npos) << given[0];

    std::vector<std::string> textured = filtered(scenes[2]);
    ASSERT_EQ(textured.size(), 3u);
    EXPECT_EQ(callOf(textured[0]), "SetTexture");
    EXPECT_NE(textured[0].find("pTexture = NULL"), std::string::npos) << textured[0];
    EXPECT_EQ(callOf(textured[1]), "DrawIndexedPrimitive");
    EXPECT_EQ(callOf(textured[2]), "DrawIndexedPrimitive");
}

} // namespace
