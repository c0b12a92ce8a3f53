// Lighting read back against the lighting equations worked by hand. Transforms stay the
// identity unless a test says otherwise, so positions are camera space and clip space at once.
#include "DeviceFixture.h"

#include <cstring>

namespace {

struct NormalVertex {
    float x, y, z, nx, ny, nz;
};

struct NormalColorVertex {
    float x, y, z, nx, ny, nz;
    D3DCOLOR color;
};

struct PlainVertex {
    float x, y, z;
};

D3DCOLORVALUE rgb(float r, float g, float b, float a = 1.0f) {
    return {r, g, b, a};
}

class LightingTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    }

    // Light 0, directional, travelling into the screen: a normal of (0, 0, -1) faces it.
    void directionalLight(D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient = {},
                          D3DCOLORVALUE specular = {}) {
        D3DLIGHT8 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = diffuse;
        light.Ambient = ambient;
        light.Specular = specular;
        light.Direction = {0.0f, 0.0f, 1.0f};
        ASSERT_EQ(device->SetLight(0, &light), D3D_OK);
        ASSERT_EQ(device->LightEnable(0, TRUE), D3D_OK);
    }

    void material(D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient = {}, D3DCOLORVALUE specular = {},
                  D3DCOLORVALUE emissive = {}, float power = 0.0f) {
        D3DMATERIAL8 m{};
        m.Diffuse = diffuse;
        m.Ambient = ambient;
        m.Specular = specular;
        m.Emissive = emissive;
        m.Power = power;
        ASSERT_EQ(device->SetMaterial(&m), D3D_OK);
    }

    // Two quads at depth 0.5: the left half of the screen's top faces the light, the right
    // half is turned away. Read back at (200, 150) and (600, 150).
    void drawFacingAndAway(float scale = 1.0f) {
        float s = scale;
        NormalVertex facing[4] = {{-1 * s, 1 * s, 0.5f * s, 0, 0, -1},
                                  {0, 1 * s, 0.5f * s, 0, 0, -1},
                                  {0, 0, 0.5f * s, 0, 0, -1},
                                  {-1 * s, 0, 0.5f * s, 0, 0, -1}};
        NormalVertex away[4] = {{0, 1 * s, 0.5f * s, 0, 0, 1},
                                {1 * s, 1 * s, 0.5f * s, 0, 0, 1},
                                {1 * s, 0, 0.5f * s, 0, 0, 1},
                                {0, 0, 0.5f * s, 0, 0, 1}};
        ASSERT_EQ(device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL), D3D_OK);
        device->BeginScene();
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, facing, sizeof(NormalVertex)),
                  D3D_OK);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, away, sizeof(NormalVertex)),
                  D3D_OK);
        device->EndScene();
    }

    // One scene holding the one triangle.
    void drawTriangle(const NormalVertex (&tri)[3]) {
        device->BeginScene();
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(NormalVertex));
        device->EndScene();
    }

    uint32_t facingPixel() { return readPixel(200, 150); }
    uint32_t awayPixel() { return readPixel(600, 150); }
};

