// Point lists drawn as quads, for points larger than GL draws: the same pixels and sprite
// coordinates as GL's own points, and at scale 4 the full size of the largest point.
#include "DeviceFixture.h"

#include "Device.h"
#include "KnownPrograms.h"
#include "PlatformOptions.h"
#include "ShaderCache.h"
#include "Surface.h"

namespace {

struct SizedVertex {
    float x, y, z, rhw;
    float size;
    D3DCOLOR color;
};
constexpr DWORD SIZED_FVF = D3DFVF_XYZRHW | D3DFVF_PSIZE | D3DFVF_DIFFUSE;

// Texels whose colour tells where in the sprite they lie: red grows to the right, green
// downwards, so a mirrored or shifted sprite coordinate changes the picture.
std::vector<uint32_t> gradientTexels(UINT size) {
    std::vector<uint32_t> texels(static_cast<size_t>(size) * size);
    for (UINT y = 0; y < size; ++y) {
        for (UINT x = 0; x < size; ++x) {
            texels[static_cast<size_t>(y) * size + x] =
                0xFF000040u | ((x * 255 / (size - 1)) << 16) | ((y * 255 / (size - 1)) << 8);
        }
    }
    return texels;
}

size_t litCount(const std::vector<uint32_t>& pixels) {
    size_t lit = 0;
    for (uint32_t p : pixels) {
        lit += (p & 0xFFFFFF) != 0 ? 1 : 0;
    }
    return lit;
}

} // namespace

TEST_F(DeviceTest, PointQuadsDrawWhatGlPointsDraw) {
    Device* d = static_cast<Device*>(device);
    IDirect3DTexture8* texture = makeTexture(8, 8, gradientTexels(8));
    ASSERT_NE(texture, nullptr);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device->SetVertexShader(SIZED_FVF);
    // Whole and fractional sizes and centres, the smallest and the largest point, one cut
    // by the left edge and one whose centre lies off the target (GL drops it whole).
    const SizedVertex points[] = {
        {40, 40, 0.5f, 1, 1.0f, 0xFFFFFFFF},         {60.5f, 40, 0.5f, 1, 2.5f, 0xFFFFFFFF},
        {100.25f, 60.75f, 0.5f, 1, 7, 0xFFFFFFFF},   {140, 60, 0.5f, 1, 8, 0xFFFFFFFF},
        {200.3f, 80.6f, 0.5f, 1, 15.3f, 0xFFFFFFFF}, {300, 120, 0.5f, 1, 31.5f, 0xFFFFFFFF},
        {450, 300, 0.5f, 1, 64, 0xFFFFFFFF},         {4, 400, 0.5f, 1, 20, 0xFFFFFFFF},
        {-2, 500, 0.5f, 1, 20, 0xFFFFFFFF},          {600, 590, 0.25f, 1, 0.3f, 0xFF80FF80},
    };
    auto draw = [&](bool quads) {
        d->drawPointListsAsQuads(quads);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, std::size(points), points,
                                          sizeof(SizedVertex)),
                  D3D_OK);
        device->EndScene();
        return readTarget();
    };
    const std::vector<uint32_t> asPoints = draw(false);
    const std::vector<uint32_t> asQuads = draw(true);
    ASSERT_EQ(asPoints.size(), asQuads.size());
    EXPECT_GT(litCount(asPoints), 64u * 64u);
    int coverageDiffers = 0, colourDiffers = 0;
    for (size_t i = 0; i < asPoints.size(); ++i) {
        const bool litPoint = (asPoints[i] & 0xFFFFFF) != 0;
        const bool litQuad = (asQuads[i] & 0xFFFFFF) != 0;
        if (litPoint != litQuad) {
            if (++coverageDiffers <= 5) {
                ADD_FAILURE() << "pixel (" << i % 800 << ", " << i / 800 << ") drawn "
                              << (litPoint ? "as a point only" : "as a quad only");
            }
        } else if (!colorNear(asQuads[i], asPoints[i], 2)) {
            if (++colourDiffers <= 5) {
                ADD_FAILURE() << "pixel (" << i % 800 << ", " << i / 800 << "): " << std::hex
                              << asQuads[i] << " as a quad, " << asPoints[i] << " as a point";
            }
        }
    }
    EXPECT_EQ(coverageDiffers, 0);
    EXPECT_EQ(colourDiffers, 0);
    dropTexture(texture);
}

