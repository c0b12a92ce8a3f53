// Draws from vertex buffers whose vertices all lie beyond one plane of the view volume are
// skipped before they reach the rasteriser; everything that can reach a pixel still does.
#include "DeviceFixture.h"
#include "ShaderCache.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

struct PositionVertex {
    float x, y, z;
    D3DCOLOR color;
};
constexpr DWORD POSITION_FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;

class CullTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->SetVertexShader(POSITION_FVF);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    }
    void TearDown() override {
        device->SetStreamSource(0, nullptr, 0);
        if (buffer != nullptr) {
            buffer->Release();
        }
        DeviceTest::TearDown();
    }

    void fill(const std::vector<PositionVertex>& vertices) {
        if (buffer == nullptr) {
            ASSERT_EQ(device->CreateVertexBuffer(
                          static_cast<UINT>(vertices.size() * sizeof(PositionVertex)), 0,
                          POSITION_FVF, D3DPOOL_MANAGED, &buffer),
                      D3D_OK);
        }
        BYTE* data = nullptr;
        ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(data, vertices.data(), vertices.size() * sizeof(PositionVertex));
        ASSERT_EQ(buffer->Unlock(), D3D_OK);
        device->SetStreamSource(0, buffer, sizeof(PositionVertex));
    }

    HRESULT drawTriangles(UINT count) {
        device->BeginScene();
        HRESULT result = device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, count);
        device->EndScene();
        return result;
    }

    IDirect3DVertexBuffer8* buffer = nullptr;
};

// A quad from (x0, y0) to (x1, y1) at depth z, in clip space (identity transforms).
std::vector<PositionVertex> quad(float x0, float y0, float x1, float y1, float z, D3DCOLOR c) {
    return {{x0, y0, z, c}, {x1, y0, z, c}, {x1, y1, z, c},
            {x0, y0, z, c}, {x1, y1, z, c}, {x0, y1, z, c}};
}

} // namespace

TEST_F(CullTest, TrianglesWhoseVerticesAreOutsideOnDifferentSidesStillCoverTheView) {
    // Every vertex is outside the view volume, but no single plane has them all.
    fill({{-5.0f, -5.0f, 0.5f, 0xFFFF0000},
          {5.0f, -5.0f, 0.5f, 0xFFFF0000},
          {0.0f, 5.0f, 0.5f, 0xFFFF0000}});
    ASSERT_EQ(drawTriangles(1), D3D_OK);
    EXPECT_EQ(readPixel(400, 300), 0xFFFF0000u);
}

TEST_F(CullTest, GeometryCrossingTheNearOrFarPlaneIsClippedNotSkipped) {
    // Half of each quad lies in front of z = 0 or beyond z = w; the other half is drawn.
    std::vector<PositionVertex> vertices = {
        {-1.0f, 0.0f, -0.5f, 0xFF00FF00}, {0.0f, 0.0f, -0.5f, 0xFF00FF00},
        {0.0f, 1.0f, 0.5f, 0xFF00FF00},   {-1.0f, 0.0f, -0.5f, 0xFF00FF00},
        {0.0f, 1.0f, 0.5f, 0xFF00FF00},   {-1.0f, 1.0f, 0.5f, 0xFF00FF00},
        {0.0f, -1.0f, 0.5f, 0xFF0000FF},  {1.0f, -1.0f, 0.5f, 0xFF0000FF},
        {1.0f, 0.0f, 1.5f, 0xFF0000FF},   {0.0f, -1.0f, 0.5f, 0xFF0000FF},
        {1.0f, 0.0f, 1.5f, 0xFF0000FF},   {0.0f, 0.0f, 1.5f, 0xFF0000FF}};
    fill(vertices);
    ASSERT_EQ(drawTriangles(4), D3D_OK);
    // Upper-left quad: z runs from -0.5 at the middle row to 0.5 at the top.
    EXPECT_EQ(readPixel(200, 20), 0xFF00FF00u);
    EXPECT_EQ(readPixel(200, 290), 0xFF000000u);
    // Lower-right quad: z runs from 0.5 at the bottom to 1.5 at the middle row.
    EXPECT_EQ(readPixel(600, 580), 0xFF0000FFu);
    EXPECT_EQ(readPixel(600, 310), 0xFF000000u);
}