TEST_F(LightingTest, EachTermOfTheDiffuseColourOnItsOwn) {
    // Diffuse: Md x Ld x max(N.L, 0).
    directionalLight(rgb(0.6f, 0.4f, 0.2f));
    material(rgb(0.5f, 1.0f, 1.0f));
    drawFacingAndAway();
    EXPECT_TRUE(colorNear(facingPixel(), 0xFF4C6633)); // 0.3, 0.4, 0.2
    EXPECT_TRUE(colorNear(awayPixel(), 0xFF000000));

    // Light ambient: Ma x La, whichever way the face turns.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    directionalLight(rgb(0, 0, 0), rgb(0.2f, 0.4f, 0.6f));
    material(rgb(0, 0, 0), rgb(1.0f, 0.5f, 1.0f));
    drawFacingAndAway();
    EXPECT_TRUE(colorNear(facingPixel(), 0xFF333399)); // 0.2, 0.2, 0.6
    EXPECT_TRUE(colorNear(awayPixel(), 0xFF333399));

    // Emissive alone.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    directionalLight(rgb(0, 0, 0));
    material(rgb(0, 0, 0), rgb(0, 0, 0), rgb(0, 0, 0), rgb(0.1f, 0.2f, 0.3f));
    drawFacingAndAway();
    EXPECT_TRUE(colorNear(facingPixel(), 0xFF1A334C)); // 25.5, 51, 76.5
    EXPECT_TRUE(colorNear(awayPixel(), 0xFF1A334C));

    // The global ambient colour times the material ambient.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    material(rgb(0, 0, 0), rgb(1.0f, 1.0f, 0.5f));
    device->SetRenderState(D3DRS_AMBIENT, 0x00406080);
    drawFacingAndAway();
    EXPECT_TRUE(colorNear(facingPixel(), 0xFF406040));
    EXPECT_TRUE(colorNear(awayPixel(), 0xFF406040));
}

TEST_F(LightingTest, TheTermsAddAndClampAndNoEnabledLightLeavesGlobalAmbient) {
    directionalLight(rgb(0.5f, 0.5f, 0.5f), rgb(0.25f, 0.25f, 0.25f));
    material(rgb(1.0f, 0.5f, 0.0f), rgb(1.0f, 1.0f, 1.0f), rgb(0, 0, 0), rgb(0.0f, 0.0f, 0.25f));
    device->SetRenderState(D3DRS_AMBIENT, 0x00404040); // 0.251
    drawFacingAndAway();
    // R: 0 + (0.251 + 0.25) + 1 x 0.5 = 1.001 clamps; G: 0.501 + 0.25; B: 0.25 + 0.501.
    EXPECT_TRUE(colorNear(facingPixel(), 0xFFFFBFBF));
    EXPECT_TRUE(colorNear(awayPixel(), 0xFF8080BF));

    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->LightEnable(0, FALSE);
    drawFacingAndAway();
    EXPECT_TRUE(colorNear(facingPixel(), 0xFF404080));
    EXPECT_TRUE(colorNear(awayPixel(), 0xFF404080));
}

// One quad whose triangles both start at (0.5, 0, 0.5): flat shading lights it with that
// vertex alone, which makes the local viewer's half vector easy to work out.
class SpecularTest : public LightingTest {
protected:
    void drawFlatQuad() {
        device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
        device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
        NormalVertex a{0.5f, 0, 0.5f, 0, 0, -1}, b{1, 0, 0.5f, 0, 0, -1},
            c{1, -0.5f, 0.5f, 0, 0, -1}, d{0.5f, -0.5f, 0.5f, 0, 0, -1};
        NormalVertex list[6] = {a, b, c, a, c, d};
        ASSERT_EQ(device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL), D3D_OK);
        device->BeginScene();
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, list, sizeof(NormalVertex)),
                  D3D_OK);
        device->EndScene();
    }
    uint32_t quadPixel() { return readPixel(700, 375); }
};

TEST_F(SpecularTest, PowerZeroGivesTheFullSpecularColour) {
    directionalLight(rgb(0, 0, 0), rgb(0, 0, 0), rgb(1, 1, 1));
    material(rgb(0, 0, 0), rgb(0, 0, 0), rgb(0.8f, 0.6f, 0.4f), rgb(0, 0, 0), 0.0f);
    drawFlatQuad();
    EXPECT_TRUE(colorNear(quadPixel(), 0xFFCC9966, 2));
}

