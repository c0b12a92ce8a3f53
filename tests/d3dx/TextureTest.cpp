#include "BitmapFiles.h"
#include "FakeDeviceTest.h"
#include <d3dx8.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace bmptest;

namespace {

class TextureTest : public FakeDeviceTest {
protected:
    HRESULT load(const std::string& name, IDirect3DTexture8** out,
                 D3DFORMAT format = D3DFMT_UNKNOWN, D3DCOLOR key = 0,
                 D3DPOOL pool = D3DPOOL_MANAGED) {
        return D3DXCreateTextureFromFileExA(device, name.c_str(), D3DX_DEFAULT, D3DX_DEFAULT,
                                            D3DX_DEFAULT, 0, format, pool, D3DX_DEFAULT,
                                            D3DX_DEFAULT, key, nullptr, nullptr, out);
    }
};

// A 4 x 4 bitmap: black in the top-left quarter, four colours elsewhere.
std::vector<uint8_t> quarters() {
    std::vector<std::vector<uint32_t>> rows(4, std::vector<uint32_t>(4));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            rows[y][x] =
                (x < 2 && y < 2) ? 0x000000 : (x < 2 ? 0xFF0000 : (y < 2 ? 0x00FF00 : 0x0000FF));
        }
    }
    rows[3][3] = 0x0000F0;
    BitmapLayout layout;
    layout.width = 4;
    layout.height = 4;
    layout.pixels = rows24(rows);
    return makeBitmap(layout);
}

} // namespace

TEST_F(TextureTest, TrueColourBitmapGivesX8R8G8B8WithBoxFilteredChain) {
    ASSERT_TRUE(writeFile("tex_quarters.bmp", quarters()));
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, "tex_quarters.bmp", &texture), D3D_OK);
    FakeTexture* fake = device->lastTexture;
    ASSERT_EQ(texture, fake);
    EXPECT_EQ(fake->format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(fake->pool, D3DPOOL_MANAGED);
    ASSERT_EQ(fake->levels.size(), 3u); // 4, 2, 1
    EXPECT_EQ(fake->texel32(0, 0, 0), 0xFF000000u);
    EXPECT_EQ(fake->texel32(0, 2, 0), 0xFF00FF00u);
    EXPECT_EQ(fake->texel32(0, 0, 3), 0xFFFF0000u);
    // Level 1: each texel the 2 x 2 average; the blue quarter holds one 0xF0.
    EXPECT_EQ(fake->texel32(1, 0, 0), 0xFF000000u);
    EXPECT_EQ(fake->texel32(1, 1, 1), 0xFF0000FBu); // (255 * 3 + 240 + 2) / 4 = 251
    EXPECT_EQ(fake->texel32(2, 0, 0), 0xFF40403Fu);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(TextureTest, ColourKeyMakesExactlyTheKeyColourTransparent) {
    ASSERT_TRUE(writeFile("tex_quarters.bmp", quarters()));
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(load("tex_quarters.bmp", &texture, D3DFMT_A8R8G8B8, 0xFF000000), D3D_OK);
    FakeTexture* fake = device->lastTexture;
    EXPECT_EQ(fake->format, D3DFMT_A8R8G8B8);
    for (UINT y = 0; y < 4; ++y) {
        for (UINT x = 0; x < 4; ++x) {
            uint32_t alpha = fake->texel32(0, x, y) >> 24;
            EXPECT_EQ(alpha, (x < 2 && y < 2) ? 0u : 255u) << x << "," << y;
        }
    }
    EXPECT_EQ(fake->texel32(0, 0, 0), 0u); // transparent black
    texture->Release();

    // A key with alpha 0 matches nothing opaque.
    ASSERT_EQ(load("tex_quarters.bmp", &texture, D3DFMT_A8R8G8B8, 0x00000000 | 0x000000FF), D3D_OK);
    EXPECT_EQ(device->lastTexture->texel32(0, 0, 0), 0xFF000000u);
    texture->Release();

    // Palettised: the key clears palette entries; with no format asked for, the
    // keyed palette makes the texture A8R8G8B8.
    BitmapLayout layout;
    layout.bits = 8;
    layout.width = 2;
    layout.height = 1;
    layout.palette = {0x000000, 0xFF00FF};
    layout.pixels = {0, 1, 0, 0};
    ASSERT_TRUE(writeFile("tex_palette.bmp", makeBitmap(layout)));
    ASSERT_EQ(load("tex_palette.bmp", &texture, D3DFMT_UNKNOWN, 0xFFFF00FF), D3D_OK);
    EXPECT_EQ(device->lastTexture->format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(device->lastTexture->texel32(0, 0, 0), 0xFF000000u);
    EXPECT_EQ(device->lastTexture->texel32(0, 1, 0), 0u);
    texture->Release();
    ASSERT_EQ(load("tex_palette.bmp", &texture), D3D_OK);
    EXPECT_EQ(device->lastTexture->format, D3DFMT_X8R8G8B8);
    texture->Release();
}

TEST_F(TextureTest, SizeAndChainFitTheDevice) {
    ASSERT_TRUE(writeFile("tex_300x200.bmp", gradient24(300, 200)));
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, "tex_300x200.bmp", &texture), D3D_OK);
    EXPECT_EQ(device->lastTexture->levels[0].width, 300u);
    EXPECT_EQ(device->lastTexture->levels[0].height, 200u);
    EXPECT_EQ(device->lastTexture->levels.size(), 1u);
    texture->Release();

    device->caps.TextureCaps |= D3DPTEXTURECAPS_POW2;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, "tex_300x200.bmp", &texture), D3D_OK);
    FakeTexture* fake = device->lastTexture;
    EXPECT_EQ(fake->levels[0].width, 512u);
    EXPECT_EQ(fake->levels[0].height, 256u);
    EXPECT_EQ(fake->levels.size(), 10u);
    // Stretched to fill: the corners keep the image's corner colours.
    EXPECT_EQ(fake->texel32(0, 0, 0) & 0xFFFF00, 0x000000u);
    EXPECT_EQ(fake->texel32(0, 511, 255) & 0xFFFF00, 0xFFFF00u);
    texture->Release();

    // Square-only devices, and the size limit.
    device->caps.TextureCaps = D3DPTEXTURECAPS_SQUAREONLY;
    device->caps.MaxTextureWidth = 256;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, "tex_300x200.bmp", &texture), D3D_OK);
    EXPECT_EQ(device->lastTexture->levels[0].width, 256u);
    EXPECT_EQ(device->lastTexture->levels[0].height, 256u);
    texture->Release();
}

