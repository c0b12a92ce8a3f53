#include "gfx/ScreenVertex.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectCorner(const QuadCorners& q, int i, float x, float y, float tolerance = 0.0f) {
    EXPECT_NEAR(q.x[i], x, tolerance) << "corner " << i;
    EXPECT_NEAR(q.y[i], y, tolerance) << "corner " << i;
}

TEST(QuadGeometry, UnrotatedUnscaledIsTheRectangleInFanOrder) {
    QuadCorners q = computeQuadCorners(10.0f, 20.0f, 300.0f, 40.0f, 1.0f, 225.0f);
    EXPECT_FALSE(q.rotated);
    expectCorner(q, 0, 10.0f, 20.0f);
    expectCorner(q, 1, 310.0f, 20.0f);
    expectCorner(q, 2, 310.0f, 60.0f);
    expectCorner(q, 3, 10.0f, 60.0f);
    const float us[4] = {0, 1, 1, 0};
    const float vs[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(q.u[i], us[i]);
        EXPECT_EQ(q.v[i], vs[i]);
    }
}

TEST(QuadGeometry, ScaleShrinksOrGrowsAboutTheCentre) {
    QuadCorners half = computeQuadCorners(0.0f, 0.0f, 100.0f, 100.0f, 0.5f, 225.0f);
    expectCorner(half, 0, 25.0f, 25.0f);
    expectCorner(half, 2, 75.0f, 75.0f);

    QuadCorners twice = computeQuadCorners(100.0f, 100.0f, 50.0f, 20.0f, 2.0f, 225.0f);
    expectCorner(twice, 0, 75.0f, 90.0f);
    expectCorner(twice, 2, 175.0f, 130.0f);

    QuadCorners none = computeQuadCorners(0.0f, 0.0f, 100.0f, 60.0f, 0.0f, 225.0f);
    for (int i = 0; i < 4; ++i) {
        expectCorner(none, i, 50.0f, 30.0f);
    }
}

TEST(QuadGeometry, RotatedQuadIsASquareOfSideWAboutTheCentre) {
    // w = 100, h = 50: a 100 x 100 square centred at (x + 50, y + 25).
    QuadCorners q = computeQuadCorners(10.0f, 10.0f, 100.0f, 50.0f, 1.0f, 0.0f);
    EXPECT_TRUE(q.rotated);
    float cx = 0, cy = 0;
    for (int i = 0; i < 4; ++i) {
        cx += q.x[i] / 4;
        cy += q.y[i] / 4;
    }
    EXPECT_NEAR(cx, 60.0f, 1e-3f);
    EXPECT_NEAR(cy, 35.0f, 1e-3f);
    for (int i = 0; i < 4; ++i) {
        int j = (i + 1) % 4;
        float side = std::hypot(q.x[j] - q.x[i], q.y[j] - q.y[i]);
        EXPECT_NEAR(side, 100.0f, 1e-3f) << "side " << i;
    }
    // Angle 0 puts the first corner straight right of the centre.
    expectCorner(q, 0, 60.0f + 50.0f * std::sqrt(2.0f), 35.0f, 1e-3f);
    // Clockwise on screen (y down): the next corner is straight below.
    expectCorner(q, 1, 60.0f, 35.0f + 50.0f * std::sqrt(2.0f), 1e-3f);
}

TEST(QuadGeometry, FullTurnTakesTheRotatedPathWithTheUprightCornersOnlyForSquares) {
    QuadCorners square = computeQuadCorners(0.0f, 0.0f, 64.0f, 64.0f, 1.0f, 225.0f + 360.0f);
    EXPECT_TRUE(square.rotated);
    expectCorner(square, 0, 0.0f, 0.0f, 1e-3f);
    expectCorner(square, 1, 64.0f, 0.0f, 1e-3f);
    expectCorner(square, 2, 64.0f, 64.0f, 1e-3f);
    expectCorner(square, 3, 0.0f, 64.0f, 1e-3f);

    QuadCorners wide = computeQuadCorners(0.0f, 0.0f, 64.0f, 32.0f, 1.0f, 225.0f + 360.0f);
    expectCorner(wide, 0, 0.0f, -16.0f, 1e-3f);
    expectCorner(wide, 2, 64.0f, 48.0f, 1e-3f);
}

TEST(ScreenVertexPacking, ComponentsKeepOnlyTheirLowEightBits) {
    EXPECT_EQ(packColor(255, 255, 255, 255), 0xFFFFFFFFu);
    EXPECT_EQ(packColor(255, 256, 0, 511), 0xFF0000FFu);
    EXPECT_EQ(packColor(128, 300, 0, 0), 0x802C0000u);
    EXPECT_EQ(packColor(-1, 1, 2, 3), 0xFF010203u);

    ScreenVertex vertex;
    setScreenVertex(&vertex, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 0x11223344u);
    EXPECT_EQ(vertex.x, 1.0f);
    EXPECT_EQ(vertex.y, 2.0f);
    EXPECT_EQ(vertex.z, 3.0f);
    EXPECT_EQ(vertex.rhw, 4.0f);
    EXPECT_EQ(vertex.u, 5.0f);
    EXPECT_EQ(vertex.v, 6.0f);
    EXPECT_EQ(vertex.color, 0x11223344u);
}

} // namespace