TEST_F(SpecularTest, LocalViewerBendsTheHalfVectorTowardsTheEye) {
    directionalLight(rgb(0, 0, 0), rgb(0, 0, 0), rgb(1, 1, 1));
    material(rgb(0, 0, 0), rgb(0, 0, 0), rgb(0.8f, 0.6f, 0.4f), rgb(0, 0, 0), 10.0f);
    // L = (0, 0, -1), towards the eye -normalize(0.5, 0, 0.5): H = (-0.38268, 0, -0.92388),
    // N.H = 0.92388 and 0.92388^10 = 0.4530.
    drawFlatQuad();
    EXPECT_TRUE(colorNear(quadPixel(), 0xFF5C452E, 2)); // 92.4, 69.3, 46.2
    // Without the local viewer the eye lies along -z: H = L, N.H = 1, full specular.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
    drawFlatQuad();
    EXPECT_TRUE(colorNear(quadPixel(), 0xFFCC9966, 2));
    // Specular stays off unless enabled, and never lights a face turned from the light.
    device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    NormalVertex a{0.5f, 0, 0.5f, 0, 0, -1}, b{1, 0, 0.5f, 0, 0, -1}, c{1, -0.5f, 0.5f, 0, 0, -1};
    NormalVertex tri[3] = {a, b, c};
    drawTriangle(tri);
    EXPECT_TRUE(colorNear(readPixel(760, 320), 0xFF000000));
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    for (auto& v : tri) {
        v.nz = 1.0f;
    }
    drawTriangle(tri);
    EXPECT_TRUE(colorNear(readPixel(760, 320), 0xFF000000));
}

TEST_F(LightingTest, ScaledNormalsChangeTheLightUnlessNormalised) {
    directionalLight(rgb(0.4f, 0.4f, 0.4f));
    material(rgb(1, 1, 1));
    // World scaled by 2: the inverse transpose halves the normals, and the light with them.
    D3DMATRIX scale{};
    scale._11 = scale._22 = scale._33 = 2.0f;
    scale._44 = 1.0f;
    device->SetTransform(D3DTS_WORLD, &scale);
    drawFacingAndAway(0.5f);
    EXPECT_TRUE(colorNear(facingPixel(), 0xFF333333)); // 0.2
    device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    drawFacingAndAway(0.5f);
    EXPECT_TRUE(colorNear(facingPixel(), 0xFF666666)); // 0.4
    // Scaled by 0.5 the normals double: brighter.
    device->SetRenderState(D3DRS_NORMALIZENORMALS, FALSE);
    scale._11 = scale._22 = scale._33 = 0.5f;
    device->SetTransform(D3DTS_WORLD, &scale);
    drawFacingAndAway(2.0f);
    EXPECT_TRUE(colorNear(facingPixel(), 0xFFCCCCCC)); // 0.8
    // A non-uniform scale along x leaves a normal along z alone.
    scale._11 = 3.0f;
    scale._22 = scale._33 = 1.0f;
    device->SetTransform(D3DTS_WORLD, &scale);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    NormalVertex tri[3] = {
        {-0.3f, 1, 0.5f, 0, 0, -1}, {0, 1, 0.5f, 0, 0, -1}, {0, 0, 0.5f, 0, 0, -1}};
    drawTriangle(tri);
    EXPECT_TRUE(colorNear(readPixel(380, 20), 0xFF666666));
}

TEST_F(LightingTest, ZeroNormalsAndMissingNormalsGetAmbientAndEmissiveOnly) {
    directionalLight(rgb(1, 1, 1), rgb(0.2f, 0.2f, 0.2f), rgb(1, 1, 1));
    material(rgb(1, 1, 1), rgb(1, 1, 1), rgb(1, 1, 1), rgb(0.0f, 0.0f, 0.2f), 4.0f);
    device->SetRenderState(D3DRS_AMBIENT, 0x00333333);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    NormalVertex zero[4] = {{-1, 1, 0.5f, 0, 0, 0},
                            {0, 1, 0.5f, 0, 0, 0},
                            {0, 0, 0.5f, 0, 0, 0},
                            {-1, 0, 0.5f, 0, 0, 0}};
    PlainVertex bare[4] = {{0, 1, 0.5f}, {1, 1, 0.5f}, {1, 0, 0.5f}, {0, 0, 0.5f}};
    for (BOOL normalize : {FALSE, TRUE}) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetRenderState(D3DRS_NORMALIZENORMALS, normalize);
        device->BeginScene();
        device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, zero, sizeof(NormalVertex)),
                  D3D_OK);
        device->SetVertexShader(D3DFVF_XYZ);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, bare, sizeof(PlainVertex)), D3D_OK);
        device->EndScene();
        // 0.2 global + 0.2 light ambient, plus 0.2 emissive blue.
        EXPECT_TRUE(colorNear(facingPixel(), 0xFF666699)) << "normalize " << normalize;
        EXPECT_TRUE(colorNear(awayPixel(), 0xFF666699)) << "normalize " << normalize;
    }
}

