// Reference counts, buffers, render-target switching, presentation and refused calls.
#include "DeviceFixture.h"

#include "GlCheck.h"
#include "PlatformOptions.h"
#include "ShaderCache.h"

#include <cstring>

TEST_F(DeviceTest, ReferenceCountsFollowThePublishedRules) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    EXPECT_EQ(texture->AddRef(), 2u);
    EXPECT_EQ(texture->Release(), 1u);
    // A level's references are its texture's.
    IDirect3DSurface8* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    EXPECT_EQ(texture->AddRef(), 3u);
    EXPECT_EQ(texture->Release(), 2u);
    EXPECT_EQ(level->Release(), 1u);
    // The device holds what is bound to it.
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    EXPECT_EQ(texture->AddRef(), 3u);
    texture->Release();
    ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK);
    EXPECT_EQ(texture->AddRef(), 2u);
    texture->Release();
    // Getters add a reference to what they return; the back buffer's are the device's.
    EXPECT_EQ(device->AddRef(), 2u);
    device->Release();
    IDirect3DSurface8* target = nullptr;
    ASSERT_EQ(device->GetRenderTarget(&target), D3D_OK);
    EXPECT_EQ(device->AddRef(), 3u);
    device->Release();
    EXPECT_EQ(target->Release(), 1u);
    IDirect3D8* parent = nullptr;
    ASSERT_EQ(device->GetDirect3D(&parent), D3D_OK);
    EXPECT_EQ(parent, direct3d);
    parent->Release();
    // A resource outlives a released device: the device stays until the last one goes.
    IDirect3DVertexBuffer8* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, 0, COLOR_FVF, D3DPOOL_MANAGED, &buffer), D3D_OK);
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(device->Release(), 0u);
    device = nullptr;
    BYTE* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    EXPECT_EQ(buffer->Release(), 0u);
}

TEST_F(DeviceTest, VertexAndIndexBuffersDraw) {
    IDirect3DVertexBuffer8* vertices = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(8 * sizeof(ColorVertex), D3DUSAGE_WRITEONLY, COLOR_FVF,
                                         D3DPOOL_MANAGED, &vertices),
              D3D_OK);
    BYTE* data = nullptr;
    ASSERT_EQ(vertices->Lock(0, 0, &data, 0), D3D_OK);
    ColorVertex quads[8] = {{0, 0, 0, 1, 0xFFFF0000},  {4, 0, 0, 1, 0xFFFF0000},
                            {4, 4, 0, 1, 0xFFFF0000},  {0, 4, 0, 1, 0xFFFF0000},
                            {10, 0, 0, 1, 0xFF00FF00}, {14, 0, 0, 1, 0xFF00FF00},
                            {14, 4, 0, 1, 0xFF00FF00}, {10, 4, 0, 1, 0xFF00FF00}};
    std::memcpy(data, quads, sizeof(quads));
    ASSERT_EQ(vertices->Unlock(), D3D_OK);
    IDirect3DIndexBuffer8* indices = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(6 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices),
              D3D_OK);
    ASSERT_EQ(indices->Lock(0, 0, &data, 0), D3D_OK);
    const uint16_t list[6] = {0, 1, 2, 0, 2, 3};
    std::memcpy(data, list, sizeof(list));
    ASSERT_EQ(indices->Unlock(), D3D_OK);

    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device->SetVertexShader(COLOR_FVF), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, vertices, sizeof(ColorVertex)), D3D_OK);
    device->BeginScene();
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3D_OK);
    // The same indices on the second quad through the base vertex.
    ASSERT_EQ(device->SetIndices(indices, 4), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
    // Past the end of either buffer: refused, nothing drawn.
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 6, 2), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->SetIndices(indices, 5), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 3, 2), D3DERR_INVALIDCALL);
    device->EndScene();
    EXPECT_EQ(readPixel(2, 2), 0xFFFF0000u);
    EXPECT_EQ(readPixel(12, 2), 0xFF00FF00u);

    // A dynamic buffer locked with DISCARD keeps working draw after draw.
    IDirect3DVertexBuffer8* dynamic = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * sizeof(ColorVertex),
                                         D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, COLOR_FVF,
                                         D3DPOOL_DEFAULT, &dynamic),
              D3D_OK);
    device->SetStreamSource(0, dynamic, sizeof(ColorVertex));
    device->BeginScene();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(dynamic->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
        ColorVertex quad[4];
        std::memcpy(quad, quads, sizeof(quad));
        for (auto& v : quad) {
            v.x += 20.0f + 10.0f * i;
            v.color = 0xFF0000FF;
        }
        std::memcpy(data, quad, sizeof(quad));
        ASSERT_EQ(dynamic->Unlock(), D3D_OK);
        ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3D_OK);
    }
    device->EndScene();
    EXPECT_EQ(readPixel(22, 2), 0xFF0000FFu);
    EXPECT_EQ(readPixel(32, 2), 0xFF0000FFu);
    EXPECT_EQ(readPixel(42, 2), 0xFF0000FFu);

    device->SetStreamSource(0, nullptr, 0);
    device->SetIndices(nullptr, 0);
    EXPECT_EQ(vertices->Release(), 0u);
    EXPECT_EQ(indices->Release(), 0u);
    EXPECT_EQ(dynamic->Release(), 0u);
}

