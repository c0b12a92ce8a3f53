// The texture-stage operations against their published formulas, on one texel, one
// diffuse colour and the texture factor whose values are known.
#include "DeviceFixture.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

uint32_t pack(Rgba c) {
    auto q = [](double v) {
        return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    return q(c.a) << 24 | q(c.r) << 16 | q(c.g) << 8 | q(c.b);
}

Rgba apply(const Rgba& x, const Rgba& y, const std::function<double(double, double)>& f) {
    return {f(x.r, y.r), f(x.g, y.g), f(x.b, y.b), f(x.a, y.a)};
}

const uint32_t TEXEL = 0x80C04020;
const uint32_t DIFFUSE = 0x40608040;
const uint32_t FACTOR = 0xC0204080;

struct OpCase {
    const char* name;
    DWORD op;
    DWORD arg1;
    DWORD arg2;
    Rgba expected;
};

} // namespace

TEST_F(DeviceTest, ColourOperationsFollowTheirFormulas) {
    const Rgba t = unpack(TEXEL), d = unpack(DIFFUSE), f = unpack(FACTOR);
    auto rgb = [](Rgba c, double alpha) { return Rgba{c.r, c.g, c.b, alpha}; };
    const OpCase cases[] = {
        {"SELECTARG1", D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, t},
        {"SELECTARG2", D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, d},
        {"MODULATE", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         apply(t, d, [](double a, double b) { return a * b; })},
        {"MODULATE2X", D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         apply(t, d, [](double a, double b) { return 2 * a * b; })},
        {"MODULATE4X", D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         apply(t, d, [](double a, double b) { return 4 * a * b; })},
        {"ADD", D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         apply(t, d, [](double a, double b) { return a + b; })},
        {"ADDSIGNED", D3DTOP_ADDSIGNED, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         apply(t, d, [](double a, double b) { return a + b - 0.5; })},
        {"ADDSIGNED2X", D3DTOP_ADDSIGNED2X, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         apply(t, d, [](double a, double b) { return 2 * (a + b - 0.5); })},
        {"SUBTRACT", D3DTOP_SUBTRACT, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         apply(t, d, [](double a, double b) { return a - b; })},
        {"ADDSMOOTH", D3DTOP_ADDSMOOTH, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         apply(t, d, [](double a, double b) { return a + b - a * b; })},
        {"BLENDDIFFUSEALPHA", D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_TFACTOR,
         apply(t, f, [&](double a, double b) { return a * d.a + b * (1 - d.a); })},
        {"BLENDTEXTUREALPHA", D3DTOP_BLENDTEXTUREALPHA, D3DTA_DIFFUSE, D3DTA_TFACTOR,
         apply(d, f, [&](double a, double b) { return a * t.a + b * (1 - t.a); })},
        {"BLENDFACTORALPHA", D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         apply(t, d, [&](double a, double b) { return a * f.a + b * (1 - f.a); })},
        {"BLENDTEXTUREALPHAPM", D3DTOP_BLENDTEXTUREALPHAPM, D3DTA_DIFFUSE, D3DTA_TFACTOR,
         apply(d, f, [&](double a, double b) { return a + b * (1 - t.a); })},
        {"BLENDCURRENTALPHA", D3DTOP_BLENDCURRENTALPHA, D3DTA_TEXTURE, D3DTA_TFACTOR,
         apply(t, f, [&](double a, double b) { return a * d.a + b * (1 - d.a); })},
        {"MODULATEALPHA_ADDCOLOR", D3DTOP_MODULATEALPHA_ADDCOLOR, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         rgb(apply(t, d, [&](double a, double b) { return a + t.a * b; }), 0)},
        {"complement and alpha replicate", D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_COMPLEMENT,
         D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE,
         apply(t, d, [&](double a, double) { return (1 - a) * d.a; })},
    };
    std::vector<IDirect3DTexture8*> keep;
    IDirect3DTexture8* texture = makeTexture(1, 1, {TEXEL});
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, FACTOR);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    int x = 0;
    for (const OpCase& c : cases) {
        device->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, c.arg1);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, c.arg2);
        drawTexturedQuad(static_cast<float>(x), 0, static_cast<float>(x + 1), 1, 0, 0, 1, 1,
                         DIFFUSE);
        ++x;
    }
    device->EndScene();
    std::vector<uint32_t> p = readTarget();
    for (size_t i = 0; i < std::size(cases); ++i) {
        // Colour only: the target has no alpha.
        EXPECT_TRUE(colorNear(p[i], 0xFF000000u | (pack(cases[i].expected) & 0xFFFFFF), 2))
            << cases[i].name;
    }
    dropTexture(texture);
}

