// The device drawing at twice the program's resolution: what the program sees stays
// 800 x 600, what is drawn is 1600 x 1200.
#include "DeviceFixture.h"

#include "Device.h"
#include "PlatformOptions.h"
#include "Surface.h"

#include <cstring>

namespace {

class ScaleTest : public DeviceTestWith<&PlatformOptions::renderScale, 2u, 1u> {
protected:
    // The pixels of a surface as drawn, for the program's rectangle rect: each row
    // 2 x (right - left) values of 0xAARRGGBB.
    std::vector<uint32_t> fine(IDirect3DSurface8* surface, RECT rect) {
        const UINT w = 2 * static_cast<UINT>(rect.right - rect.left);
        const UINT h = 2 * static_cast<UINT>(rect.bottom - rect.top);
        std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
        EXPECT_TRUE(static_cast<Device*>(device)->readTargetFine(
            static_cast<Surface*>(surface), rect, reinterpret_cast<uint8_t*>(pixels.data()),
            w * 4));
        return pixels;
    }
    std::vector<uint32_t> fineTarget(RECT rect) {
        IDirect3DSurface8* target = nullptr;
        device->GetRenderTarget(&target);
        std::vector<uint32_t> pixels = fine(target, rect);
        target->Release();
        return pixels;
    }
    // Whether the fine pixels of the 40 x 40 program pixels from (0, 0) that differ from
    // black are exactly those inside [x0, x1) x [y0, y1) of the fine grid.
    ::testing::AssertionResult coversExactly(const std::vector<uint32_t>& pixels, int x0, int y0,
                                             int x1, int y1) {
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 80; ++x) {
                const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
                const bool lit = (pixels[static_cast<size_t>(y) * 80 + x] & 0xFFFFFF) != 0;
                if (inside != lit) {
                    return ::testing::AssertionFailure()
                           << "fine pixel (" << x << ", " << y << ") is " << (lit ? "" : "not ")
                           << "drawn";
                }
            }
        }
        return ::testing::AssertionSuccess();
    }
    void clearBlack() {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    }
};

TEST_F(ScaleTest, EverySizeTheProgramSeesStaysItsOwn) {
    IDirect3DSurface8* back = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    D3DSURFACE_DESC desc{};
    back->GetDesc(&desc);
    EXPECT_EQ(800u, desc.Width);
    EXPECT_EQ(600u, desc.Height);
    back->Release();
    D3DVIEWPORT8 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(800u, viewport.Width);
    EXPECT_EQ(600u, viewport.Height);
    D3DCAPS8 caps{};
    device->GetDeviceCaps(&caps);
    EXPECT_EQ(64.0f, caps.MaxPointSize);
}

TEST_F(ScaleTest, APreTransformedQuadCoversTheScaledBlock) {
    clearBlack();
    device->BeginScene();
    drawQuad(10, 10, 20, 20, 0xFFFFFFFF);
    device->EndScene();
    EXPECT_TRUE(coversExactly(fineTarget(RECT{0, 0, 40, 40}), 20, 20, 40, 40));
    // A half-pixel edge falls between the fine pixels of one program pixel.
    clearBlack();
    device->BeginScene();
    drawQuad(10.5f, 10, 20, 20, 0xFFFFFFFF);
    device->EndScene();
    EXPECT_TRUE(coversExactly(fineTarget(RECT{0, 0, 40, 40}), 21, 20, 40, 40));
}

