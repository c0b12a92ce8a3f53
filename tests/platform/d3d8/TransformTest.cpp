// Untransformed vertices through the viewport mapping, and a first check of lighting.
#include "DeviceFixture.h"

#include <cstring>

namespace {

struct PositionVertex {
    float x, y, z;
    D3DCOLOR color;
};

struct NormalVertex {
    float x, y, z, nx, ny, nz;
};

} // namespace

TEST_F(DeviceTest, ClipSpaceCornersLandOnTheViewportCorners) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    D3DVIEWPORT8 viewport{100, 50, 200, 100, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    // Identity transforms: positions are clip space; y points up.
    PositionVertex quad[4] = {{-1, 1, 0.5f, 0xFFFFFFFF},
                              {1, 1, 0.5f, 0xFFFFFFFF},
                              {1, -1, 0.5f, 0xFFFFFFFF},
                              {-1, -1, 0.5f, 0xFFFFFFFF}};
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->BeginScene();
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(PositionVertex)), D3D_OK);
    device->EndScene();
    D3DVIEWPORT8 full{0, 0, 800, 600, 0.0f, 1.0f};
    device->SetViewport(&full);
    std::vector<uint32_t> p = readTarget();
    int white = 0;
    for (uint32_t v : p) {
        white += v == 0xFFFFFFFFu ? 1 : 0;
    }
    EXPECT_EQ(white, 200 * 100);
    EXPECT_EQ(p[50 * 800 + 100], 0xFFFFFFFFu);
    EXPECT_EQ(p[149 * 800 + 299], 0xFFFFFFFFu);
    EXPECT_EQ(p[49 * 800 + 100], 0xFF000000u);
}

TEST_F(DeviceTest, DirectionalLightAndAmbientLightAQuadFacingTheLight) {
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    D3DMATERIAL8 material{};
    material.Diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    device->SetMaterial(&material);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    light.Direction = {0.0f, 0.0f, 1.0f}; // travels into the screen, towards the quad's face
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF202020);
    // A quad in clip space whose normal faces the viewer (-z), and one turned away.
    NormalVertex facing[4] = {{-1, 1, 0.5f, 0, 0, -1},
                              {0, 1, 0.5f, 0, 0, -1},
                              {0, 0, 0.5f, 0, 0, -1},
                              {-1, 0, 0.5f, 0, 0, -1}};
    NormalVertex away[4] = {
        {0, 1, 0.5f, 0, 0, 1}, {1, 1, 0.5f, 0, 0, 1}, {1, 0, 0.5f, 0, 0, 1}, {0, 0, 0.5f, 0, 0, 1}};
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);
    device->BeginScene();
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, facing, sizeof(NormalVertex));
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, away, sizeof(NormalVertex));
    device->EndScene();
    // Ambient 0x20 plus the diffuse material at full light, clamped.
    EXPECT_TRUE(colorNear(readPixel(200, 150), 0xFF9F60FF));
    // Turned away: ambient only.
    EXPECT_TRUE(colorNear(readPixel(600, 150), 0xFF202020));
}

TEST_F(DeviceTest, PointSpriteCoversItsSquareWithTheTextureUpright) {
    // Top-left texel red, the others blue.
    IDirect3DTexture8* texture =
        makeTexture(2, 2, {0xFFFF0000, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF});
    device->SetTexture(0, texture);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    float size = 8.0f;
    DWORD bits;
    std::memcpy(&bits, &size, 4);
    device->SetRenderState(D3DRS_POINTSIZE, bits);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    ColorVertex point = {100, 100, 0.5f, 1, 0xFFFFFFFF};
    device->SetVertexShader(COLOR_FVF);
    device->BeginScene();
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof(ColorVertex)), D3D_OK);
    device->EndScene();
    std::vector<uint32_t> p = readTarget();
    int covered = 0;
    for (uint32_t v : p) {
        covered += v != 0xFF000000u ? 1 : 0;
    }
    EXPECT_EQ(covered, 64);
    EXPECT_EQ(p[97 * 800 + 97], 0xFFFF0000u); // top-left quarter
    EXPECT_EQ(p[102 * 800 + 102], 0xFF0000FFu);
    EXPECT_EQ(p[97 * 800 + 102], 0xFF0000FFu);
    dropTexture(texture);
}