TEST_F(DeviceTest, SetRenderTargetResetsTheViewportEveryTime) {
    D3DVIEWPORT8 small{10, 10, 100, 100, 0.25f, 0.5f};
    ASSERT_EQ(device->SetViewport(&small), D3D_OK);
    IDirect3DSurface8* target = nullptr;
    IDirect3DSurface8* depth = nullptr;
    device->GetRenderTarget(&target);
    device->GetDepthStencilSurface(&depth);
    ASSERT_EQ(device->SetRenderTarget(target, depth), D3D_OK);
    D3DVIEWPORT8 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.X, 0u);
    EXPECT_EQ(viewport.Y, 0u);
    EXPECT_EQ(viewport.Width, 800u);
    EXPECT_EQ(viewport.Height, 600u);
    EXPECT_EQ(viewport.MinZ, 0.0f);
    EXPECT_EQ(viewport.MaxZ, 1.0f);

    IDirect3DTexture8* texture = nullptr;
    IDirect3DSurface8* level = nullptr;
    ASSERT_NO_FATAL_FAILURE(makeTargetTexture(128, 64, &texture, &level));
    ASSERT_EQ(device->SetRenderTarget(level, nullptr), D3D_OK);
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 128u);
    EXPECT_EQ(viewport.Height, 64u);
    // A null depth surface unbinds depth: clearing it is refused.
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    // A depth surface smaller than the target is refused.
    IDirect3DSurface8* smallDepth = nullptr;
    ASSERT_EQ(
        device->CreateDepthStencilSurface(64, 64, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, &smallDepth),
        D3D_OK);
    EXPECT_EQ(device->SetRenderTarget(level, smallDepth), D3DERR_INVALIDCALL);
    // A null colour target keeps the current one.
    ASSERT_EQ(device->SetRenderTarget(nullptr, depth), D3D_OK);
    IDirect3DSurface8* current = nullptr;
    device->GetRenderTarget(&current);
    EXPECT_EQ(current, level);
    current->Release();
    ASSERT_EQ(device->SetRenderTarget(target, depth), D3D_OK);
    level->Release();
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(smallDepth->Release(), 0u);
    target->Release();
    depth->Release();
}