TEST_F(ScaleTest, ClearsAndCopiesLandOnTheScaledRectangles) {
    clearBlack();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    EXPECT_TRUE(coversExactly(fineTarget(RECT{0, 0, 40, 40}), 0, 0, 80, 80));
    // A viewport confines the clear: (10, 5) to (25, 20) becomes (20, 10) to (50, 40).
    clearBlack();
    D3DVIEWPORT8 viewport{10, 5, 15, 15, 0.0f, 1.0f};
    device->SetViewport(&viewport);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    EXPECT_TRUE(coversExactly(fineTarget(RECT{0, 0, 40, 40}), 20, 10, 50, 40));
    // A rectangle is cut to the viewport.
    D3DVIEWPORT8 whole{0, 0, 800, 600, 0.0f, 1.0f};
    device->SetViewport(&whole);
    clearBlack();
    D3DRECT rect{3, 4, 7, 9};
    device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    EXPECT_TRUE(coversExactly(fineTarget(RECT{0, 0, 40, 40}), 6, 8, 14, 18));

    // A copy between targets keeps the fine picture and moves it to the scaled point.
    clearBlack();
    device->BeginScene();
    drawQuad(10.5f, 10, 20, 20, 0xFFFFFFFF);
    device->EndScene();
    IDirect3DSurface8* back = nullptr;
    IDirect3DSurface8* other = nullptr;
    device->GetRenderTarget(&back);
    ASSERT_EQ(
        device->CreateRenderTarget(64, 64, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, FALSE, &other),
        D3D_OK);
    RECT from{10, 10, 20, 20};
    POINT to{2, 3};
    ASSERT_EQ(device->CopyRects(back, &from, 1, other, &to), D3D_OK);
    EXPECT_TRUE(coversExactly(fine(other, RECT{0, 0, 40, 40}), 5, 6, 24, 26));
    other->Release();
    back->Release();
}

TEST_F(ScaleTest, APointSpriteIsTwiceAsWide) {
    clearBlack();
    device->SetRenderState(D3DRS_POINTSIZE, floatBits(8.0f));
    ColorVertex point{20, 20, 0.5f, 1, 0xFFFFFFFF};
    device->SetVertexShader(COLOR_FVF);
    device->BeginScene();
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof(point)), D3D_OK);
    device->EndScene();
    const std::vector<uint32_t> pixels = fineTarget(RECT{0, 0, 40, 40});
    int lit = 0;
    for (uint32_t p : pixels) {
        lit += (p & 0xFFFFFF) != 0 ? 1 : 0;
    }
    EXPECT_EQ(16 * 16, lit);
    // The minimum is in program pixels too.
    clearBlack();
    device->SetRenderState(D3DRS_POINTSIZE, floatBits(1.0f));
    device->SetRenderState(D3DRS_POINTSIZE_MIN, floatBits(5.0f));
    device->BeginScene();
    device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof(point));
    device->EndScene();
    lit = 0;
    for (uint32_t p : fineTarget(RECT{0, 0, 40, 40})) {
        lit += (p & 0xFFFFFF) != 0 ? 1 : 0;
    }
    EXPECT_EQ(10 * 10, lit);
}

TEST_F(ScaleTest, ARenderTargetTextureKeepsItsSizeAndDrawsFiner) {
    IDirect3DTexture8* texture = nullptr;
    IDirect3DSurface8* surface = nullptr;
    ASSERT_NO_FATAL_FAILURE(makeTargetTexture(1024, 1024, &texture, &surface));
    D3DSURFACE_DESC desc{};
    surface->GetDesc(&desc);
    EXPECT_EQ(1024u, desc.Width);
    EXPECT_EQ(1024u, desc.Height);
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(1024u, desc.Width);

    ASSERT_EQ(device->SetRenderTarget(surface, nullptr), D3D_OK);
    D3DVIEWPORT8 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(1024u, viewport.Width);
    clearBlack();
    device->BeginScene();
    drawQuad(10.5f, 10, 20, 20, 0xFFFFFFFF);
    device->EndScene();
    EXPECT_TRUE(coversExactly(fine(surface, RECT{0, 0, 40, 40}), 21, 20, 40, 40));

    // Drawn back on the back buffer, the texture's fine picture shows through: the
    // half-pixel edge survives the trip.
    IDirect3DSurface8* back = nullptr;
    device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    device->SetRenderTarget(back, nullptr);
    clearBlack();
    device->SetTexture(0, texture);
    device->BeginScene();
    drawTexturedQuad(0, 0, 1024, 1024, 0, 0, 1, 1);
    device->EndScene();
    device->SetTexture(0, nullptr);
    EXPECT_TRUE(coversExactly(fineTarget(RECT{0, 0, 40, 40}), 21, 20, 40, 40));
    back->Release();
    surface->Release();
    texture->Release();
}

