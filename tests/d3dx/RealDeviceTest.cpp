// The library on the OpenGL device: the generated data files load, and the
// generated shapes and loaded meshes draw as solid, lit objects. Pictures are
// written to d3dx_shapes.png for looking at.
#include "BitmapFiles.h"
#include <d3dx8.h>
#include "PlatformOptions.h"
#include "TestDevice.h"
#include "TestWindow.h"
#include <windows.h>

#include "common/PngFile.h"
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

HWND window() {
    static HWND handle = makeTestWindow("d3dxtest", DefWindowProcA, 400, 300, WS_POPUP);
    return handle;
}

bool writePng(const std::vector<uint32_t>& argb, int width, int height, const std::string& path) {
    auto fillRow = [&](uint32_t y, uint8_t* row) {
        for (int x = 0; x < width; ++x) {
            uint32_t p = argb[size_t(y) * width + x];
            row[3 * x] = static_cast<uint8_t>(p >> 16);
            row[3 * x + 1] = static_cast<uint8_t>(p >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(p);
        }
    };
    return writePngFile(path, width, height, fillRow);
}

class RealDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        direct3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(direct3d, nullptr);
        ASSERT_NE(window(), nullptr);
        ASSERT_EQ(createTestDevice(direct3d, window(), windowedParameters(400, 300), &device),
                  D3D_OK);
    }
    void TearDown() override {
        if (device != nullptr) {
            EXPECT_EQ(device->Release(), 0u);
        }
        if (direct3d != nullptr) {
            direct3d->Release();
        }
    }

    std::vector<uint32_t> readBack() {
        std::vector<uint32_t> pixels;
        IDirect3DSurface8* target = nullptr;
        IDirect3DSurface8* image = nullptr;
        if (device->GetRenderTarget(&target) != D3D_OK ||
            device->CreateImageSurface(400, 300, D3DFMT_A8R8G8B8, &image) != D3D_OK ||
            device->CopyRects(target, nullptr, 0, image, nullptr) != D3D_OK) {
            ADD_FAILURE() << "reading the target back";
        } else {
            D3DLOCKED_RECT locked{};
            image->LockRect(&locked, nullptr, D3DLOCK_READONLY);
            pixels.resize(400 * 300);
            for (int y = 0; y < 300; ++y) {
                std::memcpy(&pixels[size_t(y) * 400],
                            static_cast<uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch, 1600);
            }
            image->UnlockRect();
        }
        if (image != nullptr) {
            image->Release();
        }
        if (target != nullptr) {
            target->Release();
        }
        return pixels;
    }

    IDirect3D8* direct3d = nullptr;
    IDirect3DDevice8* device = nullptr;
};

std::string dataPath(const char* name) {
    return std::string(LETTERBOX_BUILD_DIR) + "/data/" + name;
}

} // namespace

TEST_F(RealDeviceTest, BitmapTexturesOnTheDevice) {
    // A 24-bit power-of-two bitmap: X8R8G8B8 with the full chain.
    ASSERT_TRUE(bmptest::writeFile("real_gradient.bmp", bmptest::gradient24(64, 32)));
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, "real_gradient.bmp", &texture), D3D_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(desc.Width, 64u);
    EXPECT_EQ(texture->GetLevelCount(), 7u);
    texture->GetLevelDesc(6, &desc);
    EXPECT_EQ(desc.Width, 1u);
    EXPECT_EQ(texture->Release(), 0u);

    // Every bitmap the content generator makes loads as the program loads it.
    if (!std::filesystem::exists(dataPath(""))) {
        GTEST_SKIP() << "no generated data in " << LETTERBOX_BUILD_DIR;
    }
    int loaded = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dataPath(""))) {
        if (entry.path().extension() != ".bmp") {
            continue;
        }
        std::string name = entry.path().string();
        EXPECT_EQ(D3DXCreateTextureFromFileExA(device, name.c_str(), D3DX_DEFAULT, D3DX_DEFAULT,
                                               D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                               D3DX_DEFAULT, D3DX_DEFAULT, 0xFF000000, nullptr,
                                               nullptr, &texture),
                  D3D_OK)
            << name;
        if (texture != nullptr) {
            texture->Release();
            texture = nullptr;
        }
        ++loaded;
    }
    EXPECT_GT(loaded, 0);
}