TEST_F(LightingTest, VertexColoursFeedTheMaterialSourcesOnlyWithColorVertex) {
    directionalLight(rgb(1, 1, 1));
    material(rgb(1, 0, 0), rgb(0, 0, 1));
    device->SetRenderState(D3DRS_AMBIENT, 0x00808080);
    NormalColorVertex quad[4] = {{-1, 1, 0.5f, 0, 0, -1, 0xFF00FF00},
                                 {0, 1, 0.5f, 0, 0, -1, 0xFF00FF00},
                                 {0, 0, 0.5f, 0, 0, -1, 0xFF00FF00},
                                 {-1, 0, 0.5f, 0, 0, -1, 0xFF00FF00}};
    auto draw = [&] {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE);
        device->BeginScene();
        device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(NormalColorVertex));
        device->EndScene();
        return facingPixel();
    };
    // Defaults: diffuse from the vertex (green), ambient from the material (blue x 0.5).
    EXPECT_TRUE(colorNear(draw(), 0xFF00FF80));
    device->SetRenderState(D3DRS_COLORVERTEX, FALSE);
    EXPECT_TRUE(colorNear(draw(), 0xFFFF0080));
    device->SetRenderState(D3DRS_COLORVERTEX, TRUE);
    device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
    device->SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_COLOR1);
    EXPECT_TRUE(colorNear(draw(), 0xFFFF8000));
    // COLOR2 names the specular colour, which this format lacks: the material stands in.
    device->SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_COLOR2);
    EXPECT_TRUE(colorNear(draw(), 0xFFFF0080));
    device->SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_COLOR1);
    EXPECT_TRUE(colorNear(draw(), 0xFFFFFF80));
}

TEST_F(LightingTest, MaterialAlphaReachesTheBlend) {
    directionalLight(rgb(1, 1, 1));
    material(rgb(0, 0, 1, 0.25f));
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    drawFacingAndAway();
    // 0.25 x (0, 0, 1) + 0.75 x white; the face turned away is black at a quarter.
    EXPECT_TRUE(colorNear(facingPixel(), 0xFFBFBFFF));
    EXPECT_TRUE(colorNear(awayPixel(), 0xFFBFBFBF));
}

TEST_F(LightingTest, LightsAddUpAndPointLightsFollowTheirAttenuation) {
    material(rgb(1, 1, 1));
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = rgb(0.1f, 0.1f, 0.1f);
    light.Direction = {0.0f, 0.0f, 1.0f};
    // Eight directional lights at 0.1 each.
    for (DWORD i = 0; i < 8; ++i) {
        ASSERT_EQ(device->SetLight(i, &light), D3D_OK);
        ASSERT_EQ(device->LightEnable(i, TRUE), D3D_OK);
    }
    drawFacingAndAway();
    EXPECT_TRUE(colorNear(facingPixel(), 0xFFCCCCCC));
    for (DWORD i = 0; i < 8; ++i) {
        device->LightEnable(i, FALSE);
    }
    // A point light straight in front of the triangle's first vertex at distance 2, with
    // attenuation 1 / (0 + 0.5 d) = 1: full light there; flat shading reads that vertex.
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = rgb(1, 1, 1);
    light.Position = {0.5f, 0.0f, -1.5f};
    light.Range = 10.0f;
    light.Attenuation1 = 0.5f;
    device->SetLight(3, &light);
    device->LightEnable(3, TRUE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    NormalVertex tri[3] = {
        {0.5f, 0, 0.5f, 0, 0, -1}, {1, 0, 0.5f, 0, 0, -1}, {1, -0.5f, 0.5f, 0, 0, -1}};
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);
    drawTriangle(tri);
    EXPECT_TRUE(colorNear(readPixel(760, 320), 0xFFFFFFFF));
    // Out of range: nothing.
    light.Range = 1.5f;
    device->SetLight(3, &light);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    drawTriangle(tri);
    EXPECT_TRUE(colorNear(readPixel(760, 320), 0xFF000000));
}

