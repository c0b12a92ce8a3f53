// Texture stages, filtering, addressing, formats and render-to-texture.
#include "DeviceFixture.h"

#include <cstring>
#include <iterator>

TEST_F(DeviceTest, WithoutATextureTheDefaultStageShowsVertexColourAndAlpha) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->BeginScene();
    drawQuad(0, 0, 10, 10, 0xFFFF8040);
    drawQuad(10, 0, 20, 10, 0x80FFFFFF); // half transparent white over black
    device->EndScene();
    EXPECT_EQ(readPixel(5, 5), 0xFFFF8040u);
    EXPECT_TRUE(colorNear(readPixel(15, 5), 0xFF808080));
}

TEST_F(DeviceTest, ModulateAndSelectCombineTextureAndDiffuse) {
    IDirect3DTexture8* texture = makeTexture(1, 1, {0x80FF8040});
    ASSERT_NE(texture, nullptr);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->BeginScene();
    // Default stage 0: colour texture x diffuse, alpha from the texture alone.
    drawTexturedQuad(0, 0, 10, 10, 0, 0, 1, 1, 0x00808080);
    // The program's particle setting: alpha texture x diffuse as well.
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    drawTexturedQuad(10, 0, 20, 10, 0, 0, 1, 1, 0x80FFFFFF);
    // SELECTARG2 of the diffuse ignores the texture's colour.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    drawTexturedQuad(20, 0, 30, 10, 0, 0, 1, 1, 0xFF123456);
    // Texture factor and the complement modifier.
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF204060);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TEXTURE | D3DTA_COMPLEMENT);
    drawTexturedQuad(30, 0, 40, 10, 0, 0, 1, 1);
    device->EndScene();
    // (255, 128, 64) x (128, 128, 128) / 255, blended with alpha 0x80 over black.
    EXPECT_TRUE(colorNear(readPixel(5, 5), 0xFF402010, 2));
    // Colour (255, 128, 64) at alpha 0x80 x 0x80 / 255 = 64 over black.
    EXPECT_TRUE(colorNear(readPixel(15, 5), 0xFF402010, 2));
    EXPECT_EQ(readPixel(25, 5), 0xFF123456u);
    // (0x20, 0x40, 0x60) + (0x00, 0x7F, 0xBF), saturated.
    EXPECT_TRUE(colorNear(readPixel(35, 5), 0xFF20BFFF));
    EXPECT_EQ(device->SetTexture(0, nullptr), D3D_OK);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(DeviceTest, SecondStageModulatesTheFirst) {
    IDirect3DTexture8* first = makeTexture(1, 1, {0xFFFF8000});
    IDirect3DTexture8* second = makeTexture(1, 1, {0xFF808080});
    device->SetTexture(0, first);
    device->SetTexture(1, second);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    drawTexturedQuad(0, 0, 4, 4, 0, 0, 1, 1);
    // Stage 1 without its texture stops the cascade there: stage 0's result shows.
    device->SetTexture(1, nullptr);
    drawTexturedQuad(4, 0, 8, 4, 0, 0, 1, 1);
    device->EndScene();
    EXPECT_TRUE(colorNear(readPixel(1, 1), 0xFF804000));
    EXPECT_EQ(readPixel(5, 1), 0xFFFF8000u);
    dropTexture(first);
    second->Release();
}