TEST_F(RealDeviceTest, ShapesAndMeshesDrawLit) {
    ID3DXMesh* torus = nullptr;
    ID3DXMesh* box = nullptr;
    ASSERT_EQ(D3DXCreateTorus(device, 0.0125f, 0.125f, 16, 32, &torus, nullptr), D3D_OK);
    ASSERT_EQ(D3DXCreateBox(device, 0.1f, 0.1f, 0.1f, &box, nullptr), D3D_OK);
    ID3DXMesh* model = nullptr;
    LPD3DXBUFFER materials = nullptr;
    DWORD materialCount = 0;
    bool haveData = std::filesystem::exists(dataPath("w.x"));
    if (haveData) {
        for (const char* name : {"w.x", "box.x", "ball.x"}) {
            ID3DXMesh* mesh = nullptr;
            LPD3DXBUFFER buffer = nullptr;
            DWORD count = 0;
            ASSERT_EQ(D3DXLoadMeshFromX(dataPath(name).c_str(), D3DXMESH_MANAGED, device, nullptr,
                                        &buffer, &count, &mesh),
                      D3D_OK)
                << name;
            EXPECT_GE(count, 1u);
            if (std::string(name) == "w.x") {
                model = mesh;
                materials = buffer;
                materialCount = count;
            } else {
                mesh->Release();
                buffer->Release();
            }
        }
    }

    D3DXMATRIX projection, view, world, spin, move;
    D3DXMatrixPerspectiveFovLH(&projection, 0.8f, 400.0f / 300.0f, 0.05f, 10.0f);
    D3DXVECTOR3 eye(0, 0.15f, -0.5f), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_VIEW, &view);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0.4f, -0.6f, 0.7f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF202020);
    D3DMATERIAL8 material{};
    material.Diffuse = {1.0f, 0.8f, 0.3f, 1};
    material.Ambient = {1, 1, 1, 1};
    device->SetMaterial(&material);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102040, 1.0f, 0);
    ASSERT_EQ(device->BeginScene(), D3D_OK);

    D3DXMatrixRotationY(&spin, 0.6f);
    D3DXMatrixTranslation(&move, -0.15f, 0, 0);
    D3DXMatrixMultiply(&world, &spin, &move);
    device->SetTransform(D3DTS_WORLD, &world);
    torus->DrawSubset(0);

    D3DXMatrixRotationY(&spin, 0.7f);
    D3DXMatrixTranslation(&move, 0.15f, 0, 0);
    D3DXMatrixMultiply(&world, &spin, &move);
    device->SetTransform(D3DTS_WORLD, &world);
    box->DrawSubset(0);

    if (model != nullptr) {
        D3DXMatrixScaling(&world, 0.08f, 0.08f, 0.08f);
        D3DXMatrixTranslation(&move, 0, -0.12f, 0);
        D3DXMatrixMultiply(&world, &world, &move);
        device->SetTransform(D3DTS_WORLD, &world);
        auto* records = static_cast<D3DXMATERIAL*>(materials->GetBufferPointer());
        for (DWORD i = 0; i < materialCount; ++i) {
            device->SetMaterial(&records[i].MatD3D);
            model->DrawSubset(i);
        }
    }
    device->EndScene();

    std::vector<uint32_t> pixels = readBack();
    ASSERT_EQ(pixels.size(), 400u * 300u);
    EXPECT_TRUE(writePng(pixels, 400, 300, "d3dx_shapes.png"));
    // The box's centre is lit material, not background; the torus's hole shows
    // the background, its ring does not.
    auto at_ = [&](int x, int y) { return pixels[size_t(y) * 400 + x] & 0xFFFFFF; };
    int boxX = 200 + 60, centreY = 150 - 18;
    EXPECT_NE(at_(boxX, centreY + 10), 0x102040u);
    EXPECT_EQ(at_(10, 10), 0x102040u);

    torus->Release();
    box->Release();
    if (model != nullptr) {
        model->Release();
        materials->Release();
    }
}

TEST(RealDeviceTrace, DrawSubsetDrawsEachRunOnce) {
    // A device whose calls are traced: the trace shows what DrawSubset asked for.
    const std::string path = "d3dx_drawsubset_trace.txt";
    PlatformOptions::get().tracePath = path;
    IDirect3D8* direct3d = Direct3DCreate8(D3D_SDK_VERSION);
    PlatformOptions::get().tracePath.clear();
    ASSERT_NE(direct3d, nullptr);
    IDirect3DDevice8* device = nullptr;
    ASSERT_EQ(createTestDevice(direct3d, window(), windowedParameters(400, 300, false), &device),
              D3D_OK);
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXCreateMeshFVF(4, 6, D3DXMESH_MANAGED, D3DFVF_XYZ, device, &mesh), D3D_OK);
    DWORD* attributes = nullptr;
    mesh->LockAttributeBuffer(0, &attributes);
    attributes[2] = 1; // 0, 0, 1, 0
    mesh->UnlockAttributeBuffer();
    device->BeginScene();
    mesh->DrawSubset(0);
    mesh->DrawSubset(1);
    mesh->DrawSubset(2);
    device->EndScene();
    mesh->Release();
    EXPECT_EQ(device->Release(), 0u);
    direct3d->Release();

    std::vector<std::string> draws;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.find("IDirect3DDevice8::DrawIndexedPrimitive(") != std::string::npos) {
            draws.push_back(line);
        }
    }
    // Subset 0: faces 0-1 and face 3; subset 1: face 2; subset 2: nothing.
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_NE(draws[0].find("startIndex = 0,"), std::string::npos) << draws[0];
    EXPECT_NE(draws[0].find("primCount = 2)"), std::string::npos) << draws[0];
    EXPECT_NE(draws[1].find("startIndex = 9,"), std::string::npos) << draws[1];
    EXPECT_NE(draws[1].find("primCount = 1)"), std::string::npos) << draws[1];
    EXPECT_NE(draws[2].find("startIndex = 6,"), std::string::npos) << draws[2];
    EXPECT_NE(draws[2].find("primCount = 1)"), std::string::npos) << draws[2];
}
