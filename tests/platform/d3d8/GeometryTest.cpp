// Untransformed geometry read back against values worked by hand: point sizes and sprite
// coordinates, clipping at the near and far planes, the depth range, perspective-correct
// texturing, indexed strips and the shader cache staying warm.
#include "DeviceFixture.h"
#include "ShaderCache.h"

#include <cstring>

namespace {

struct PlainVertex {
    float x, y, z;
};

struct PositionColorVertex {
    float x, y, z;
    D3DCOLOR color;
};

struct PositionTexVertex {
    float x, y, z, u, v;
};

// A left-handed perspective projection: 90 degrees vertically, aspect 4:3, near 1, far 100.
D3DMATRIX perspective() {
    D3DMATRIX m{};
    m._11 = 0.75f;
    m._22 = 1.0f;
    m._33 = 100.0f / 99.0f;
    m._34 = 1.0f;
    m._43 = -100.0f / 99.0f;
    return m;
}

class GeometryTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        clear();
    }

    void clear() {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    }

    int countNot(uint32_t background) {
        int n = 0;
        for (uint32_t v : readTarget()) {
            n += v != background ? 1 : 0;
        }
        return n;
    }

    void drawPoint(float x, float y, float z) {
        PositionColorVertex point{x, y, z, 0xFFFFFFFF};
        ASSERT_EQ(device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
        device->BeginScene();
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof(PositionColorVertex)),
                  D3D_OK);
        device->EndScene();
    }

    void scaledPoints(float size) {
        D3DMATRIX projection = perspective();
        device->SetTransform(D3DTS_PROJECTION, &projection);
        device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
        device->SetRenderState(D3DRS_POINTSCALE_A, floatBits(0.0f));
        device->SetRenderState(D3DRS_POINTSCALE_B, floatBits(0.0f));
        device->SetRenderState(D3DRS_POINTSCALE_C, floatBits(1.0f));
        device->SetRenderState(D3DRS_POINTSIZE, floatBits(size));
    }
};

TEST_F(GeometryTest, ScaledPointSizeIsViewportHeightTimesSizeOverDistance) {
    scaledPoints(1.0f);
    drawPoint(0, 0, 10); // 600 x 1 / 10 = 60 pixels across
    EXPECT_EQ(countNot(0xFF000000), 60 * 60);
    clear();
    drawPoint(0, 0, 20); // 30 pixels
    EXPECT_EQ(countNot(0xFF000000), 30 * 30);
    // The square is centred on the projected point, the screen's centre.
    EXPECT_EQ(readPixel(385, 285), 0xFFFFFFFFu);
    EXPECT_EQ(readPixel(414, 314), 0xFFFFFFFFu);
    EXPECT_EQ(readPixel(384, 300), 0xFF000000u);
    EXPECT_EQ(readPixel(415, 300), 0xFF000000u);
    // A viewport half as tall halves the size.
    clear();
    D3DVIEWPORT8 half{0, 0, 800, 300, 0.0f, 1.0f};
    device->SetViewport(&half);
    drawPoint(0, 0, 10);
    EXPECT_EQ(countNot(0xFF000000), 30 * 30);
}

TEST_F(GeometryTest, PointSizeIsClampedToTheMinimumAndMaximum) {
    scaledPoints(0.2f);
    drawPoint(0, 0, 20); // 6 pixels
    EXPECT_EQ(countNot(0xFF000000), 6 * 6);
    clear();
    device->SetRenderState(D3DRS_POINTSIZE_MIN, floatBits(10.0f));
    drawPoint(0, 0, 20);
    EXPECT_EQ(countNot(0xFF000000), 10 * 10);
    clear();
    device->SetRenderState(D3DRS_POINTSIZE_MIN, floatBits(1.0f));
    device->SetRenderState(D3DRS_POINTSIZE, floatBits(1.0f));
    device->SetRenderState(D3DRS_POINTSIZE_MAX, floatBits(16.0f));
    drawPoint(0, 0, 10); // 60 clamped to 16
    EXPECT_EQ(countNot(0xFF000000), 16 * 16);
    // Without scaling the size is in pixels, and the maximum still holds.
    clear();
    device->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    device->SetRenderState(D3DRS_POINTSIZE, floatBits(12.0f));
    drawPoint(0, 0, 10);
    EXPECT_EQ(countNot(0xFF000000), 12 * 12);
    // A point behind the near plane is not drawn at all.
    clear();
    drawPoint(0, 0, 0.5f);
    EXPECT_EQ(countNot(0xFF000000), 0);
}

