#include "FrameReadback.h"
#include "gfx/GraphicsDevice.h"
#include "TestWindow.h"
#include "scenes/floor/TiledFloor.h"

#include <PlatformOptions.h>
#include <d3dx8.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

int channelDistance(uint32_t a, uint32_t b) {
    int most = 0;
    for (int shift : {0, 8, 16}) {
        int d =
            std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        most = d > most ? d : most;
    }
    return most;
}

class TiledFloorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(chdir(LETTERBOX_BUILD_DIR), 0);
        window = makeTestWindow("TILED_FLOOR_TEST");
        ASSERT_NE(window, nullptr);
    }
    HWND window = nullptr;
};

TEST_F(TiledFloorTest, LoadsItsTextureAndAGridOfVerticesWithStripsOfIndices) {
    GraphicsDevice graphics;
    ASSERT_EQ(graphics.create(window, 800, 600), 0);
    TiledFloor floor;
    floor.load(graphics.getDevice(), "data\\floor.bmp");
    ASSERT_NE(floor.texture, nullptr);
    ASSERT_NE(floor.vertexBuffer, nullptr);
    ASSERT_NE(floor.indexBuffer, nullptr);

    D3DVERTEXBUFFER_DESC vertexDesc{};
    ASSERT_EQ(floor.vertexBuffer->GetDesc(&vertexDesc), D3D_OK);
    EXPECT_EQ(vertexDesc.Size, 34848u);
    EXPECT_EQ(vertexDesc.FVF, 0x112u);
    EXPECT_EQ(vertexDesc.Pool, D3DPOOL_MANAGED);
    BYTE* data = nullptr;
    ASSERT_EQ(floor.vertexBuffer->Lock(0, 0, &data, 0), D3D_OK);
    const FloorVertex* vertices = reinterpret_cast<const FloorVertex*>(data);
    struct Expected {
        int index;
        float x, z, u, v;
    };
    const Expected corners[] = {
        {0, -6.0f, -6.0f, 0.0f, 0.0f},          {32, 10.0f, -6.0f, 32.0f, 0.0f},
        {2 * 33 + 5, -3.5f, -5.0f, 5.0f, 2.0f}, {32 * 33, -6.0f, 10.0f, 0.0f, 32.0f},
        {1088, 10.0f, 10.0f, 32.0f, 32.0f},
    };
    for (const Expected& e : corners) {
        const FloorVertex& v = vertices[e.index];
        EXPECT_EQ(v.x, e.x) << e.index;
        EXPECT_EQ(v.y, 0.0f) << e.index;
        EXPECT_EQ(v.z, e.z) << e.index;
        EXPECT_EQ(v.u, e.u) << e.index;
        EXPECT_EQ(v.v, e.v) << e.index;
    }
    for (int i = 0; i < 1089; ++i) {
        ASSERT_EQ(vertices[i].nx, 0.0f);
        ASSERT_EQ(vertices[i].ny, 0.0f);
        ASSERT_EQ(vertices[i].nz, 0.0f);
    }
    floor.vertexBuffer->Unlock();

    D3DINDEXBUFFER_DESC indexDesc{};
    ASSERT_EQ(floor.indexBuffer->GetDesc(&indexDesc), D3D_OK);
    EXPECT_EQ(indexDesc.Size, 4224u);
    EXPECT_EQ(indexDesc.Format, D3DFMT_INDEX16);
    ASSERT_EQ(floor.indexBuffer->Lock(0, 0, &data, 0), D3D_OK);
    const uint16_t* indices = reinterpret_cast<const uint16_t*>(data);
    EXPECT_EQ(indices[0], 0);
    EXPECT_EQ(indices[1], 33);
    EXPECT_EQ(indices[65], 65);
    EXPECT_EQ(indices[66], 33) << "the next strip starts on the previous strip's lower row";
    EXPECT_EQ(indices[67], 66);
    EXPECT_EQ(indices[66 * 31 + 64], 31 * 33 + 32);
    EXPECT_EQ(indices[2111], 1088);
    floor.indexBuffer->Unlock();

    EXPECT_EQ(floor.material.Ambient.r, 1.0f);
    EXPECT_EQ(floor.material.Specular.a, 1.0f);
    EXPECT_EQ(floor.material.Specular.r, 0.0f);
    EXPECT_EQ(floor.material.Power, 1.0f);
}

