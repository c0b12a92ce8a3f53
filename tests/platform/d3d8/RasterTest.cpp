// Where pre-transformed triangles land, and what clears, depth, stencil and culling keep.
#include "DeviceFixture.h"

namespace {

int countColor(const std::vector<uint32_t>& pixels, uint32_t color) {
    int count = 0;
    for (uint32_t p : pixels) {
        count += (p == color) ? 1 : 0;
    }
    return count;
}

} // namespace

TEST_F(DeviceTest, ClearFillsTheTargetWithinTheViewportOnly) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0), D3D_OK);
    EXPECT_EQ(readPixel(0, 0), 0xFF102030u);
    EXPECT_EQ(readPixel(799, 599), 0xFF102030u);

    D3DVIEWPORT8 viewport{100, 50, 20, 10, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    // A rectangle reaching outside the viewport is clipped to it.
    D3DRECT rect{0, 0, 110, 800};
    ASSERT_EQ(device->Clear(1, &rect, D3DCLEAR_TARGET, 0x80FF0000, 1.0f, 0), D3D_OK);
    std::vector<uint32_t> pixels = readTarget();
    // An X8R8G8B8 target reads alpha as 1.
    EXPECT_EQ(countColor(pixels, 0xFFFF0000u), 10 * 10);
    EXPECT_EQ(pixels[50 * 800 + 100], 0xFFFF0000u);
    EXPECT_EQ(pixels[59 * 800 + 109], 0xFFFF0000u);
    EXPECT_EQ(pixels[59 * 800 + 110], 0xFF102030u);
    EXPECT_EQ(pixels[60 * 800 + 100], 0xFF102030u);

    // A rectangle pointer with a count of 0 clears nothing.
    ASSERT_EQ(device->Clear(0, &rect, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    EXPECT_EQ(readPixel(100, 50), 0xFFFF0000u);
}

TEST_F(DeviceTest, ClearOfDepthAndStencilDecidesLaterDraws) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL,
                            0xFF000000, 0.5f, 7),
              D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    // Depth cleared to 0.5 with LESSEQUAL: 0.6 fails, 0.4 passes.
    drawQuad(0, 0, 10, 10, 0xFFFF0000, 0.6f);
    drawQuad(10, 0, 20, 10, 0xFF00FF00, 0.4f);
    // Stencil cleared to 7: EQUAL 7 passes, EQUAL 6 fails.
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device->SetRenderState(D3DRS_STENCILREF, 7);
    drawQuad(20, 0, 30, 10, 0xFF0000FF);
    device->SetRenderState(D3DRS_STENCILREF, 6);
    drawQuad(30, 0, 40, 10, 0xFFFFFFFF);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    expectSquares(0xFF000000u, 0xFF00FF00u);
    EXPECT_EQ(readPixel(25, 5), 0xFF0000FFu);
    EXPECT_EQ(readPixel(35, 5), 0xFF000000u);
}

TEST_F(DeviceTest, DepthOnlyClearsKeepWhatTheStencilHolds) {
    // Which 10 x 10 squares along the top pass a stencil test of EQUAL `ref`: green where
    // they pass, on black.
    auto passing = [&](DWORD ref) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
        device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
        device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
        device->SetRenderState(D3DRS_STENCILREF, ref);
        device->BeginScene();
        drawQuad(0, 0, 60, 10, 0xFF00FF00);
        device->EndScene();
        device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
        std::vector<bool> squares;
        for (int x = 5; x < 60; x += 10) {
            squares.push_back(readPixel(x, 5) == 0xFF00FF00u);
        }
        return squares;
    };
    // A draw that writes 3 into the second square.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 7), D3D_OK);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    device->SetRenderState(D3DRS_STENCILREF, 3);
    device->BeginScene();
    drawQuad(10, 0, 20, 10, 0xFFFFFFFF);
    device->EndScene();
    device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(passing(3), (std::vector<bool>{false, true, false, false, false, false}));
    EXPECT_EQ(passing(7), (std::vector<bool>{true, false, true, true, true, true}));

    // A clear of the fifth square's stencil alone, through a small viewport, to 5.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 7), D3D_OK);
    const D3DVIEWPORT8 fifth{40, 0, 10, 10, 0.0f, 1.0f};
    const D3DVIEWPORT8 whole{0, 0, 800, 600, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&fifth), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 5), D3D_OK);
    ASSERT_EQ(device->SetViewport(&whole), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(passing(5), (std::vector<bool>{false, false, false, false, true, false}));

    // A whole stencil clear makes it one value again, which later depth clears keep.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 9), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(passing(9), std::vector<bool>(6, true));
}