TEST_F(GeometryTest, ScaledSpriteShowsTheTextureUpright) {
    // Top-left texel red, top-right green, bottom-left blue, bottom-right white.
    IDirect3DTexture8* texture =
        makeTexture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
    device->SetTexture(0, texture);
    scaledPoints(1.0f);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    drawPoint(0, 0, 10); // pixels 370..429 by 270..329
    EXPECT_EQ(readPixel(375, 275), 0xFFFF0000u);
    EXPECT_EQ(readPixel(425, 275), 0xFF00FF00u);
    EXPECT_EQ(readPixel(375, 325), 0xFF0000FFu);
    EXPECT_EQ(readPixel(425, 325), 0xFFFFFFFFu);
    // Without sprites the vertex's own coordinate, (0, 0), covers the point.
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
    clear();
    PositionTexVertex point{0, 0, 10, 0.75f, 0.75f};
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_TEX1);
    device->BeginScene();
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof(point)), D3D_OK);
    device->EndScene();
    EXPECT_EQ(readPixel(375, 275), 0xFFFFFFFFu);
    EXPECT_EQ(readPixel(425, 325), 0xFFFFFFFFu);
    dropTexture(texture);
}

TEST_F(GeometryTest, TriangleCrossingTheNearPlaneIsClippedNotWrapped) {
    D3DMATRIX projection = perspective();
    device->SetTransform(D3DTS_PROJECTION, &projection);
    // Two corners in front of the eye, one behind it. The near plane z = 1 cuts the edges to
    // the corner behind at (-0.75, 0.5, 1) and (0.75, 0.5, 1): what remains projects to a
    // trapezoid from x 250..550 on row 300 up to x 175..625 on row 150.
    PositionColorVertex tri[3] = {
        {-1, 0, 2, 0xFFFFFFFF}, {1, 0, 2, 0xFFFFFFFF}, {0, 2, -2, 0xFFFFFFFF}};
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->BeginScene();
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(PositionColorVertex)),
              D3D_OK);
    device->EndScene();
    std::vector<uint32_t> p = readTarget();
    int covered = 0, outside = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            if (p[y * 800 + x] != 0xFF000000u) {
                ++covered;
                outside += (y < 149 || y > 300) ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_NEAR(covered, (300 + 450) / 2 * 150, 400);
    EXPECT_EQ(p[200 * 800 + 400], 0xFFFFFFFFu);
    EXPECT_EQ(p[155 * 800 + 180], 0xFFFFFFFFu);
    EXPECT_EQ(p[295 * 800 + 240], 0xFF000000u);
}