TEST_F(DeviceTest, ThreeArgumentOperationsAndTheTemporaryRegister) {
    IDirect3DTexture8* texture = makeTexture(1, 1, {TEXEL});
    const Rgba t = unpack(TEXEL), d = unpack(DIFFUSE), f = unpack(FACTOR);
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, FACTOR);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    // LERP: arg0 x arg1 + (1 - arg0) x arg2, arg0 the factor.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_LERP);
    device->SetTextureStageState(0, D3DTSS_COLORARG0, D3DTA_TFACTOR);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    drawTexturedQuad(0, 0, 1, 1, 0, 0, 1, 1, DIFFUSE);
    // MULTIPLYADD: arg0 + arg1 x arg2.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD);
    drawTexturedQuad(1, 0, 2, 1, 0, 0, 1, 1, DIFFUSE);
    // Stage 0 writes the texture to TEMP; stage 1 adds TEMP to the diffuse.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_RESULTARG, D3DTA_TEMP);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEMP);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    drawTexturedQuad(2, 0, 3, 1, 0, 0, 1, 1, DIFFUSE);
    device->EndScene();
    std::vector<uint32_t> p = readTarget();
    Rgba lerp = {f.r * t.r + (1 - f.r) * d.r, f.g * t.g + (1 - f.g) * d.g,
                 f.b * t.b + (1 - f.b) * d.b, 1};
    Rgba madd = {f.r + t.r * d.r, f.g + t.g * d.g, f.b + t.b * d.b, 1};
    // CURRENT entering stage 1 is still the diffuse: stage 0 wrote to TEMP only.
    Rgba temp = {t.r + d.r, t.g + d.g, t.b + d.b, 1};
    EXPECT_TRUE(colorNear(p[0], pack(lerp), 2));
    EXPECT_TRUE(colorNear(p[1], pack(madd), 2));
    EXPECT_TRUE(colorNear(p[2], pack(temp), 2));
    dropTexture(texture);
}

TEST_F(DeviceTest, SpecularIsAddedAfterTheStagesOnlyWhenEnabled) {
    struct SpecularVertex {
        float x, y, z, rhw;
        D3DCOLOR diffuse, specular;
    };
    auto quad = [](float x0, D3DCOLOR diffuse, D3DCOLOR specular) {
        std::vector<SpecularVertex> v = {{x0, 0, 0, 1, diffuse, specular},
                                         {x0 + 4, 0, 0, 1, diffuse, specular},
                                         {x0 + 4, 4, 0, 1, diffuse, specular},
                                         {x0, 4, 0, 1, diffuse, specular}};
        return v;
    };
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR);
    device->BeginScene();
    auto off = quad(0, 0xFF404040, 0xFF102030);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, off.data(), sizeof(SpecularVertex));
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    auto on = quad(4, 0xFF404040, 0xFF102030);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, on.data(), sizeof(SpecularVertex));
    device->EndScene();
    EXPECT_EQ(readPixel(1, 1), 0xFF404040u);
    EXPECT_EQ(readPixel(5, 1), 0xFF506070u);
}

TEST_F(DeviceTest, FlatShadingTakesTheFirstVertexOfEachTriangle) {
    ColorVertex triangle[3] = {
        {0, 0, 0, 1, 0xFFFF0000}, {30, 0, 0, 1, 0xFF00FF00}, {0, 30, 0, 1, 0xFF0000FF}};
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetVertexShader(COLOR_FVF);
    device->BeginScene();
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(ColorVertex));
    device->EndScene();
    EXPECT_EQ(readPixel(2, 2), 0xFFFF0000u);
    EXPECT_EQ(readPixel(20, 5), 0xFFFF0000u);
    EXPECT_EQ(readPixel(5, 20), 0xFFFF0000u);
}

TEST_F(DeviceTest, MirrorAndBorderAddressing) {
    IDirect3DTexture8* texture = makeTexture(2, 1, {0xFF000000, 0xFFFFFFFF});
    device->SetTexture(0, texture);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    // u from 0 to 2 over four pixels: 0, 0.5, 1, 1.5.
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR);
    drawTexturedQuad(0, 0, 4, 1, 0, 0, 2, 1);
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_BORDER);
    device->SetTextureStageState(0, D3DTSS_BORDERCOLOR, 0xFFFF0000);
    drawTexturedQuad(0, 1, 4, 2, 0, 0, 2, 1);
    device->EndScene();
    std::vector<uint32_t> p = readTarget();
    // Mirror: black, white, then white, black (the texture reflected).
    EXPECT_EQ(p[0], 0xFF000000u);
    EXPECT_EQ(p[1], 0xFFFFFFFFu);
    EXPECT_EQ(p[2], 0xFFFFFFFFu);
    EXPECT_EQ(p[3], 0xFF000000u);
    // Border: the border colour beyond the texture.
    EXPECT_EQ(p[800 + 1], 0xFFFFFFFFu);
    EXPECT_EQ(p[800 + 2], 0xFFFF0000u);
    EXPECT_EQ(p[800 + 3], 0xFFFF0000u);
    dropTexture(texture);
}