TEST_F(DeviceTest, LinearFilteringSamplesTexelCornersAndWrapAddressing) {
    // Two texels, black and white, drawn over four pixels: pixel i samples u = i / 4.
    IDirect3DTexture8* texture = makeTexture(2, 1, {0xFF000000, 0xFFFFFFFF});
    device->SetTexture(0, texture);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    drawTexturedQuad(0, 0, 4, 1, 0, 0, 1, 1); // point sampling (the default)
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    drawTexturedQuad(0, 1, 4, 2, 0, 0, 1, 1);
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    drawTexturedQuad(0, 2, 4, 3, 0, 0, 1, 1);
    // Wrap repeats the texture: u from 0 to 2 over four pixels, point sampled.
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    drawTexturedQuad(0, 3, 4, 4, 0, 0, 2, 1);
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    drawTexturedQuad(0, 4, 4, 5, 0, 0, 2, 1);
    device->EndScene();
    std::vector<uint32_t> p = readTarget();
    auto grey = [](int v) { return 0xFF000000u | v << 16 | v << 8 | v; };
    // Point: u = 0, 0.25 -> texel 0; 0.5, 0.75 -> texel 1.
    EXPECT_EQ(p[0], grey(0));
    EXPECT_EQ(p[1], grey(0));
    EXPECT_EQ(p[2], grey(255));
    EXPECT_EQ(p[3], grey(255));
    // Linear with wrap: texel positions -0.5, 0, 0.5, 1 (the first wraps to the white texel).
    // The pixel-centre shift is 1/128 of a pixel short of a half, so an exact texel centre
    // may pick up one step of its neighbour.
    EXPECT_TRUE(colorNear(p[800 + 0], grey(128)));
    EXPECT_TRUE(colorNear(p[800 + 1], grey(0)));
    EXPECT_TRUE(colorNear(p[800 + 2], grey(128)));
    EXPECT_TRUE(colorNear(p[800 + 3], grey(255)));
    // Linear with clamp: the first pixel sees only the black edge texel.
    EXPECT_EQ(p[1600 + 0], grey(0));
    EXPECT_TRUE(colorNear(p[1600 + 2], grey(128)));
    // Wrap: u = 0, 0.5, 1, 1.5 -> black, white, black, white; clamp keeps white past 1.
    EXPECT_EQ(p[2400 + 0], grey(0));
    EXPECT_EQ(p[2400 + 1], grey(255));
    EXPECT_EQ(p[2400 + 2], grey(0));
    EXPECT_EQ(p[2400 + 3], grey(255));
    EXPECT_EQ(p[3200 + 2], grey(255));
    EXPECT_EQ(p[3200 + 3], grey(255));
    dropTexture(texture);
}

TEST_F(DeviceTest, MipFilterNoneSamplesLevelZeroOnly) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 3u);
    // Level 0 white, the smaller levels red.
    for (UINT level = 0; level < 3; ++level) {
        D3DSURFACE_DESC desc{};
        ASSERT_EQ(texture->GetLevelDesc(level, &desc), D3D_OK);
        EXPECT_EQ(desc.Width, 4u >> level);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < desc.Height; ++y) {
            auto* row =
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < desc.Width; ++x) {
                row[x] = level == 0 ? 0x00FFFFFF : 0x00FF0000;
            }
        }
        ASSERT_EQ(texture->UnlockRect(level), D3D_OK);
    }
    device->SetTexture(0, texture);
    device->BeginScene();
    drawTexturedQuad(0, 0, 1, 1, 0, 0, 1, 1); // minified 4:1
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
    drawTexturedQuad(1, 0, 2, 1, 0, 0, 1, 1);
    device->EndScene();
    EXPECT_EQ(readPixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(readPixel(1, 0), 0xFFFF0000u);
    dropTexture(texture);
}