TEST_F(GeometryTest, ViewportDepthRangeMapsDepthAndKeepsTheClipPlanes) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    D3DVIEWPORT8 upper{0, 0, 800, 600, 0.5f, 1.0f};
    device->SetViewport(&upper);
    PositionColorVertex red[4] = {{-1, 1, 0, 0xFFFF0000},
                                  {1, 1, 0, 0xFFFF0000},
                                  {1, -1, 0, 0xFFFF0000},
                                  {-1, -1, 0, 0xFFFF0000}};
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->BeginScene();
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, red, sizeof(PositionColorVertex)),
              D3D_OK);
    device->EndScene();
    // Depth 0 became 0.5: transformed vertices, whose depth is final, pass in front of it at
    // 0.45 and fail behind it at 0.55.
    D3DVIEWPORT8 full{0, 0, 800, 600, 0.0f, 1.0f};
    device->SetViewport(&full);
    device->BeginScene();
    drawQuad(0, 0, 400, 600, 0xFF00FF00, 0.45f);
    drawQuad(400, 0, 800, 600, 0xFF0000FF, 0.55f);
    device->EndScene();
    EXPECT_EQ(readPixel(200, 300), 0xFF00FF00u);
    EXPECT_EQ(readPixel(600, 300), 0xFFFF0000u);

    // Depths outside 0..1 before the mapping are clipped whatever MinZ and MaxZ are.
    clear();
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    for (auto& v : red) {
        v.z = -0.1f;
    }
    device->SetViewport(&upper);
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->BeginScene();
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, red, sizeof(PositionColorVertex)),
              D3D_OK);
    device->EndScene();
    for (auto& v : red) {
        v.z = 1.1f;
    }
    D3DVIEWPORT8 lower{0, 0, 800, 600, 0.0f, 0.5f};
    device->SetViewport(&lower);
    device->BeginScene();
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, red, sizeof(PositionColorVertex)),
              D3D_OK);
    device->EndScene();
    device->SetViewport(&full);
    EXPECT_EQ(countNot(0xFF000000), 0);
}

TEST_F(GeometryTest, TexturesFollowThePerspectiveOfAFloorSeenAtAnAngle) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    D3DMATRIX projection = perspective();
    device->SetTransform(D3DTS_PROJECTION, &projection);
    // Red for v below 0.5, blue above: the boundary lies at the floor's middle, z = 4, which
    // projects to row 375; interpolating on screen would put it at row 400.
    IDirect3DTexture8* texture = makeTexture(1, 2, {0xFFFF0000, 0xFF0000FF});
    device->SetTexture(0, texture);
    PositionTexVertex floor[4] = {
        {-1, -1, 2, 0, 0}, {1, -1, 2, 0, 0}, {1, -1, 6, 0, 1}, {-1, -1, 6, 0, 1}};
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_TEX1);
    device->BeginScene();
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, floor, sizeof(PositionTexVertex)),
              D3D_OK);
    device->EndScene();
    EXPECT_EQ(readPixel(400, 355), 0xFF0000FFu);
    EXPECT_EQ(readPixel(400, 372), 0xFF0000FFu);
    EXPECT_EQ(readPixel(400, 378), 0xFFFF0000u);
    EXPECT_EQ(readPixel(400, 395), 0xFFFF0000u);
    EXPECT_EQ(readPixel(400, 445), 0xFFFF0000u);
    EXPECT_EQ(readPixel(400, 340), 0xFF000000u); // beyond the far edge at row 350
    dropTexture(texture);
}

class IndexedStripTest : public GeometryTest, public ::testing::WithParamInterface<D3DFORMAT> {};