TEST_F(DeviceTest, FlipPresentSwapsTheBuffers) {
    IDirect3DSurface8* front = nullptr;
    ASSERT_EQ(device->CreateImageSurface(800, 600, D3DFMT_A8R8G8B8, &front), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    // The back buffer now holds the frame presented before the last one.
    EXPECT_EQ(readPixel(400, 300), 0xFFFF0000u);
    ASSERT_EQ(device->GetFrontBuffer(front), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(front->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    uint32_t value;
    std::memcpy(&value, static_cast<uint8_t*>(locked.pBits) + 300 * locked.Pitch + 400 * 4, 4);
    EXPECT_EQ(value, 0xFF00FF00u);
    front->UnlockRect();
    front->Release();
    // Present inside a scene is refused.
    device->BeginScene();
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    device->EndScene();
}

TEST_F(DeviceTest, HeadlessPresentStillShowsTheFrameInTheFrontBuffer) {
    // Without a display the window copy is skipped; the front buffer must still swap.
    PlatformOptions::get().headless = true;
    IDirect3DSurface8* front = nullptr;
    ASSERT_EQ(device->CreateImageSurface(800, 600, D3DFMT_A8R8G8B8, &front), D3D_OK);
    for (D3DCOLOR color : {0xFF0000FFu, 0xFFFFFF00u}) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.0f, 0);
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        ASSERT_EQ(device->GetFrontBuffer(front), D3D_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(front->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        uint32_t value;
        std::memcpy(&value, static_cast<uint8_t*>(locked.pBits) + 300 * locked.Pitch + 400 * 4, 4);
        EXPECT_EQ(value, color);
        front->UnlockRect();
    }
    front->Release();
    PlatformOptions::get().headless = false;
}

TEST_F(DeviceTest, ResetToFullScreenKeepsWorkingAndRestoresDefaults) {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    D3DPRESENT_PARAMETERS full = params;
    full.Windowed = FALSE;
    full.BackBufferCount = 1;
    full.BackBufferFormat = D3DFMT_X8R8G8B8;
    ASSERT_EQ(device->Reset(&full), D3D_OK);
    DWORD value = 0;
    device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_CCW));
    device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DZB_TRUE));
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    drawQuad(0, 0, 10, 10, 0xFFFFFFFF);
    device->EndScene();
    EXPECT_EQ(readPixel(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    D3DPRESENT_PARAMETERS bad = full;
    bad.SwapEffect = static_cast<D3DSWAPEFFECT>(9);
    EXPECT_EQ(device->Reset(&bad), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Reset(nullptr), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, DefaultStatesAreDirect3DEights) {
    struct Expected {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    const Expected states[] = {
        {D3DRS_ZENABLE, D3DZB_TRUE},
        {D3DRS_FILLMODE, D3DFILL_SOLID},
        {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_STENCILMASK, 0xFFFFFFFF},
        {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
        {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
        {D3DRS_COLORVERTEX, TRUE},
        {D3DRS_LOCALVIEWER, TRUE},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
        {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
        {D3DRS_POINTSIZE, 0x3F800000},
        {D3DRS_POINTSIZE_MIN, 0},
        {D3DRS_POINTSCALE_A, 0x3F800000},
        {D3DRS_COLORWRITEENABLE, 0xF},
        {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    };
    for (const Expected& e : states) {
        DWORD value = 0;
        ASSERT_EQ(device->GetRenderState(e.state, &value), D3D_OK);
        EXPECT_EQ(value, e.value) << "state " << e.state;
    }
    DWORD value = 0;
    device->GetTextureStageState(0, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_MODULATE));
    device->GetTextureStageState(1, D3DTSS_ALPHAOP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_DISABLE));
    device->GetTextureStageState(3, D3DTSS_TEXCOORDINDEX, &value);
    EXPECT_EQ(value, 3u);
    device->GetTextureStageState(0, D3DTSS_MINFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_POINT));
}

TEST_F(DeviceTest, BadInputIsRefusedWithoutCrashOrGlError) {
    uint32_t errorsBefore = glErrorTotal();
    EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(1000), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderState(D3DRS_CULLMODE, 7), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderState(D3DRS_SRCBLEND, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_MODULATE), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, 99), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetRenderState(D3DRS_ZENABLE, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTransform(D3DTS_WORLD, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetViewport(nullptr), D3DERR_INVALIDCALL);
    D3DVIEWPORT8 outside{700, 0, 200, 100, 0.0f, 1.0f};
    EXPECT_EQ(device->SetViewport(&outside), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(0, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr),
              D3DERR_INVALIDCALL);
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(device->CreateVertexBuffer(0, 0, COLOR_FVF, D3DPOOL_MANAGED, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, nullptr, 0x80, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    // A second lock of a locked resource, an unlock of an unlocked one.
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    RECT outsideRect{0, 0, 5, 4};
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->LockRect(0, &locked, &outsideRect, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    IDirect3DVertexBuffer8* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &buffer), D3D_OK);
    BYTE* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 65, &data, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(buffer->Lock(0, 0, &data, 0), D3DERR_INVALIDCALL);
    buffer->Unlock();
    // Draws outside a scene, with no format, with null data or without a stream.
    ColorVertex quad[4] = {};
    device->SetVertexShader(COLOR_FVF);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ColorVertex)),
              D3DERR_INVALIDCALL);
    device->BeginScene();
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, nullptr, sizeof(ColorVertex)),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(
        device->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(9), 2, quad, sizeof(ColorVertex)),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, 4), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 1), D3DERR_INVALIDCALL);
    const uint16_t indices[3] = {0, 1, 7};
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 1, indices, D3DFMT_INDEX16,
                                             quad, sizeof(ColorVertex)),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetVertexShader(0), D3DERR_INVALIDCALL);
    device->EndScene();
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTexture(8, texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CopyRects(nullptr, nullptr, 0, nullptr, nullptr), D3DERR_INVALIDCALL);
    IDirect3DSurface8* image = nullptr;
    ASSERT_EQ(device->CreateImageSurface(4, 4, D3DFMT_A8R8G8B8, &image), D3D_OK);
    EXPECT_EQ(device->GetFrontBuffer(image), D3DERR_INVALIDCALL); // smaller than the screen
    RECT tooBig{0, 0, 8, 8};
    IDirect3DSurface8* level = nullptr;
    texture->GetSurfaceLevel(0, &level);
    EXPECT_EQ(device->CopyRects(image, &tooBig, 1, level, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CopyRects(image, nullptr, 0, level, nullptr), D3D_OK);
    level->Release();
    image->Release();
    buffer->Release();
    texture->Release();
    EXPECT_EQ(glErrorTotal(), errorsBefore);
}