TEST_F(CullTest, ADrawWhollyBeyondOnePlaneReachesNoShaderAndDrawsNothing) {
    // A state combination no other test uses, so its program is compiled on first draw.
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NOTEQUAL);
    const uint64_t before = ShaderCache::totalCompiles();
    struct Case {
        float x0, y0, x1, y1, z;
    };
    const Case outside[] = {{-3.0f, -0.5f, -1.5f, 0.5f, 0.5f}, {1.5f, -0.5f, 3.0f, 0.5f, 0.5f},
                            {-0.5f, -3.0f, 0.5f, -1.5f, 0.5f}, {-0.5f, 1.5f, 0.5f, 3.0f, 0.5f},
                            {-0.5f, -0.5f, 0.5f, 0.5f, -0.1f}, {-0.5f, -0.5f, 0.5f, 0.5f, 1.1f}};
    for (const Case& c : outside) {
        fill(quad(c.x0, c.y0, c.x1, c.y1, c.z, 0xFFFFFFFF));
        ASSERT_EQ(drawTriangles(2), D3D_OK);
    }
    EXPECT_EQ(ShaderCache::totalCompiles(), before);
    for (uint32_t pixel : readTarget()) {
        ASSERT_EQ(pixel, 0xFF000000u);
    }
    // Moved into view through a new lock, the same buffer is drawn.
    fill(quad(-0.5f, -0.5f, 0.5f, 0.5f, 0.5f, 0xFFFFFFFF));
    ASSERT_EQ(drawTriangles(2), D3D_OK);
    EXPECT_EQ(ShaderCache::totalCompiles(), before + 1);
    EXPECT_EQ(readPixel(400, 300), 0xFFFFFFFFu);
}

TEST_F(CullTest, WorldViewAndProjectionAllDecideWhereTheBufferIs) {
    // The vertices sit far to the left; any one of the three transforms may bring them back.
    fill(quad(-10.5f, -0.5f, -9.5f, 0.5f, 0.5f, 0xFFFFFF00));
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
    D3DMATRIX moved = identity;
    moved._41 = 10.0f;
    for (D3DTRANSFORMSTATETYPE which : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION}) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetTransform(which, &moved);
        ASSERT_EQ(drawTriangles(2), D3D_OK);
        EXPECT_EQ(readPixel(400, 300), 0xFFFFFF00u) << "transform " << which;
        device->SetTransform(which, &identity);
    }
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(drawTriangles(2), D3D_OK);
    EXPECT_EQ(readPixel(400, 300), 0xFF000000u);
}

TEST_F(CullTest, IndexedDrawsUseTheWholeBufferAndNonFinitePositionsDisableTheTest) {
    // Vertices 0-3 far outside, 4-7 in view; an indexed draw with base vertex 4 shows them.
    std::vector<PositionVertex> vertices = {
        {-9.0f, -9.0f, 0.5f, 0xFF00FFFF}, {-8.0f, -9.0f, 0.5f, 0xFF00FFFF},
        {-8.0f, -8.0f, 0.5f, 0xFF00FFFF}, {-9.0f, -8.0f, 0.5f, 0xFF00FFFF},
        {-0.5f, -0.5f, 0.5f, 0xFF00FFFF}, {0.5f, -0.5f, 0.5f, 0xFF00FFFF},
        {0.5f, 0.5f, 0.5f, 0xFF00FFFF},   {-0.5f, 0.5f, 0.5f, 0xFF00FFFF}};
    fill(vertices);
    IDirect3DIndexBuffer8* indices = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices), D3D_OK);
    BYTE* data = nullptr;
    ASSERT_EQ(indices->Lock(0, 0, &data, 0), D3D_OK);
    const uint16_t list[6] = {0, 1, 2, 0, 2, 3};
    std::memcpy(data, list, sizeof(list));
    indices->Unlock();
    device->SetIndices(indices, 4);
    device->BeginScene();
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
    device->EndScene();
    EXPECT_EQ(readPixel(400, 300), 0xFF00FFFFu);
    // A NaN among the positions leaves the draw to the rasteriser, which still draws the
    // finite triangles.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    vertices[0].x = std::numeric_limits<float>::quiet_NaN();
    fill(vertices);
    device->BeginScene();
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
    device->EndScene();
    EXPECT_EQ(readPixel(400, 300), 0xFF00FFFFu);
    device->SetIndices(nullptr, 0);
    indices->Release();
}
