// The call trace of a short sequence, read back line by line.
#include "DeviceFixture.h"
#include "TraceLines.h"

#include "PlatformOptions.h"
#include "TestDevice.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

// A traced Direct3D object writing to path and an 800 x 600 device made through it.
void openTraced(const std::string& path, bool depth, IDirect3D8** direct3d,
                IDirect3DDevice8** device) {
    PlatformOptions::get().tracePath = path;
    *direct3d = Direct3DCreate8(D3D_SDK_VERSION);
    PlatformOptions::get().tracePath.clear();
    ASSERT_NE(*direct3d, nullptr);
    ASSERT_EQ(createTestDevice(*direct3d, testWindow(),
                               windowedParameters(800, 600, depth, D3DSWAPEFFECT_FLIP), device,
                               D3DCREATE_SOFTWARE_VERTEXPROCESSING),
              D3D_OK);
}

} // namespace

TEST(TraceTest, WritesEveryCallWithItsFrameArgumentsAndFailures) {
    const std::string path = ::testing::TempDir() + "d3d8-trace-test.txt";
    IDirect3D8* direct3d = nullptr;
    IDirect3DDevice8* device = nullptr;
    ASSERT_NO_FATAL_FAILURE(openTraced(path, true, &direct3d, &device));
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_POINTSIZE, 0x3FC00000); // 1.5f
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    D3DMATRIX scale{};
    scale._11 = 0.1f;
    scale._22 = 2.0f;
    scale._33 = 1.0f / 3.0f;
    scale._44 = 1.0f;
    device->SetTransform(D3DTS_WORLD, &scale);
    device->BeginScene();
    device->SetVertexShader(COLOR_FVF);
    ColorVertex quad[4] = {{0, 0, 0.5f, 1, 0xFF00FF00},
                           {10, 0, 0.5f, 1, 0xFF00FF00},
                           {10, 10, 0.5f, 1, 0xFF00FF00},
                           {0, 10, 0.5f, 1, 0xFF00FF00}};
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ColorVertex));
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    device->SetRenderState(D3DRS_CULLMODE, 42); // refused
    IDirect3DTexture8* texture = nullptr;
    device->CreateTexture(16, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, D3DLOCK_NOSYSLOCK);
    texture->UnlockRect(0);
    device->SetTexture(0, texture);
    device->SetTexture(0, nullptr);
    // The device is handed the real texture, the program keeps the traced one.
    IDirect3DBaseTexture8* bound = nullptr;
    device->SetTexture(1, texture);
    device->GetTexture(1, &bound);
    EXPECT_EQ(bound, texture);
    bound->Release();
    device->SetTexture(1, nullptr);
    texture->Release();
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(direct3d->Release(), 0u);

    std::vector<std::string> lines = readLines(path);
    const std::vector<std::string> expected = {
        "0 Direct3DCreate8(this = NULL, SDKVersion = 220) = 0",
        "0 IDirect3D8::CreateDevice(this = direct3d1, Adapter = 0, DeviceType = "
        "D3DDEVTYPE_HAL, hFocusWindow = ",
        "0 IDirect3DDevice8::SetRenderState(this = device1, State = D3DRS_CULLMODE, Value = "
        "D3DCULL_NONE)",
        "0 IDirect3DDevice8::SetRenderState(this = device1, State = D3DRS_POINTSIZE, Value = 1.5)",
        "0 IDirect3DDevice8::SetTextureStageState(this = device1, Stage = 0, Type = "
        "D3DTSS_COLORARG1, Value = D3DTA_TEXTURE | D3DTA_COMPLEMENT)",
        "0 IDirect3DDevice8::Clear(this = device1, Count = 0, pRects = NULL, Flags = "
        "D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, Color = 0xff000000, Z = 1, Stencil = 0)",
        "0 IDirect3DDevice8::SetTransform(this = device1, State = D3DTS_WORLD, pMatrix = "
        "{{0.100000001, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 0.333333343, 0}, {0, 0, 0, 1}})",
        "0 IDirect3DDevice8::BeginScene(this = device1)",
        "0 IDirect3DDevice8::SetVertexShader(this = device1, Handle = D3DFVF_XYZRHW | "
        "D3DFVF_DIFFUSE | D3DFVF_TEX0)",
        "0 IDirect3DDevice8::DrawPrimitiveUP(this = device1, PrimitiveType = D3DPT_TRIANGLEFAN, "
        "PrimitiveCount = 2, pVertexStreamZeroData = [{0, 0, 0.5, 1, 0xff00ff00}, {10, 0, 0.5, 1, "
        "0xff00ff00}, {10, 10, 0.5, 1, 0xff00ff00}, {0, 10, 0.5, 1, 0xff00ff00}], "
        "VertexStreamZeroStride = 20)",
        "0 IDirect3DDevice8::EndScene(this = device1)",
        "0 IDirect3DDevice8::Present(this = device1, pSourceRect = NULL, pDestRect = NULL, "
        "hDestWindowOverride = NULL, pDirtyRegion = NULL)",
        "1 IDirect3DDevice8::SetRenderState(this = device1, State = D3DRS_CULLMODE, Value = 42) = "
        "D3DERR_INVALIDCALL",
        "1 IDirect3DDevice8::CreateTexture(this = device1, Width = 16, Height = 8, Levels = 1, "
        "Usage = 0, Format = D3DFMT_A8R8G8B8, Pool = D3DPOOL_MANAGED, ppTexture = &texture1)",
        "1 IDirect3DTexture8::LockRect(this = texture1, Level = 0, pLockedRect = {Pitch = 64, "
        "pBits = &bits}, pRect = NULL, Flags = D3DLOCK_NOSYSLOCK)",
        "1 IDirect3DTexture8::UnlockRect(this = texture1, Level = 0)",
        "1 IDirect3DDevice8::SetTexture(this = device1, Stage = 0, pTexture = texture1)",
        "1 IDirect3DDevice8::SetTexture(this = device1, Stage = 0, pTexture = NULL)",
        "1 IDirect3DDevice8::SetTexture(this = device1, Stage = 1, pTexture = texture1)",
        "1 IDirect3DDevice8::GetTexture(this = device1, Stage = 1, ppTexture = &texture1)",
        "1 IDirect3DTexture8::Release(this = texture1) = 1",
        "1 IDirect3DDevice8::SetTexture(this = device1, Stage = 1, pTexture = NULL)",
        "1 IDirect3DTexture8::Release(this = texture1) = 0",
        "1 IDirect3DDevice8::Release(this = device1) = 0",
        "1 IDirect3D8::Release(this = direct3d1) = 0",
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines[i].compare(0, expected[i].size(), expected[i]), 0)
            << "line " << i << ":\n  " << lines[i] << "\nexpected:\n  " << expected[i];
    }
    // The floats read back to the very values written.
    float third = 0.0f;
    ASSERT_EQ(std::sscanf("0.333333343", "%f", &third), 1);
    EXPECT_EQ(third, 1.0f / 3.0f);
    std::remove(path.c_str());
}