TEST_F(DeviceTest, AWarmFrameCompilesNoShader) {
    IDirect3DTexture8* texture = makeTexture(1, 1, {0xFFFFFFFF});
    auto frame = [&] {
        device->BeginScene();
        drawQuad(0, 0, 10, 10, 0xFFFF0000);
        device->SetTexture(0, texture);
        drawTexturedQuad(0, 0, 10, 10, 0, 0, 1, 1);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        drawTexturedQuad(0, 0, 10, 10, 0, 0, 1, 1);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        device->SetTexture(0, nullptr);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    };
    frame();
    uint64_t warm = ShaderCache::totalCompiles();
    EXPECT_GT(warm, 0u);
    frame();
    frame();
    EXPECT_EQ(ShaderCache::totalCompiles(), warm);
    texture->Release();
}

TEST_F(DeviceTest, ResourcesMayBeReleasedAfterTheDeviceAndItsWindow) {
    HWND window = CreateWindowExA(0, "d3d8test", "", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    D3DPRESENT_PARAMETERS small = params;
    small.BackBufferWidth = 320;
    small.BackBufferHeight = 240;
    IDirect3DDevice8* second = nullptr;
    ASSERT_EQ(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, window,
                                     D3DCREATE_SOFTWARE_VERTEXPROCESSING, &small, &second),
              D3D_OK);
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(second->CreateTexture(16, 16, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    ASSERT_EQ(second->SetTexture(0, texture), D3D_OK);
    EXPECT_EQ(second->Release(), 0u);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(texture->Release(), 0u);
    // The first device goes on drawing.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    EXPECT_EQ(readPixel(1, 1), 0xFF00FF00u);
}

TEST_F(DeviceTest, CopyRectsCopiesEachRectangleToItsPointInTheSameFormat) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    D3DRECT red{0, 0, 2, 2};
    D3DRECT green{10, 10, 12, 12};
    device->Clear(1, &red, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    device->Clear(1, &green, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    IDirect3DSurface8* target = nullptr;
    device->GetRenderTarget(&target);
    IDirect3DSurface8* image = nullptr;
    ASSERT_EQ(device->CreateImageSurface(4, 2, D3DFMT_A8R8G8B8, &image), D3D_OK);
    RECT rects[2] = {{0, 0, 2, 2}, {10, 10, 12, 12}};
    POINT points[2] = {{2, 0}, {0, 0}};
    ASSERT_EQ(device->CopyRects(target, rects, 2, image, points), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(image->LockRect(&locked, nullptr, 0), D3D_OK);
    const auto* row = static_cast<const uint32_t*>(locked.pBits);
    EXPECT_EQ(row[0], 0xFF00FF00u);
    EXPECT_EQ(row[1], 0xFF00FF00u);
    EXPECT_EQ(row[2], 0xFFFF0000u);
    EXPECT_EQ(row[3], 0xFFFF0000u);
    image->UnlockRect();
    // Copies do not convert: another format, or a depth surface, is refused.
    IDirect3DSurface8* other = nullptr;
    ASSERT_EQ(device->CreateImageSurface(4, 2, D3DFMT_R5G6B5, &other), D3D_OK);
    EXPECT_EQ(device->CopyRects(target, rects, 1, other, nullptr), D3DERR_INVALIDCALL);
    IDirect3DSurface8* depth = nullptr;
    device->GetDepthStencilSurface(&depth);
    EXPECT_EQ(device->CopyRects(depth, nullptr, 0, image, nullptr), D3DERR_INVALIDCALL);
    depth->Release();
    other->Release();
    image->Release();
    target->Release();
}

TEST_F(DeviceTest, ClearTakesSeveralRectanglesAndLockedRectsUploadTheirPart) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    D3DRECT rects[2] = {{0, 0, 2, 2}, {5, 5, 6, 6}};
    ASSERT_EQ(device->Clear(2, rects, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
    std::vector<uint32_t> p = readTarget();
    int white = 0;
    for (uint32_t v : p) {
        white += v == 0xFFFFFFFFu ? 1 : 0;
    }
    EXPECT_EQ(white, 5);
    EXPECT_EQ(p[5 * 800 + 5], 0xFFFFFFFFu);

    // A lock of one texel changes that texel only.
    IDirect3DTexture8* texture = makeTexture(2, 1, {0xFF0000FF, 0xFF0000FF});
    RECT one{1, 0, 2, 1};
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, &one, 0), D3D_OK);
    *static_cast<uint32_t*>(locked.pBits) = 0xFFFF0000;
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    device->SetTexture(0, texture);
    device->BeginScene();
    drawTexturedQuad(0, 10, 2, 11, 0, 0, 1, 1);
    device->EndScene();
    EXPECT_EQ(readPixel(0, 10), 0xFF0000FFu);
    EXPECT_EQ(readPixel(1, 10), 0xFFFF0000u);
    dropTexture(texture);
}

TEST_F(DeviceTest, CopySwapEffectKeepsTheBackBuffer) {
    D3DPRESENT_PARAMETERS copy = params;
    copy.SwapEffect = D3DSWAPEFFECT_COPY;
    ASSERT_EQ(device->Reset(&copy), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(readPixel(10, 10), 0xFF0000FFu);
    IDirect3DSurface8* front = nullptr;
    ASSERT_EQ(device->CreateImageSurface(800, 600, D3DFMT_A8R8G8B8, &front), D3D_OK);
    ASSERT_EQ(device->GetFrontBuffer(front), D3D_OK);
    D3DLOCKED_RECT locked{};
    front->LockRect(&locked, nullptr, 0);
    EXPECT_EQ(*static_cast<uint32_t*>(locked.pBits), 0xFF0000FFu);
    front->UnlockRect();
    front->Release();
}