TEST_P(IndexedStripTest, StripWithABaseVertexAndAStartIndex) {
    // Vertices 0 to 3 are a red decoy; 4 to 7 a green strip from (100, 100) to (200, 200).
    ColorVertex vertices[8] = {{500, 100, 0.5f, 1, 0xFFFF0000}, {600, 100, 0.5f, 1, 0xFFFF0000},
                               {500, 200, 0.5f, 1, 0xFFFF0000}, {600, 200, 0.5f, 1, 0xFFFF0000},
                               {100, 100, 0.5f, 1, 0xFF00FF00}, {200, 100, 0.5f, 1, 0xFF00FF00},
                               {100, 200, 0.5f, 1, 0xFF00FF00}, {200, 200, 0.5f, 1, 0xFF00FF00}};
    IDirect3DVertexBuffer8* vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(sizeof(vertices), 0, COLOR_FVF, D3DPOOL_MANAGED, &vb),
              D3D_OK);
    BYTE* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, vertices, sizeof(vertices));
    vb->Unlock();
    const D3DFORMAT format = GetParam();
    const UINT indexSize = format == D3DFMT_INDEX32 ? 4 : 2;
    const uint32_t indices[6] = {3, 3, 0, 1, 2, 3};
    IDirect3DIndexBuffer8* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(6 * indexSize, 0, format, D3DPOOL_MANAGED, &ib), D3D_OK);
    ASSERT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
    for (int i = 0; i < 6; ++i) {
        if (indexSize == 4) {
            std::memcpy(data + 4 * i, &indices[i], 4);
        } else {
            uint16_t v = static_cast<uint16_t>(indices[i]);
            std::memcpy(data + 2 * i, &v, 2);
        }
    }
    ib->Unlock();
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW); // the strip's alternating winding
    device->SetVertexShader(COLOR_FVF);
    device->SetStreamSource(0, vb, sizeof(ColorVertex));
    device->SetIndices(ib, 4);
    device->BeginScene();
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 4, 2, 2), D3D_OK);
    device->EndScene();
    EXPECT_EQ(countNot(0xFF000000), 100 * 100);
    EXPECT_EQ(readPixel(100, 100), 0xFF00FF00u);
    EXPECT_EQ(readPixel(199, 199), 0xFF00FF00u);
    EXPECT_EQ(readPixel(550, 150), 0xFF000000u);
    // With base vertex 0 the same indices name the decoy.
    device->SetIndices(ib, 0);
    device->BeginScene();
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 4, 2, 2), D3D_OK);
    device->EndScene();
    EXPECT_EQ(readPixel(550, 150), 0xFFFF0000u);
    // An index past the end of the buffer once the base vertex is added is refused.
    device->SetIndices(ib, 5);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 4, 2, 2), D3DERR_INVALIDCALL);
    device->SetStreamSource(0, nullptr, 0);
    device->SetIndices(nullptr, 0);
    vb->Release();
    ib->Release();
}

INSTANTIATE_TEST_SUITE_P(IndexSizes, IndexedStripTest,
                         ::testing::Values(D3DFMT_INDEX16, D3DFMT_INDEX32));

TEST_F(GeometryTest, ShaderCacheStaysWarmOnceEveryCombinationHasBeenSeen) {
    struct Lit {
        float x, y, z, nx, ny, nz;
        float u, v;
    };
    Lit tri[3] = {
        {-1, 1, 0.5f, 0, 0, -1, 0, 0}, {0, 1, 0.5f, 0, 0, -1, 1, 0}, {0, 0, 0.5f, 0, 0, -1, 1, 1}};
    IDirect3DTexture8* texture = makeTexture(1, 1, {0xFFFFFFFF});
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    // A frame of the kinds of draw the scenes make, with the states changing in between.
    auto frame = [&](float t) {
        device->BeginScene();
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
        D3DMATRIX world{};
        world._11 = world._22 = world._33 = world._44 = 1.0f + t;
        device->SetTransform(D3DTS_WORLD, &world);
        light.Direction = {t, -1, 1};
        device->SetLight(0, &light);
        D3DMATERIAL8 m{};
        m.Diffuse = {t, 0.5f, 0.5f, 1};
        m.Power = 2.0f + t;
        device->SetMaterial(&m);
        device->SetTexture(0, texture);
        device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(Lit));
        device->SetTexture(0, nullptr);
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(Lit));
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
        device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
        device->SetRenderState(D3DRS_POINTSIZE, floatBits(0.2f + t));
        device->SetTexture(0, texture);
        device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        PositionColorVertex point{0, 0, 0.5f, 0xFFFFFFFF};
        device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof(point));
        device->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
        device->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
        device->SetTexture(0, nullptr);
        drawQuad(0, 0, 10 + t, 10, 0xFF808080);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    };
    frame(0.0f);
    const uint64_t warm = ShaderCache::totalCompiles();
    frame(0.25f);
    frame(0.5f);
    EXPECT_EQ(ShaderCache::totalCompiles(), warm);
    texture->Release();
}

} // namespace