TEST_F(LightingTest, SpotLightsFadeBetweenTheirConesAndCutOffOutside) {
    material(rgb(1, 1, 1));
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_SPOT;
    light.Diffuse = rgb(1, 1, 1);
    light.Position = {0.5f, 0.0f, -1.5f}; // 2 in front of the lit vertex
    light.Direction = {0.0f, 0.0f, 1.0f}; // straight at it
    light.Range = 10.0f;
    light.Attenuation0 = 1.0f;
    light.Falloff = 1.0f;
    light.Theta = 0.0f;
    light.Phi = 2.0943951f; // 120 degrees: the outer cone's cosine is 0.5
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    NormalVertex tri[3] = {
        {0.5f, 0, 0.5f, 0, 0, -1}, {1, 0, 0.5f, 0, 0, -1}, {1, -0.5f, 0.5f, 0, 0, -1}};
    auto draw = [&] {
        device->SetLight(0, &light);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);
        drawTriangle(tri);
        return readPixel(760, 320);
    };
    // On the axis: rho = 1, full light.
    EXPECT_TRUE(colorNear(draw(), 0xFFFFFFFF));
    // Aimed 45 degrees aside: rho = 0.7071, (0.7071 - 0.5) / (1 - 0.5) = 0.4142 of the light.
    light.Direction = {1.0f, 0.0f, 1.0f};
    EXPECT_TRUE(colorNear(draw(), 0xFF6A6A6A));
    // An outer cone of 60 degrees (cosine 0.866) leaves the vertex outside: dark.
    light.Phi = 1.0471976f;
    EXPECT_TRUE(colorNear(draw(), 0xFF000000));
}

TEST_F(LightingTest, LightsAndMaterialsReadBackAsSet) {
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_SPOT;
    light.Diffuse = rgb(0.1f, 0.2f, 0.3f, 0.4f);
    light.Range = 7.0f;
    light.Phi = 1.0f;
    ASSERT_EQ(device->SetLight(9, &light), D3D_OK);
    D3DLIGHT8 back{};
    ASSERT_EQ(device->GetLight(9, &back), D3D_OK);
    EXPECT_EQ(std::memcmp(&light, &back, sizeof(light)), 0);
    BOOL enabled = TRUE;
    ASSERT_EQ(device->GetLightEnable(9, &enabled), D3D_OK);
    EXPECT_FALSE(enabled);
    EXPECT_EQ(device->GetLight(100, &back), D3DERR_INVALIDCALL);
    light.Type = static_cast<D3DLIGHTTYPE>(7);
    EXPECT_EQ(device->SetLight(0, &light), D3DERR_INVALIDCALL);
    D3DMATERIAL8 m{};
    m.Power = 12.5f;
    m.Emissive = rgb(0.5f, 0.25f, 0.125f);
    ASSERT_EQ(device->SetMaterial(&m), D3D_OK);
    D3DMATERIAL8 mb{};
    ASSERT_EQ(device->GetMaterial(&mb), D3D_OK);
    EXPECT_EQ(std::memcmp(&m, &mb, sizeof(m)), 0);
    EXPECT_EQ(device->SetMaterial(nullptr), D3DERR_INVALIDCALL);
}

} // namespace
