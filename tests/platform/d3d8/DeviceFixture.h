// A device on an 800 x 600 window for each test, and helpers that draw screen-space quads
// and read pixels back through the published calls.
#pragma once

#include <PlatformOptions.h>
#include <d3d8.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

struct ColorVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};
constexpr DWORD COLOR_FVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

struct TexturedVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD TEXTURED_FVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// The window every test draws into.
HWND testWindow();

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A clockwise quad (survives the default culling) from (x0, y0) to (x1, y1).
    void drawQuad(float x0, float y0, float x1, float y1, D3DCOLOR color, float z = 0.5f);
    void drawTexturedQuad(float x0, float y0, float x1, float y1, float u0, float v0, float u1,
                          float v1, D3DCOLOR color = 0xFFFFFFFF);
    // The states of planar shadows drawn once per pixel: a pixel passes while its stencil
    // is not 1 and then becomes 1; source-alpha blending.
    void useShadowStencil();
    // The current render target read back as 0xAARRGGBB values, row by row.
    std::vector<uint32_t> readTarget();
    uint32_t readPixel(int x, int y);
    // The two 10 x 10 squares side by side at the top left, from x 0 and x 10, show these
    // colours at their centres.
    void expectSquares(uint32_t left, uint32_t right);
    // A one-level X8R8G8B8 render target texture and its surface; the caller releases both.
    void makeTargetTexture(UINT width, UINT height, IDirect3DTexture8** texture,
                           IDirect3DSurface8** surface);
    // Unbinds texture from stage 0 and releases it.
    void dropTexture(IDirect3DTexture8* texture);
    // A texture of the given format filled from 32-bit A8R8G8B8 texels.
    IDirect3DTexture8* makeTexture(UINT width, UINT height, const std::vector<uint32_t>& texels,
                                   D3DFORMAT format = D3DFMT_A8R8G8B8);

    IDirect3D8* direct3d = nullptr;
    IDirect3DDevice8* device = nullptr;
    D3DPRESENT_PARAMETERS params{};
};

// A device made with one platform option set to during, the option put back to after once
// the device is gone.
template <auto option, auto during, auto after> class DeviceTestWith : public DeviceTest {
protected:
    void SetUp() override {
        PlatformOptions::get().*option = during;
        DeviceTest::SetUp();
    }
    void TearDown() override {
        DeviceTest::TearDown();
        PlatformOptions::get().*option = after;
    }
};

// A float render state's value as the DWORD the device takes it in.
inline DWORD floatBits(float value) {
    return std::bit_cast<DWORD>(value);
}

inline int channel(uint32_t color, int shift) {
    return static_cast<int>((color >> shift) & 0xff);
}

// A colour's channels as fractions of 1, for the tests that compute the expected blend.
struct Rgba {
    double r, g, b, a;
};
inline Rgba unpack(uint32_t c) {
    return {channel(c, 16) / 255.0, channel(c, 8) / 255.0, channel(c, 0) / 255.0,
            channel(c, 24) / 255.0};
}

// Every channel within tolerance of the expected value.
::testing::AssertionResult colorNear(uint32_t actual, uint32_t expected, int tolerance = 1);
