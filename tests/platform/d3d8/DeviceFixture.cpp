#include "DeviceFixture.h"

#include "TestDevice.h"
#include "TestWindow.h"

#include <cstdlib>
#include <cstring>

HWND testWindow() {
    static HWND window = makeTestWindow("d3d8test", DefWindowProcA, 800, 600, WS_POPUP);
    return window;
}

void DeviceTest::SetUp() {
    direct3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    params = windowedParameters(800, 600, true, D3DSWAPEFFECT_FLIP);
    ASSERT_NE(testWindow(), nullptr);
    ASSERT_EQ(createTestDevice(direct3d, testWindow(), params, &device), D3D_OK);
    // Screen-space drawing: no lighting involved.
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
}

void DeviceTest::TearDown() {
    if (device != nullptr) {
        EXPECT_EQ(device->Release(), 0u);
    }
    if (direct3d != nullptr) {
        EXPECT_EQ(direct3d->Release(), 0u);
    }
}

void DeviceTest::drawQuad(float x0, float y0, float x1, float y1, D3DCOLOR color, float z) {
    ColorVertex quad[4] = {
        {x0, y0, z, 1, color}, {x1, y0, z, 1, color}, {x1, y1, z, 1, color}, {x0, y1, z, 1, color}};
    ASSERT_EQ(device->SetVertexShader(COLOR_FVF), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ColorVertex)), D3D_OK);
}

void DeviceTest::drawTexturedQuad(float x0, float y0, float x1, float y1, float u0, float v0,
                                  float u1, float v1, D3DCOLOR color) {
    TexturedVertex quad[4] = {{x0, y0, 0.5f, 1, color, u0, v0},
                              {x1, y0, 0.5f, 1, color, u1, v0},
                              {x1, y1, 0.5f, 1, color, u1, v1},
                              {x0, y1, 0.5f, 1, color, u0, v1}};
    ASSERT_EQ(device->SetVertexShader(TEXTURED_FVF), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(TexturedVertex)), D3D_OK);
}

void DeviceTest::useShadowStencil() {
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_NOTEQUAL);
    device->SetRenderState(D3DRS_STENCILREF, 1);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

std::vector<uint32_t> DeviceTest::readTarget() {
    std::vector<uint32_t> pixels;
    IDirect3DSurface8* target = nullptr;
    if (device->GetRenderTarget(&target) != D3D_OK) {
        ADD_FAILURE() << "GetRenderTarget";
        return pixels;
    }
    D3DSURFACE_DESC desc{};
    target->GetDesc(&desc);
    IDirect3DSurface8* image = nullptr;
    EXPECT_EQ(device->CreateImageSurface(desc.Width, desc.Height, D3DFMT_A8R8G8B8, &image), D3D_OK);
    EXPECT_EQ(device->CopyRects(target, nullptr, 0, image, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(image->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    pixels.resize(static_cast<size_t>(desc.Width) * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y) {
        std::memcpy(&pixels[static_cast<size_t>(y) * desc.Width],
                    static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
                    desc.Width * 4);
    }
    image->UnlockRect();
    image->Release();
    target->Release();
    return pixels;
}

uint32_t DeviceTest::readPixel(int x, int y) {
    IDirect3DSurface8* target = nullptr;
    device->GetRenderTarget(&target);
    IDirect3DSurface8* image = nullptr;
    device->CreateImageSurface(1, 1, D3DFMT_A8R8G8B8, &image);
    RECT rect{x, y, x + 1, y + 1};
    POINT origin{0, 0};
    EXPECT_EQ(device->CopyRects(target, &rect, 1, image, &origin), D3D_OK);
    D3DLOCKED_RECT locked{};
    image->LockRect(&locked, nullptr, 0);
    uint32_t value;
    std::memcpy(&value, locked.pBits, 4);
    image->UnlockRect();
    image->Release();
    target->Release();
    return value;
}

void DeviceTest::expectSquares(uint32_t left, uint32_t right) {
    EXPECT_EQ(readPixel(5, 5), left);
    EXPECT_EQ(readPixel(15, 5), right);
}

void DeviceTest::dropTexture(IDirect3DTexture8* texture) {
    device->SetTexture(0, nullptr);
    texture->Release();
}

void DeviceTest::makeTargetTexture(UINT width, UINT height, IDirect3DTexture8** texture,
                                   IDirect3DSurface8** surface) {
    ASSERT_EQ(device->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8,
                                    D3DPOOL_DEFAULT, texture),
              D3D_OK);
    ASSERT_EQ((*texture)->GetSurfaceLevel(0, surface), D3D_OK);
}

IDirect3DTexture8* DeviceTest::makeTexture(UINT width, UINT height,
                                           const std::vector<uint32_t>& texels, D3DFORMAT format) {
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(width, height, 1, 0, format, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    if (texture == nullptr) {
        return nullptr;
    }
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < height; ++y) {
        auto* row = static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
        for (UINT x = 0; x < width; ++x) {
            uint32_t c = texels[y * width + x];
            if (format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8) {
                std::memcpy(row + 4 * x, &c, 4);
            } else if (format == D3DFMT_R5G6B5) {
                uint16_t v = static_cast<uint16_t>(((c >> 19) & 31) << 11 | ((c >> 10) & 63) << 5 |
                                                   ((c >> 3) & 31));
                std::memcpy(row + 2 * x, &v, 2);
            } else if (format == D3DFMT_L8) {
                row[x] = static_cast<uint8_t>(c);
            }
        }
    }
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    return texture;
}

::testing::AssertionResult colorNear(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(channel(actual, shift) - channel(expected, shift)) > tolerance) {
            char text[96];
            std::snprintf(text, sizeof(text), "0x%08X is not 0x%08X (within %d)", actual, expected,
                          tolerance);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}