TEST(TraceTest, BuffersAndSurfacesWriteTheCallsTheyShareUnderTheirOwnNames) {
    const std::string path = ::testing::TempDir() + "d3d8-trace-resources.txt";
    IDirect3D8* direct3d = nullptr;
    IDirect3DDevice8* device = nullptr;
    ASSERT_NO_FATAL_FAILURE(openTraced(path, false, &direct3d, &device));
    IDirect3DVertexBuffer8* vertices = nullptr;
    IDirect3DIndexBuffer8* indices = nullptr;
    IDirect3DSurface8* surface = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &vertices), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices), D3D_OK);
    ASSERT_EQ(device->CreateImageSurface(4, 4, D3DFMT_A8R8G8B8, &surface), D3D_OK);
    BYTE* bits = nullptr;
    EXPECT_EQ(vertices->Lock(0, 16, &bits, 0), D3D_OK);
    EXPECT_EQ(vertices->Unlock(), D3D_OK);
    EXPECT_EQ(vertices->GetType(), D3DRTYPE_VERTEXBUFFER);
    EXPECT_EQ(indices->GetType(), D3DRTYPE_INDEXBUFFER);
    indices->SetPriority(3);
    D3DINDEXBUFFER_DESC indexDesc{};
    EXPECT_EQ(indices->GetDesc(&indexDesc), D3D_OK);
    EXPECT_EQ(indexDesc.Size, 12u);
    const GUID key = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    const DWORD value = 7;
    surface->SetPrivateData(key, &value, sizeof(value), 0);
    surface->FreePrivateData(key);
    EXPECT_EQ(indices->Unlock(), D3DERR_INVALIDCALL); // never locked
    surface->Release();
    indices->Release();
    vertices->Release();
    device->Release();
    direct3d->Release();

    const std::vector<std::string> lines = readLines(path);
    const std::vector<std::string> expected = {
        "0 IDirect3DVertexBuffer8::Lock(this = vertexbuffer1, OffsetToLock = 0, SizeToLock = 16, "
        "ppbData = &bits, Flags = 0)",
        "0 IDirect3DVertexBuffer8::Unlock(this = vertexbuffer1)",
        "0 IDirect3DVertexBuffer8::GetType(this = vertexbuffer1) = 6",
        "0 IDirect3DIndexBuffer8::GetType(this = indexbuffer1) = 7",
        "0 IDirect3DIndexBuffer8::SetPriority(this = indexbuffer1, PriorityNew = 3) = 0",
        "0 IDirect3DIndexBuffer8::GetDesc(this = indexbuffer1, pDesc = ",
        "0 IDirect3DSurface8::SetPrivateData(this = surface1, refguid = {iid}, pData = ",
        "0 IDirect3DSurface8::FreePrivateData(this = surface1, refguid = {iid})",
        "0 IDirect3DIndexBuffer8::Unlock(this = indexbuffer1) = D3DERR_INVALIDCALL",
        "0 IDirect3DSurface8::Release(this = surface1) = 0",
        "0 IDirect3DIndexBuffer8::Release(this = indexbuffer1) = 0",
        "0 IDirect3DVertexBuffer8::Release(this = vertexbuffer1) = 0",
    };
    // The calls above come in this order after the creation lines.
    size_t at = 0;
    for (const std::string& want : expected) {
        while (at < lines.size() && lines[at].compare(0, want.size(), want) != 0) {
            ++at;
        }
        ASSERT_LT(at, lines.size()) << "missing or out of order: " << want;
        ++at;
    }
    std::remove(path.c_str());
}