TEST_F(DeviceTest, TextureFormatsAreConvertedAtUpload) {
    struct Case {
        D3DFORMAT format;
        std::vector<uint8_t> texel;
        uint32_t expected;
    };
    const Case cases[] = {
        {D3DFMT_A8R8G8B8, {0x40, 0x80, 0xC0, 0xFF}, 0xFFC08040},
        {D3DFMT_X8R8G8B8, {0x40, 0x80, 0xC0, 0x00}, 0xFFC08040}, // alpha reads 1
        {D3DFMT_R5G6B5, {0x00, 0xF8}, 0xFFFF0000},
        {D3DFMT_X1R5G5B5, {0xE0, 0x03}, 0xFF00FF00},
        {D3DFMT_A1R5G5B5, {0x1F, 0x80}, 0xFF0000FF},
        {D3DFMT_A4R4G4B4, {0x48, 0xFC}, 0xFFCC4488},
        {D3DFMT_X4R4G4B4, {0x00, 0x0F}, 0xFFFF0000},
        {D3DFMT_R3G3B2, {0xE0}, 0xFFFF0000},
        {D3DFMT_A8R3G3B2, {0x03, 0xFF}, 0xFF0000FF},
        {D3DFMT_L8, {0x80}, 0xFF808080},
        {D3DFMT_A8L8, {0x40, 0xFF}, 0xFF404040},
        {D3DFMT_A8, {0xFF}, 0xFF000000},
    };
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    int x = 0;
    std::vector<IDirect3DTexture8*> textures;
    for (const Case& c : cases) {
        IDirect3DTexture8* texture = nullptr;
        ASSERT_EQ(device->CreateTexture(1, 1, 1, 0, c.format, D3DPOOL_MANAGED, &texture), D3D_OK)
            << c.format;
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        std::memcpy(locked.pBits, c.texel.data(), c.texel.size());
        ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
        device->SetTexture(0, texture);
        drawTexturedQuad(static_cast<float>(x), 0, static_cast<float>(x + 1), 1, 0, 0, 1, 1);
        textures.push_back(texture);
        ++x;
    }
    device->EndScene();
    std::vector<uint32_t> p = readTarget();
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_TRUE(colorNear(p[i], cases[i].expected)) << "format " << cases[i].format;
    }
    device->SetTexture(0, nullptr);
    for (auto* t : textures) {
        t->Release();
    }
}

TEST_F(DeviceTest, RenderTargetTextureIsDrawnUpright) {
    IDirect3DTexture8* target = nullptr;
    IDirect3DSurface8* surface = nullptr;
    ASSERT_NO_FATAL_FAILURE(makeTargetTexture(64, 64, &target, &surface));
    IDirect3DSurface8* backBuffer = nullptr;
    IDirect3DSurface8* depth = nullptr;
    ASSERT_EQ(device->GetRenderTarget(&backBuffer), D3D_OK);
    ASSERT_EQ(device->GetDepthStencilSurface(&depth), D3D_OK);

    ASSERT_EQ(device->SetRenderTarget(surface, nullptr), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0); // green below
    device->BeginScene();
    drawQuad(0, 0, 64, 32, 0xFFFF0000); // red on top
    device->EndScene();
    ASSERT_EQ(device->SetRenderTarget(backBuffer, depth), D3D_OK);

    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetTexture(0, target);
    device->BeginScene();
    drawTexturedQuad(100, 100, 164, 164, 0, 0, 1, 1);
    device->EndScene();
    EXPECT_EQ(readPixel(110, 110), 0xFFFF0000u);
    EXPECT_EQ(readPixel(110, 131), 0xFFFF0000u);
    EXPECT_EQ(readPixel(110, 132), 0xFF00FF00u);
    EXPECT_EQ(readPixel(110, 160), 0xFF00FF00u);

    device->SetTexture(0, nullptr);
    surface->Release();
    backBuffer->Release();
    depth->Release();
    EXPECT_EQ(target->Release(), 0u);
}

TEST_F(DeviceTest, UpdateTextureCopiesSystemMemoryToTheDefaultPool) {
    IDirect3DTexture8* source = nullptr;
    IDirect3DTexture8* destination = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &source),
              D3D_OK);
    ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &destination),
              D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(source->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 2; ++y) {
        auto* row =
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        row[0] = row[1] = 0xFF0000FF;
    }
    source->UnlockRect(0);
    ASSERT_EQ(device->UpdateTexture(source, destination), D3D_OK);
    // The other direction is not what the call does.
    EXPECT_EQ(device->UpdateTexture(destination, source), D3DERR_INVALIDCALL);
    device->SetTexture(0, destination);
    device->BeginScene();
    drawTexturedQuad(0, 0, 2, 2, 0, 0, 1, 1);
    device->EndScene();
    EXPECT_EQ(readPixel(1, 1), 0xFF0000FFu);
    dropTexture(source);
    destination->Release();
}
