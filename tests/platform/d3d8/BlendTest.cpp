// Every blend factor on known colours, compared with src x srcFactor + dest x destFactor
// worked out per channel.
#include "DeviceFixture.h"

#include <algorithm>
#include <cmath>

namespace {

// The factor a blend value stands for, given source and destination.
Rgba factor(DWORD blend, const Rgba& s, const Rgba& d) {
    switch (blend) {
    case D3DBLEND_ZERO:
        return {0, 0, 0, 0};
    case D3DBLEND_ONE:
        return {1, 1, 1, 1};
    case D3DBLEND_SRCCOLOR:
        return s;
    case D3DBLEND_INVSRCCOLOR:
        return {1 - s.r, 1 - s.g, 1 - s.b, 1 - s.a};
    case D3DBLEND_SRCALPHA:
        return {s.a, s.a, s.a, s.a};
    case D3DBLEND_INVSRCALPHA:
        return {1 - s.a, 1 - s.a, 1 - s.a, 1 - s.a};
    case D3DBLEND_DESTALPHA:
        return {d.a, d.a, d.a, d.a};
    case D3DBLEND_INVDESTALPHA:
        return {1 - d.a, 1 - d.a, 1 - d.a, 1 - d.a};
    case D3DBLEND_DESTCOLOR:
        return d;
    case D3DBLEND_INVDESTCOLOR:
        return {1 - d.r, 1 - d.g, 1 - d.b, 1 - d.a};
    default: { // SRCALPHASAT
        double f = std::min(s.a, 1 - d.a);
        return {f, f, f, 1};
    }
    }
}

uint32_t blend(uint32_t source, uint32_t dest, DWORD srcBlend, DWORD destBlend) {
    Rgba s = unpack(source), d = unpack(dest);
    if (srcBlend == D3DBLEND_BOTHSRCALPHA) {
        srcBlend = D3DBLEND_SRCALPHA;
        destBlend = D3DBLEND_INVSRCALPHA;
    } else if (srcBlend == D3DBLEND_BOTHINVSRCALPHA) {
        srcBlend = D3DBLEND_INVSRCALPHA;
        destBlend = D3DBLEND_SRCALPHA;
    }
    Rgba fs = factor(srcBlend, s, d), fd = factor(destBlend, s, d);
    auto mix = [](double sv, double f, double dv, double g) {
        double v = std::clamp(sv * f + dv * g, 0.0, 1.0);
        return static_cast<uint32_t>(std::lround(v * 255.0));
    };
    // The target has no alpha: it reads back as 1.
    return 0xFF000000u | mix(s.r, fs.r, d.r, fd.r) << 16 | mix(s.g, fs.g, d.g, fd.g) << 8 |
           mix(s.b, fs.b, d.b, fd.b);
}

} // namespace

TEST_F(DeviceTest, EveryBlendFactorCombinationMatchesTheFormula) {
    const uint32_t dest = 0xFF336699;
    const uint32_t source = 0x60C08040;
    device->Clear(0, nullptr, D3DCLEAR_TARGET, dest, 1.0f, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    // One 2 x 2 cell per combination, all in one frame. The two BOTH values are source
    // settings that choose the destination factor too.
    for (DWORD s = D3DBLEND_ZERO; s <= D3DBLEND_BOTHINVSRCALPHA; ++s) {
        for (DWORD d = D3DBLEND_ZERO; d <= D3DBLEND_SRCALPHASAT; ++d) {
            ASSERT_EQ(device->SetRenderState(D3DRS_SRCBLEND, s), D3D_OK);
            ASSERT_EQ(device->SetRenderState(D3DRS_DESTBLEND, d), D3D_OK);
            float x = static_cast<float>(d * 4), y = static_cast<float>(s * 4);
            drawQuad(x, y, x + 2, y + 2, source);
        }
    }
    ASSERT_EQ(device->EndScene(), D3D_OK);
    std::vector<uint32_t> pixels = readTarget();
    for (DWORD s = D3DBLEND_ZERO; s <= D3DBLEND_BOTHINVSRCALPHA; ++s) {
        for (DWORD d = D3DBLEND_ZERO; d <= D3DBLEND_SRCALPHASAT; ++d) {
            uint32_t actual = pixels[(s * 4) * 800 + d * 4];
            EXPECT_TRUE(colorNear(actual, blend(source, dest, s, d)))
                << "SRCBLEND " << s << " DESTBLEND " << d;
        }
    }
}

TEST_F(DeviceTest, BlendingIsOffByDefaultAndBlendOpsApply) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF808080, 1.0f, 0);
    device->BeginScene();
    drawQuad(0, 0, 4, 4, 0x10204060); // replaces: alpha is ignored without blending
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_REVSUBTRACT);
    drawQuad(4, 0, 8, 4, 0xFF204060); // dest - src
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_MAX);
    drawQuad(8, 0, 12, 4, 0xFF20A060);
    device->EndScene();
    EXPECT_EQ(readPixel(1, 1), 0xFF204060u);
    EXPECT_EQ(readPixel(5, 1), 0xFF604020u);
    EXPECT_EQ(readPixel(9, 1), 0xFF80A080u);
}
