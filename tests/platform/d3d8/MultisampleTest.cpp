// Four samples per pixel: edges are blended, and what is drawn into a texture, presented
// or read back is the resolved picture.
#include "DeviceFixture.h"

#include "Device.h"
#include "PlatformOptions.h"

namespace {

class MultisampleTest : public DeviceTestWith<&PlatformOptions::multisample, 4u, 0u> {
protected:
    // A triangle with a long slanted edge, white on black.
    void drawSlantedTriangle() {
        ColorVertex triangle[3] = {{10, 10, 0.5f, 1, 0xFFFFFFFF},
                                   {90, 40, 0.5f, 1, 0xFFFFFFFF},
                                   {10, 40, 0.5f, 1, 0xFFFFFFFF}};
        device->SetVertexShader(COLOR_FVF);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->BeginScene();
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(ColorVertex)),
                  D3D_OK);
        device->EndScene();
    }
    // Pixels of the 100 x 50 corner neither black nor white.
    int partlyCovered() {
        const std::vector<uint32_t> pixels = readTarget();
        int n = 0;
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 100; ++x) {
                const int red = channel(pixels[static_cast<size_t>(y) * 800 + x], 16);
                n += red > 0 && red < 255 ? 1 : 0;
            }
        }
        return n;
    }
};

TEST_F(MultisampleTest, ATrianglesEdgeHasIntermediateValues) {
    ASSERT_GT(static_cast<Device*>(device)->sampleCount(), 1);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    drawSlantedTriangle();
    // The slanted edge crosses about 80 pixels; the straight ones lie on pixel borders.
    EXPECT_GT(partlyCovered(), 40);
    // Inside and outside stay whole.
    EXPECT_EQ(0xFFFFFFFFu, readPixel(12, 38));
    EXPECT_EQ(0xFF000000u, readPixel(80, 12));
}

TEST_F(MultisampleTest, PresentedAndTextureTargetsShowTheResolvedPicture) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    drawSlantedTriangle();
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    IDirect3DSurface8* front = nullptr;
    device->CreateImageSurface(800, 600, D3DFMT_A8R8G8B8, &front);
    ASSERT_EQ(device->GetFrontBuffer(front), D3D_OK);
    D3DLOCKED_RECT locked{};
    front->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    int partial = 0;
    for (int y = 0; y < 50; ++y) {
        const auto* row = static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch;
        for (int x = 0; x < 100; ++x) {
            partial += row[4 * x + 2] > 0 && row[4 * x + 2] < 255 ? 1 : 0;
        }
    }
    front->UnlockRect();
    front->Release();
    EXPECT_GT(partial, 40);

    // Drawn into a texture, then the texture onto the back buffer: the same soft edge.
    IDirect3DTexture8* texture = nullptr;
    IDirect3DSurface8* surface = nullptr;
    ASSERT_NO_FATAL_FAILURE(makeTargetTexture(1024, 1024, &texture, &surface));
    IDirect3DSurface8* back = nullptr;
    device->GetRenderTarget(&back);
    device->SetRenderTarget(surface, nullptr);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    drawSlantedTriangle();
    device->SetRenderTarget(back, nullptr);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    device->SetTexture(0, texture);
    device->BeginScene();
    drawTexturedQuad(0, 0, 1024, 1024, 0, 0, 1, 1);
    device->EndScene();
    device->SetTexture(0, nullptr);
    EXPECT_GT(partlyCovered(), 40);
    EXPECT_EQ(0xFFFFFFFFu, readPixel(12, 38));
    EXPECT_EQ(0xFF000000u, readPixel(80, 12));
    back->Release();
    surface->Release();
    texture->Release();
}

TEST_F(MultisampleTest, AStencilShadowDarkensEachPixelOnce) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF808080,
                  1.0f, 0);
    useShadowStencil();
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->BeginScene();
    drawQuad(10, 10, 60, 60, 0x4D000000);
    drawQuad(30, 30, 80, 80, 0x4D000000);
    device->EndScene();
    const uint32_t once = readPixel(20, 20);
    EXPECT_TRUE(colorNear(once, 0xFF5A5A5A, 2)) << std::hex << once;
    EXPECT_EQ(once, readPixel(45, 45)); // where the two overlap
    EXPECT_EQ(once, readPixel(70, 70));
    EXPECT_EQ(0xFF808080u, readPixel(90, 90));
}

} // namespace