TEST_F(ScaleTest, ReadersThroughThePublishedCallsSeeTheProgramsView) {
    clearBlack();
    device->BeginScene();
    drawQuad(10.5f, 10, 20, 20, 0xFFFFFFFF);
    device->EndScene();
    // LockRect on the back buffer: 800 x 600, pixel 10 averages a black and a white column.
    IDirect3DSurface8* back = nullptr;
    device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(back->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    auto at = [&](int x, int y) {
        uint32_t value;
        std::memcpy(&value, static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch + 4 * x, 4);
        return value & 0xFFFFFF;
    };
    EXPECT_EQ(800 * 4, locked.Pitch);
    EXPECT_EQ(0x000000u, at(9, 12));
    EXPECT_EQ(0x808080u, at(10, 12));
    EXPECT_EQ(0xFFFFFFu, at(11, 12));
    EXPECT_EQ(0xFFFFFFu, at(19, 19));
    EXPECT_EQ(0x000000u, at(20, 19));
    back->UnlockRect();
    // CopyRects into an image surface reads the same view.
    EXPECT_EQ(0xFF808080u, readPixel(10, 12));

    // Writing through a lock paints whole blocks; only the rectangle locked is written
    // back, so the fine picture elsewhere stays.
    RECT one{3, 2, 4, 3};
    ASSERT_EQ(back->LockRect(&locked, &one, 0), D3D_OK);
    std::memset(locked.pBits, 0xFF, 4);
    ASSERT_EQ(back->UnlockRect(), D3D_OK);
    // Program pixel (3, 2) is the fine block (6, 4) to (8, 6); its neighbours stay black.
    const std::vector<uint32_t> corner = fineTarget(RECT{0, 0, 10, 10});
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 6 && x < 8 && y >= 4 && y < 6;
            EXPECT_EQ(inside ? 0xFFFFFFu : 0u, corner[static_cast<size_t>(y) * 20 + x] & 0xFFFFFF)
                << x << ", " << y;
        }
    }
    back->Release();

    // GetFrontBuffer after Present: the program's size gets the averaged view, a surface
    // with room for the drawn picture gets it whole.
    device->Present(nullptr, nullptr, nullptr, nullptr);
    IDirect3DSurface8* small = nullptr;
    IDirect3DSurface8* large = nullptr;
    device->CreateImageSurface(800, 600, D3DFMT_A8R8G8B8, &small);
    device->CreateImageSurface(1600, 1200, D3DFMT_A8R8G8B8, &large);
    ASSERT_EQ(device->GetFrontBuffer(small), D3D_OK);
    ASSERT_EQ(device->GetFrontBuffer(large), D3D_OK);
    ASSERT_EQ(small->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(0x808080u, at(10, 12));
    small->UnlockRect();
    ASSERT_EQ(large->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(0x000000u, at(20, 24));
    EXPECT_EQ(0xFFFFFFu, at(21, 24));
    large->UnlockRect();
    small->Release();
    large->Release();
}

} // namespace

// "auto" on the software rasteriser (as every test device is) draws at the program's size,
// whatever number was given before it.
class AutoScaleTest : public DeviceTest {
protected:
    void SetUp() override {
        PlatformOptions::get().renderScale = 3;
        PlatformOptions::get().renderScaleAuto = true;
        DeviceTest::SetUp();
    }
    void TearDown() override {
        DeviceTest::TearDown();
        PlatformOptions::get().renderScale = 1;
        PlatformOptions::get().renderScaleAuto = false;
    }
};

TEST_F(AutoScaleTest, TheSoftwareRasteriserDrawsAtTheProgramsSize) {
    EXPECT_EQ(static_cast<Device*>(device)->renderScale().factor(), 1u);
}