TEST_F(TextureTest, FormatsTheDeviceRefusesAreReplacedOrReported) {
    ASSERT_TRUE(writeFile("tex_quarters.bmp", quarters()));
    IDirect3DTexture8* texture = nullptr;
    device->direct3d->refused = {D3DFMT_X8R8G8B8};
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, "tex_quarters.bmp", &texture), D3D_OK);
    EXPECT_EQ(device->lastTexture->format, D3DFMT_A8R8G8B8);
    texture->Release();

    device->direct3d->refused = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8};
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, "tex_quarters.bmp", &texture), D3D_OK);
    EXPECT_EQ(device->lastTexture->format, D3DFMT_R5G6B5);
    uint16_t first;
    std::memcpy(&first, device->lastTexture->levels[0].bytes.data() + 2 * 2, 2);
    EXPECT_EQ(first, 0x07E0); // green
    texture->Release();

    device->direct3d->refused = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5,
                                 D3DFMT_A1R5G5B5};
    texture = reinterpret_cast<IDirect3DTexture8*>(0x1);
    int created = device->texturesCreated;
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, "tex_quarters.bmp", &texture),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(texture, reinterpret_cast<IDirect3DTexture8*>(0x1)); // left unchanged
    EXPECT_EQ(device->texturesCreated, created);
}

TEST_F(TextureTest, DefaultPoolIsFilledThroughSystemMemory) {
    ASSERT_TRUE(writeFile("tex_quarters.bmp", quarters()));
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(load("tex_quarters.bmp", &texture, D3DFMT_A8R8G8B8, 0, D3DPOOL_DEFAULT), D3D_OK);
    auto* fake = static_cast<FakeTexture*>(texture);
    EXPECT_EQ(fake->pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(fake->texel32(0, 2, 0), 0xFF00FF00u);
    EXPECT_EQ(device->texturesCreated, 2); // the staging copy is released again
    texture->Release();
}

TEST_F(TextureTest, FailuresAndTheirCodes) {
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, "no_such_texture.bmp", &texture),
              static_cast<HRESULT>(0x80070002));
    ASSERT_TRUE(writeFile("tex_text.bmp", {'h', 'e', 'l', 'l', 'o'}));
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, "tex_text.bmp", &texture),
              static_cast<HRESULT>(0x88760B59));
    ASSERT_TRUE(writeFile("tex_empty.bmp", {}));
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, "tex_empty.bmp", &texture), D3DERR_INVALIDCALL);
    ASSERT_TRUE(writeFile("tex_quarters.bmp", quarters()));
    EXPECT_EQ(D3DXCreateTextureFromFileA(nullptr, "tex_quarters.bmp", &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, "tex_quarters.bmp", nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileExA(device, "tex_quarters.bmp", D3DX_DEFAULT, D3DX_DEFAULT,
                                           D3DX_DEFAULT, D3DUSAGE_WRITEONLY, D3DFMT_UNKNOWN,
                                           D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                           nullptr, &texture),
              D3DERR_INVALIDCALL);
    // A header that claims more than the file holds.
    std::vector<uint8_t> lying = quarters();
    lying[2] += 4;
    ASSERT_TRUE(writeFile("tex_lying.bmp", lying));
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, "tex_lying.bmp", &texture),
              static_cast<HRESULT>(0x88760B59));
    device->failCreateTexture = true;
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, "tex_quarters.bmp", &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);

    D3DXIMAGE_INFO info{};
    device->failCreateTexture = false;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device, "tex_quarters.bmp", D3DX_DEFAULT, D3DX_DEFAULT,
                                           D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                           D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &texture),
              D3D_OK);
    EXPECT_EQ(info.Width, 4u);
    EXPECT_EQ(info.Format, D3DFMT_R8G8B8);
    texture->Release();
}