class PointQuadsAtScaleFourTest : public DeviceTest {
protected:
    void SetUp() override {
        PlatformOptions::get().renderScale = 4;
        DeviceTest::SetUp();
    }
    void TearDown() override {
        DeviceTest::TearDown();
        PlatformOptions::get().renderScale = 1;
    }
    // The lit pixels on the finer grid of the program's rectangle around (x, y).
    std::vector<uint32_t> fineAround(int x, int y, int radius) {
        IDirect3DSurface8* target = nullptr;
        device->GetRenderTarget(&target);
        const RECT rect{x - radius, y - radius, x + radius, y + radius};
        const UINT side = 4 * 2 * static_cast<UINT>(radius);
        std::vector<uint32_t> pixels(static_cast<size_t>(side) * side);
        EXPECT_TRUE(static_cast<Device*>(device)->readTargetFine(
            static_cast<Surface*>(target), rect, reinterpret_cast<uint8_t*>(pixels.data()),
            side * 4));
        target->Release();
        return pixels;
    }
    void drawPoint(float x, float y, float size) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetRenderState(D3DRS_POINTSIZE, floatBits(size));
        ColorVertex point{x, y, 0.5f, 1, 0xFFFFFFFF};
        device->SetVertexShader(COLOR_FVF);
        device->BeginScene();
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof(point)), D3D_OK);
        device->EndScene();
    }
};

TEST_F(PointQuadsAtScaleFourTest, TheLargestPointCoversSixteenTimesItsArea) {
    // Whatever the driver's largest point, the program's largest (64) is 256 drawn pixels.
    drawPoint(100, 100, 64);
    EXPECT_EQ(litCount(fineAround(100, 100, 40)), 256u * 256u);
    // Asked for more, clamped to the device's largest in the program's pixels.
    drawPoint(100, 100, 90);
    EXPECT_EQ(litCount(fineAround(100, 100, 40)), 256u * 256u);
    device->SetRenderState(D3DRS_POINTSIZE_MAX, floatBits(10.0f));
    drawPoint(100, 100, 90);
    EXPECT_EQ(litCount(fineAround(100, 100, 40)), 40u * 40u);
    device->SetRenderState(D3DRS_POINTSIZE_MAX, floatBits(64.0f));
    // A small one keeps its size too, and one with its centre off the target is dropped.
    drawPoint(100, 100, 3);
    EXPECT_EQ(litCount(fineAround(100, 100, 40)), 12u * 12u);
    drawPoint(-1, 100, 64);
    EXPECT_EQ(litCount(fineAround(20, 100, 20)), 0u);
}

TEST_F(PointQuadsAtScaleFourTest, ASpriteKeepsItsTextureTheRightWayUp) {
    // Four texels: the sprite's quarters must show them where they lie in the texture.
    IDirect3DTexture8* texture =
        makeTexture(2, 2, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu});
    ASSERT_NE(texture, nullptr);
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    drawPoint(200, 200, 64);
    const std::vector<uint32_t> pixels = fineAround(200, 200, 32);
    const size_t side = 256;
    EXPECT_EQ(pixels[10 * side + 10] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(pixels[10 * side + 245] & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(pixels[245 * side + 10] & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(pixels[245 * side + 245] & 0xFFFFFF, 0xFFFFFFu);
    dropTexture(texture);
}

TEST_F(PointQuadsAtScaleFourTest, TheDemosProgramsLinkWithTheQuadStage) {
    if (!static_cast<Device*>(device)->pointListsAsQuads()) {
        GTEST_SKIP() << "this driver draws points of 256 pixels itself";
    }
    // Every program the demo draws with is compiled behind the loading screen, its point
    // lists with the geometry stage: each links, or the count falls short.
    const uint64_t before = ShaderCache::totalCompiles();
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(ShaderCache::totalCompiles(), before + KNOWN_PROGRAM_COUNT);
}