TEST_F(DeviceTest, PreTransformedQuadsCoverExactlyTheirPixels) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    drawQuad(10, 10, 20, 20, 0xFFFFFFFF);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    std::vector<uint32_t> pixels = readTarget();
    EXPECT_EQ(countColor(pixels, 0xFFFFFFFFu), 100);
    for (int y = 10; y < 20; ++y) {
        for (int x = 10; x < 20; ++x) {
            ASSERT_EQ(pixels[y * 800 + x], 0xFFFFFFFFu) << x << ", " << y;
        }
    }

    device->BeginScene();
    drawQuad(0, 0, 800, 600, 0xFF00FF00);
    device->EndScene();
    EXPECT_EQ(countColor(readTarget(), 0xFF00FF00u), 800 * 600);
}

TEST_F(DeviceTest, TrianglesSharingAnEdgeDrawEachPixelOnce) {
    // Two additive halves of a quad: a pixel drawn twice would come out brighter.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ColorVertex list[6] = {{0, 0, 0, 1, 0xFF404040},   {16, 0, 0, 1, 0xFF404040},
                           {0, 16, 0, 1, 0xFF404040},  {16, 0, 0, 1, 0xFF404040},
                           {16, 16, 0, 1, 0xFF404040}, {0, 16, 0, 1, 0xFF404040}};
    device->SetVertexShader(COLOR_FVF);
    device->BeginScene();
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, list, sizeof(ColorVertex)), D3D_OK);
    device->EndScene();
    std::vector<uint32_t> pixels = readTarget();
    EXPECT_EQ(countColor(pixels, 0xFF404040u), 256);
}

TEST_F(DeviceTest, DefaultCullingRemovesCounterClockwiseTrianglesOnly) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    drawQuad(0, 0, 10, 10, 0xFFFF0000); // clockwise on screen
    // The same corners listed the other way round.
    ColorVertex ccw[4] = {{20, 0, 0.5f, 1, 0xFF00FF00},
                          {20, 10, 0.5f, 1, 0xFF00FF00},
                          {30, 10, 0.5f, 1, 0xFF00FF00},
                          {30, 0, 0.5f, 1, 0xFF00FF00}};
    device->SetVertexShader(COLOR_FVF);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, ccw, sizeof(ColorVertex));
    device->EndScene();
    EXPECT_EQ(readPixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(readPixel(25, 5), 0xFF000000u);

    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->BeginScene();
    drawQuad(0, 20, 10, 30, 0xFFFF0000);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, ccw, sizeof(ColorVertex));
    device->EndScene();
    EXPECT_EQ(readPixel(5, 25), 0xFF000000u);
    EXPECT_EQ(readPixel(25, 5), 0xFF00FF00u);
}

TEST_F(DeviceTest, DepthTestAndWritesFollowTheStates) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    drawQuad(0, 0, 10, 10, 0xFFFF0000, 0.3f);
    drawQuad(0, 0, 10, 10, 0xFF00FF00, 0.5f); // behind: fails LESSEQUAL
    drawQuad(0, 0, 10, 10, 0xFF0000FF, 0.3f); // equal: passes LESSEQUAL
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
    drawQuad(10, 0, 20, 10, 0xFFFFFF00, 0.5f); // 0.5 > 1.0 fails
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    drawQuad(20, 0, 30, 10, 0xFFFF00FF, 0.2f); // drawn, depth stays 1.0
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    drawQuad(20, 0, 30, 10, 0xFF00FFFF, 0.9f); // passes because 0.2 was not written
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    drawQuad(0, 0, 10, 10, 0xFFFFFFFF, 0.9f); // no test at all
    device->EndScene();
    expectSquares(0xFFFFFFFFu, 0xFF000000u);
    EXPECT_EQ(readPixel(25, 5), 0xFF00FFFFu);
}

TEST_F(DeviceTest, StencilNotEqualReplaceDarkensOverlapsOnce) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_STENCIL, 0xFFC8C8C8, 1.0f, 0);
    useShadowStencil();
    device->BeginScene();
    drawQuad(0, 0, 20, 20, 0x80000000);
    drawQuad(10, 10, 30, 30, 0x80000000);
    device->EndScene();
    // 200 x (1 - 128/255) = 99.6: each darkened pixel is darkened exactly once.
    uint32_t once = readPixel(5, 5);
    EXPECT_TRUE(colorNear(once, 0xFF646464));
    EXPECT_EQ(readPixel(15, 15), once);
    EXPECT_EQ(readPixel(25, 25), once);
    EXPECT_EQ(readPixel(35, 35), 0xFFC8C8C8u);
}

