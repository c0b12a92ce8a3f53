// The generated models through the program's own loader on the OpenGL device: both .x forms
// parse, the materials and texture names come through, the textures they name load, and the
// ball has the 32-byte position, normal and texture-coordinate vertex the refraction rewrites.
#include <d3dx8.h>
#include "TestDevice.h"
#include "TestWindow.h"
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class MeshLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Texture names in the models are relative to the program's folder.
        previous = std::filesystem::current_path();
        std::filesystem::current_path(LETTERBOX_BUILD_DIR);
        window = makeTestWindow("contentmeshes", DefWindowProcA, 320, 240, WS_POPUP);
        ASSERT_NE(window, nullptr);
        direct3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(direct3d, nullptr);
        ASSERT_EQ(createTestDevice(direct3d, window, windowedParameters(320, 240), &device),
                  D3D_OK);
    }
    void TearDown() override {
        if (device) {
            device->Release();
        }
        if (direct3d) {
            direct3d->Release();
        }
        std::filesystem::current_path(previous);
    }

    struct Loaded {
        ID3DXMesh* mesh = nullptr;
        ID3DXBuffer* materials = nullptr;
        DWORD count = 0;
        ~Loaded() {
            if (mesh) {
                mesh->Release();
            }
            if (materials) {
                materials->Release();
            }
        }
    };

    void load(const char* name, Loaded& out) {
        ASSERT_EQ(D3DXLoadMeshFromX(name, D3DXMESH_MANAGED, device, nullptr, &out.materials,
                                    &out.count, &out.mesh),
                  D3D_OK)
            << name;
        ASSERT_NE(out.mesh, nullptr);
        ASSERT_NE(out.materials, nullptr);
        auto* records = static_cast<D3DXMATERIAL*>(out.materials->GetBufferPointer());
        for (DWORD i = 0; i < out.count; ++i) {
            if (records[i].pTextureFilename) {
                IDirect3DTexture8* texture = nullptr;
                EXPECT_EQ(D3DXCreateTextureFromFileA(device, records[i].pTextureFilename, &texture),
                          D3D_OK)
                    << records[i].pTextureFilename;
                if (texture) {
                    texture->Release();
                }
            }
        }
    }

    std::filesystem::path previous;
    HWND window = nullptr;
    IDirect3D8* direct3d = nullptr;
    IDirect3DDevice8* device = nullptr;
};

} // namespace

TEST_F(MeshLoaderTest, GridObjectHasTexturedAndPlainMaterials) {
    Loaded w;
    load("data\\w.x", w);
    ASSERT_GE(w.count, 2u);
    auto* records = static_cast<D3DXMATERIAL*>(w.materials->GetBufferPointer());
    int textured = 0;
    for (DWORD i = 0; i < w.count; ++i) {
        textured += records[i].pTextureFilename ? 1 : 0;
    }
    EXPECT_GE(textured, 1);
    EXPECT_LT(textured, static_cast<int>(w.count));
    EXPECT_EQ(w.mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
}

TEST_F(MeshLoaderTest, RoomLoadsFromItsFrameWithBothTextures) {
    Loaded box;
    load("data\\box.x", box);
    EXPECT_EQ(box.count, 2u);
    EXPECT_EQ(box.mesh->GetNumFaces(), 12u);
}

TEST_F(MeshLoaderTest, BallFromTheBinaryFormHasTheFullVertex) {
    Loaded ball;
    load("data\\ball.x", ball);
    EXPECT_EQ(ball.count, 1u);
    EXPECT_EQ(ball.mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
    EXPECT_EQ(D3DXGetFVFVertexSize(ball.mesh->GetFVF()), 32u);
    EXPECT_GT(ball.mesh->GetNumVertices(), 100u);
}