// The floor laid flat over the whole screen: every pixel covered, the texture
// repeated every half unit (25 pixels across, 18.75 down), the bindings cleared after.
TEST_F(TiledFloorTest, CoversItsSquareWithTheTextureTiledEveryHalfUnit) {
    const std::string trace = ::testing::TempDir() + "tiled-floor-trace.txt";
    PlatformOptions::get().tracePath = trace;
    Frame frame;
    {
        GraphicsDevice graphics;
        ASSERT_EQ(graphics.create(window, 800, 600), 0);
        graphics.setWindowed(0);
        IDirect3DDevice8* device = graphics.getDevice();
        TiledFloor floor;
        floor.load(device, "data\\floor.bmp");
        ASSERT_NE(floor.texture, nullptr);

        // World: x from -6 to 10 onto clip x from -1 to 1, z likewise onto clip y.
        D3DXMATRIX world(0.125f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.125f, 0.0f, 0.0f,
                         -0.25f, -0.25f, 0.0f, 1.0f);
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        device->SetTransform(D3DTS_WORLD, &world);
        device->SetTransform(D3DTS_VIEW, &identity);
        device->SetTransform(D3DTS_PROJECTION, &identity);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
        device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF00FF, 1.0f, 0);
        device->BeginScene();
        floor.draw();
        ASSERT_TRUE(presentAndRead(device, &frame));
        writePng(frame, "tiled-floor.png");
    }
    PlatformOptions::get().tracePath.clear();

    int uncovered = 0;
    int unlikeNextTile = 0;
    int darkest = 255;
    int brightest = 0;
    for (int y = 0; y < 600; y += 3) {
        for (int x = 0; x < 800; ++x) {
            uint32_t c = frame.rgb(x, y);
            uncovered += c == 0xFF00FFu ? 1 : 0;
            int green = (c >> 8) & 0xFF;
            darkest = green < darkest ? green : darkest;
            brightest = green > brightest ? green : brightest;
            if (x + 25 < 800 && channelDistance(c, frame.rgb(x + 25, y)) > 8) {
                unlikeNextTile += 1;
            }
        }
    }
    EXPECT_EQ(uncovered, 0) << "the 32 strips leave no gap";
    EXPECT_GT(brightest - darkest, 20) << "the tile's joints show";
    EXPECT_LT(unlikeNextTile, 800) << "the same texel one tile to the right";

    std::vector<std::string> draws;
    std::vector<std::string> calls;
    std::ifstream in(trace);
    for (std::string line; std::getline(in, line);) {
        size_t start = line.find("::");
        size_t end = line.find('(');
        if (start == std::string::npos || end == std::string::npos) {
            continue;
        }
        std::string call = line.substr(start + 2, end - start - 2);
        calls.push_back(call);
        if (call == "DrawIndexedPrimitive") {
            draws.push_back(line);
        }
    }
    std::remove(trace.c_str());
    ASSERT_EQ(draws.size(), 32u);
    for (int strip : {0, 1, 31}) {
        const std::string& draw = draws[strip];
        std::string expected = "PrimitiveType = D3DPT_TRIANGLESTRIP, minIndex = 0, NumVertices = "
                               "1089, startIndex = " +
                               std::to_string(66 * strip) + ", primCount = 64)";
        EXPECT_NE(draw.find(expected), std::string::npos) << draw;
    }
    // After the strips the texture, indices and stream are let go.
    size_t last = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i] == "DrawIndexedPrimitive") {
            last = i;
        }
    }
    ASSERT_LT(last + 3, calls.size());
    EXPECT_EQ(calls[last + 1], "SetTexture");
    EXPECT_EQ(calls[last + 2], "SetIndices");
    EXPECT_EQ(calls[last + 3], "SetStreamSource");
}

} // namespace