// What the program writes into a buffer reaches the trace at Unlock: vertices decoded by the
// buffer's format, indices as numbers, only the locked range, and nothing for a lock that
// only reads.
TEST(TraceTest, UnlockWritesWhatWasWrittenUnderTheLock) {
    const std::string path = ::testing::TempDir() + "d3d8-trace-unlock.txt";
    IDirect3D8* direct3d = nullptr;
    IDirect3DDevice8* device = nullptr;
    ASSERT_NO_FATAL_FAILURE(openTraced(path, false, &direct3d, &device));
    IDirect3DVertexBuffer8* vertices = nullptr;
    IDirect3DIndexBuffer8* shorts = nullptr;
    IDirect3DIndexBuffer8* longs = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(3 * sizeof(ColorVertex), 0, COLOR_FVF, D3DPOOL_MANAGED,
                                         &vertices),
              D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(8, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &shorts), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(8, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED, &longs), D3D_OK);

    BYTE* bits = nullptr;
    // The whole buffer (size 0), then only its second vertex.
    ASSERT_EQ(vertices->Lock(0, 0, &bits, 0), D3D_OK);
    const ColorVertex written[3] = {
        {1, 2, 0.5f, 1, 0xFF102030}, {-3, 4.25f, 0, 1, 0x80FFFFFF}, {5, 6, 1, 0.5f, 0}};
    std::memcpy(bits, written, sizeof(written));
    ASSERT_EQ(vertices->Unlock(), D3D_OK);
    ASSERT_EQ(vertices->Lock(sizeof(ColorVertex), sizeof(ColorVertex), &bits, 0), D3D_OK);
    reinterpret_cast<ColorVertex*>(bits)->x = 7;
    ASSERT_EQ(vertices->Unlock(), D3D_OK);
    ASSERT_EQ(vertices->Lock(0, 0, &bits, D3DLOCK_READONLY), D3D_OK);
    ASSERT_EQ(vertices->Unlock(), D3D_OK);

    ASSERT_EQ(shorts->Lock(2, 4, &bits, 0), D3D_OK);
    const uint16_t pair[2] = {65535, 9};
    std::memcpy(bits, pair, sizeof(pair));
    ASSERT_EQ(shorts->Unlock(), D3D_OK);
    ASSERT_EQ(longs->Lock(0, 0, &bits, 0), D3D_OK);
    const uint32_t wide[2] = {70000, 3};
    std::memcpy(bits, wide, sizeof(wide));
    ASSERT_EQ(longs->Unlock(), D3D_OK);
    longs->Release();
    shorts->Release();
    vertices->Release();
    device->Release();
    direct3d->Release();

    std::vector<std::string> unlocks;
    for (const std::string& line : readLines(path)) {
        if (line.find("::Unlock(") != std::string::npos) {
            unlocks.push_back(line);
        }
    }
    const std::vector<std::string> expected = {
        "0 IDirect3DVertexBuffer8::Unlock(this = vertexbuffer1, pbData = [{1, 2, 0.5, 1, "
        "0xff102030}, {-3, 4.25, 0, 1, 0x80ffffff}, {5, 6, 1, 0.5, 0x00000000}])",
        "0 IDirect3DVertexBuffer8::Unlock(this = vertexbuffer1, pbData = [{7, 4.25, 0, 1, "
        "0x80ffffff}])",
        "0 IDirect3DVertexBuffer8::Unlock(this = vertexbuffer1)",
        "0 IDirect3DIndexBuffer8::Unlock(this = indexbuffer1, pbData = [65535, 9])",
        "0 IDirect3DIndexBuffer8::Unlock(this = indexbuffer2, pbData = [70000, 3])",
    };
    EXPECT_EQ(unlocks, expected);
    std::remove(path.c_str());
}