TEST_F(DeviceTest, StencilOperationsWrapOrSaturate) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_STENCIL, 0xFF000000, 1.0f, 255);
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    device->BeginScene();
    // INCRSAT keeps 255 on the left; INCR wraps to 0 on the right.
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INCRSAT);
    drawQuad(0, 0, 10, 10, 0xFFFFFFFF);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INCR);
    drawQuad(10, 0, 20, 10, 0xFFFFFFFF);
    // Then show which pixels hold 0.
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device->SetRenderState(D3DRS_STENCILREF, 0);
    drawQuad(0, 0, 20, 10, 0xFF00FF00);
    device->EndScene();
    expectSquares(0xFF000000u, 0xFF00FF00u);
}

TEST_F(DeviceTest, DrawingIsConfinedToTheViewport) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    D3DVIEWPORT8 viewport{10, 10, 5, 5, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    device->BeginScene();
    drawQuad(0, 0, 100, 100, 0xFFFFFFFF);
    device->EndScene();
    D3DVIEWPORT8 full{0, 0, 800, 600, 0.0f, 1.0f};
    device->SetViewport(&full);
    std::vector<uint32_t> pixels = readTarget();
    EXPECT_EQ(countColor(pixels, 0xFFFFFFFFu), 25);
    EXPECT_EQ(pixels[10 * 800 + 10], 0xFFFFFFFFu);
    EXPECT_EQ(pixels[14 * 800 + 14], 0xFFFFFFFFu);
}

TEST_F(DeviceTest, AlphaTestComparesTheEightBitAlpha) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    device->BeginScene();
    drawQuad(0, 0, 10, 10, 0x80FF0000);
    drawQuad(10, 0, 20, 10, 0x7FFF0000);
    device->EndScene();
    expectSquares(0xFFFF0000u, 0xFF000000u);
}

TEST_F(DeviceTest, EveryPrimitiveTypeDraws) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetVertexShader(COLOR_FVF);
    const D3DCOLOR white = 0xFFFFFFFF;
    ColorVertex points[2] = {{5, 5, 0, 1, white}, {7, 5, 0, 1, white}};
    ColorVertex lines[4] = {
        {0, 10, 0, 1, white}, {10, 10, 0, 1, white}, {0, 12, 0, 1, white}, {10, 12, 0, 1, white}};
    ColorVertex strip[3] = {{0, 14, 0, 1, white}, {10, 14, 0, 1, white}, {10, 16, 0, 1, white}};
    ColorVertex triangles[4] = {
        {20, 0, 0, 1, white}, {30, 0, 0, 1, white}, {20, 10, 0, 1, white}, {30, 10, 0, 1, white}};
    device->BeginScene();
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 2, points, sizeof(ColorVertex)), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_LINELIST, 2, lines, sizeof(ColorVertex)), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_LINESTRIP, 2, strip, sizeof(ColorVertex)), D3D_OK);
    // A strip's second triangle winds the other way as listed; it is not culled.
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, triangles, sizeof(ColorVertex)),
              D3D_OK);
    device->EndScene();
    std::vector<uint32_t> p = readTarget();
    // Points of size 1 cover the pixel they are centred on.
    EXPECT_EQ(p[5 * 800 + 5], white);
    EXPECT_EQ(p[5 * 800 + 7], white);
    EXPECT_EQ(p[5 * 800 + 6], 0xFF000000u);
    EXPECT_EQ(p[10 * 800 + 5], white);
    EXPECT_EQ(p[12 * 800 + 5], white);
    EXPECT_EQ(p[11 * 800 + 5], 0xFF000000u);
    EXPECT_EQ(p[14 * 800 + 5], white);
    EXPECT_EQ(p[15 * 800 + 10], white);
    EXPECT_EQ(p[2 * 800 + 22], white);
    EXPECT_EQ(p[8 * 800 + 28], white);
}

TEST_F(DeviceTest, WireframeFillDrawsTheEdgesOnly) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    device->BeginScene();
    drawQuad(10, 10, 40, 40, 0xFFFFFFFF);
    device->EndScene();
    EXPECT_EQ(readPixel(25, 10), 0xFFFFFFFFu);
    EXPECT_EQ(readPixel(20, 30), 0xFF000000u);
}
