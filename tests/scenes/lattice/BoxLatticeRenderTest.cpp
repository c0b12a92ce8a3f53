#include "LatticeSceneFixture.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace {

using LatticeRender = LatticeSceneFixture;
using States = std::vector<std::pair<uint32_t, uint32_t>>;

struct Quad {
    float centreX;
    float centreY;
    float radius; // from the centre to the first corner
    uint32_t alpha;
};

Quad quadOf(const RecordedCall& draw) {
    const std::vector<ScreenVertex>& v = draw.vertices;
    Quad quad{};
    quad.centreX = (v[0].x + v[2].x) * 0.5f;
    quad.centreY = (v[0].y + v[2].y) * 0.5f;
    quad.radius = std::hypot(v[0].x - quad.centreX, v[0].y - quad.centreY);
    quad.alpha = v[0].color >> 24;
    return quad;
}

// The material alpha the cubes were drawn with, and that every cube used the same.
float cubeAlpha(const LatticeRecorder& device) {
    std::vector<RecordedCall> materials = device.named("SetMaterial");
    EXPECT_FALSE(materials.empty());
    if (materials.empty()) {
        return -1.0f;
    }
    for (const RecordedCall& m : materials) {
        EXPECT_EQ(m.floats, materials[0].floats);
    }
    return materials[0].floats[3];
}

TEST_F(LatticeRender, TheFirstFrameComesBeforeAnyUpdateWithAllCubesInOne) {
    render();
    std::vector<RecordedCall> clears = device.named("Clear");
    ASSERT_EQ(clears.size(), 1u);
    EXPECT_EQ(clears[0].args,
              (std::vector<uint64_t>{0, 0, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 0}));
    EXPECT_EQ(clears[0].floats[0], 1.0f);
    EXPECT_EQ(device.calls[0].name, "Clear");

    std::vector<D3DVECTOR> cubes = device.cubePositions();
    ASSERT_EQ(cubes.size(), 36u);
    for (const D3DVECTOR& p : cubes) {
        EXPECT_EQ(p.x, 0.0f);
        EXPECT_EQ(p.y, 0.0f);
        EXPECT_EQ(p.z, 0.0f);
    }
    EXPECT_EQ(device.named("DrawSubset").size(), 36u);
    EXPECT_EQ(device.named("SetTransform").size(), 36u) << "only world transforms";
    EXPECT_FLOAT_EQ(cubeAlpha(device), 660.0f / 540.0f);
    EXPECT_EQ(device.renderStates(), (States{{D3DRS_ZWRITEENABLE, FALSE},
                                             {D3DRS_ALPHABLENDENABLE, FALSE},
                                             {D3DRS_ZWRITEENABLE, TRUE},
                                             {D3DRS_ALPHABLENDENABLE, FALSE}}));
    EXPECT_TRUE(device.named("SetTextureStageState").empty());

    // Both images come before the cubes, with z-writes off.
    std::vector<std::string> names = device.names();
    size_t firstCube = 0;
    while (firstCube < names.size() && names[firstCube] != "DrawSubset") {
        ++firstCube;
    }
    int imagesBefore = 0;
    for (size_t i = 0; i < firstCube; ++i) {
        imagesBefore += names[i] == "DrawPrimitiveUP";
    }
    EXPECT_EQ(imagesBefore, 2);
    EXPECT_EQ(device.named("DrawPrimitiveUP").size(), 2u);
}

TEST_F(LatticeRender, TheGridDrawsEachFlierMirroredThenTheLayersSixTimesOver) {
    updateTo(225);
    render();
    std::vector<D3DVECTOR> cubes = device.cubePositions();
    ASSERT_EQ(cubes.size(), 36u);
    for (int i = 0; i < 9; ++i) {
        float x = static_cast<float>(scene.fliers[i].x);
        float y = static_cast<float>(scene.fliers[i].y);
        const float expected[4][2] = {{x, y}, {-x, y}, {x, -y}, {-x, -y}};
        for (int k = 0; k < 4; ++k) {
            const D3DVECTOR& p = cubes[4 * i + k];
            EXPECT_EQ(p.x, expected[k][0]) << "flier " << i << " corner " << k;
            EXPECT_EQ(p.y, expected[k][1]) << "flier " << i << " corner " << k;
            EXPECT_EQ(p.z, 0.0f);
        }
    }

    updateTo(226);
    render();
    cubes = device.cubePositions();
    ASSERT_EQ(cubes.size(), 216u) << "six coinciding layers that only now part";
    updateTo(450);
    render();
    cubes = device.cubePositions();
    ASSERT_EQ(cubes.size(), 216u);
    std::set<std::vector<long>> cells;
    const double unit = 45 * static_cast<double>(0.0015f);
    for (int i = 0; i < 9; ++i) {
        for (int j = 0; j < 6; ++j) {
            for (int k = 0; k < 4; ++k) {
                const D3DVECTOR& p = cubes[24 * i + 4 * j + k];
                EXPECT_EQ(p.z, static_cast<float>(scene.layerDepth[j]))
                    << "flier " << i << " layer " << j;
                cells.insert(
                    {std::lround(p.x / unit), std::lround(p.y / unit), std::lround(p.z / unit)});
            }
        }
    }
    EXPECT_EQ(cells.size(), 216u) << "every cube of the 6 x 6 x 6 lattice has its own place";
}

TEST_F(LatticeRender, TheLatticeStaysOpaqueTo450AndFadesIntoTheWhiteTo630) {
    updateTo(450);
    render();
    EXPECT_FLOAT_EQ(cubeAlpha(device), 90.0f / 540.0f);
    std::pair<uint32_t, uint32_t> opaque{D3DRS_ALPHABLENDENABLE, FALSE};
    EXPECT_EQ(device.renderStates()[1], opaque);

    updateTo(451);
    render();
    EXPECT_EQ(device.renderStates(), (States{{D3DRS_ZWRITEENABLE, FALSE},
                                             {D3DRS_ALPHABLENDENABLE, TRUE},
                                             {D3DRS_SRCBLEND, D3DBLEND_ONE},
                                             {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
                                             {D3DRS_ZWRITEENABLE, TRUE},
                                             {D3DRS_ALPHABLENDENABLE, FALSE}}));
    EXPECT_FLOAT_EQ(cubeAlpha(device), 179.0f / 120.0f);
    EXPECT_EQ(device.cubePositions().size(), 216u);
    EXPECT_EQ(device.named("DrawPrimitiveUP").size(), 2u);
    EXPECT_TRUE(device.named("SetTextureStageState").empty());

    updateTo(570);
    render();
    EXPECT_FLOAT_EQ(cubeAlpha(device), 0.5f);
    updateTo(630);
    render();
    EXPECT_EQ(cubeAlpha(device), 0.0f);
    EXPECT_EQ(device.cubePositions().size(), 216u) << "the last fading frame still draws";
}

TEST_F(LatticeRender, DriftingImagesSpinAndDriftOncePerRenderedFrame) {
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(scene.update(), 0);
    }
    EXPECT_EQ(BoxLatticeScene::spinAngle, 0.0) << "updates alone move nothing";
    EXPECT_EQ(BoxLatticeScene::scrollOffset, 0.0);
    for (int i = 0; i < 9; ++i) {
        render();
    }
    render(); // the tenth rendered frame
    EXPECT_EQ(BoxLatticeScene::spinAngle, 20.0);
    EXPECT_EQ(BoxLatticeScene::scrollOffset, 15.0);
    std::vector<RecordedCall> draws = device.named("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 2u);
    const float corner = 128.0f * std::sqrt(2.0f);
    Quad upper = quadOf(draws[0]);
    EXPECT_NEAR(upper.centreX, 15.0f + 128.0f, 1e-3);
    EXPECT_NEAR(upper.centreY, -30.0f + 128.0f, 1e-3);
    EXPECT_NEAR(upper.radius, corner, 1e-3) << "rotated about its centre";
    EXPECT_EQ(upper.alpha, 255u);
    Quad lower = quadOf(draws[1]);
    EXPECT_NEAR(lower.centreX, 800.0f - 15.0f - 128.0f, 1e-3);
    EXPECT_NEAR(lower.centreY, 370.0f + 128.0f, 1e-3) << "the height comes from the width";
    EXPECT_EQ(scene.back1Sprite.angle, 20.0f);
    EXPECT_EQ(scene.back2Sprite.angle, -20.0f);
    // The first corner turns clockwise on the upper image, the other way on the lower.
    const RecordedCall& first = draws[0];
    double upperTurn =
        std::atan2(first.vertices[0].y - upper.centreY, first.vertices[0].x - upper.centreX);
    double lowerTurn =
        std::atan2(draws[1].vertices[0].y - lower.centreY, draws[1].vertices[0].x - lower.centreX);
    EXPECT_NEAR(upperTurn * 180.0 / M_PI, 20.0, 1e-2);
    EXPECT_NEAR(lowerTurn * 180.0 / M_PI, -20.0, 1e-2);
}

TEST_F(LatticeRender, ClosingFramesSetTheirBlendAndStagesAndDrawOnlyTheThreeImages) {
    updateTo(631);
    render();
    EXPECT_EQ(device.renderStates(), (States{{D3DRS_ZWRITEENABLE, FALSE},
                                             {D3DRS_ALPHABLENDENABLE, TRUE},
                                             {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
                                             {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA}}));
    std::vector<std::vector<uint64_t>> stages;
    for (const RecordedCall& call : device.named("SetTextureStageState")) {
        stages.push_back(call.args);
    }
    EXPECT_EQ(stages, (std::vector<std::vector<uint64_t>>{{0, D3DTSS_ALPHAOP, D3DTOP_MODULATE},
                                                          {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
                                                          {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
                                                          {0, D3DTSS_COLOROP, D3DTOP_MODULATE},
                                                          {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
                                                          {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE}}));
    EXPECT_TRUE(device.named("DrawSubset").empty());
    EXPECT_TRUE(device.named("SetMaterial").empty());
    std::vector<RecordedCall> draws = device.named("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 3u);
    // First closing frame: 4 pixels in, alpha 5.
    EXPECT_FLOAT_EQ(draws[0].vertices[0].x, -124.0f);
    EXPECT_FLOAT_EQ(draws[0].vertices[0].y, 40.0f);
    EXPECT_FLOAT_EQ(draws[0].vertices[2].x, 132.0f);
    EXPECT_FLOAT_EQ(draws[1].vertices[0].x, 668.0f);
    EXPECT_FLOAT_EQ(draws[1].vertices[0].y, 304.0f);
    EXPECT_FLOAT_EQ(draws[2].vertices[0].x, 668.0f);
    EXPECT_FLOAT_EQ(draws[2].vertices[0].y, 48.0f);
    for (const RecordedCall& draw : draws) {
        EXPECT_EQ(draw.vertices[0].color, 0x05FFFFFFu);
    }
}

TEST_F(LatticeRender, TheClosingImagesSlideInStayAndSlideOutFading) {
    updateTo(631);
    int logoHome = 0;
    int speedSpent = 0;
    int opaque = 0;
    // The slide-in worked out here from the starting place, speed and alpha.
    double modelX = -128.0;
    double modelSpeed = 4.0;
    double modelAlpha = 0.0;
    for (int frame = 1; frame <= 96; ++frame) {
        render();
        modelAlpha = std::min(modelAlpha + 5.0, 255.0);
        modelX += modelSpeed;
        modelSpeed = std::max(modelSpeed - 0.04500000178813934, 0.0);
        modelX = std::min(modelX, 0.0);
        if (logoHome == 0 && BoxLatticeScene::logoX == 0.0) {
            logoHome = frame;
        }
        if (speedSpent == 0 && BoxLatticeScene::logoSpeed == 0.0) {
            speedSpent = frame;
        }
        if (opaque == 0 && BoxLatticeScene::logoAlpha == 255.0) {
            opaque = frame;
        }
        EXPECT_LE(BoxLatticeScene::logoX, 0.0);
        EXPECT_GE(BoxLatticeScene::logoSpeed, 0.0);
        EXPECT_LE(BoxLatticeScene::logoAlpha, 255.0);
        std::vector<RecordedCall> draws = device.named("DrawPrimitiveUP");
        ASSERT_EQ(draws.size(), 3u);
        // The logo slides in from the left, the companions mirror it from the right.
        EXPECT_FLOAT_EQ(draws[0].vertices[0].x, static_cast<float>(modelX)) << "frame " << frame;
        EXPECT_FLOAT_EQ(draws[1].vertices[0].x, static_cast<float>(800.0 - modelX - 256.0))
            << "frame " << frame;
        EXPECT_FLOAT_EQ(draws[2].vertices[0].x, static_cast<float>(800.0 - modelX - 256.0))
            << "frame " << frame;
        for (const RecordedCall& draw : draws) {
            EXPECT_EQ(draw.vertices[0].color >> 24, static_cast<uint32_t>(modelAlpha))
                << "frame " << frame;
        }
    }
    EXPECT_EQ(logoHome, 42);
    EXPECT_EQ(speedSpent, 89);
    EXPECT_EQ(opaque, 51);
    BoxLatticeScene::logoAlpha = 254.9;
    scene.frameCount = 726;
    render();
    EXPECT_EQ(device.named("DrawPrimitiveUP")[0].vertices[0].color >> 24, 255u)
        << "254.9 + 5 is held at 255";

    scene.frameCount = 727;
    int faded = 0;
    double previousX = BoxLatticeScene::logoX;
    std::vector<double> steps;
    for (int frame = 1; frame <= 44; ++frame) {
        render();
        if (faded == 0 && BoxLatticeScene::logoAlpha == 0.0) {
            faded = frame;
        }
        steps.push_back(BoxLatticeScene::logoX - previousX);
        previousX = BoxLatticeScene::logoX;
    }
    EXPECT_EQ(faded, 26);
    EXPECT_EQ(steps[0], 0.0) << "the speed was spent when the slide-out began";
    EXPECT_NEAR(steps[1], -0.09, 1e-6);
    EXPECT_NEAR(steps[2], -0.18, 1e-6);
    EXPECT_NEAR(steps[3], -0.27, 1e-6);

    // From 771 the closing state stands still; the images, now clear, are still drawn.
    scene.frameCount = 771;
    double x = BoxLatticeScene::logoX;
    double speed = BoxLatticeScene::logoSpeed;
    render();
    EXPECT_EQ(BoxLatticeScene::logoX, x);
    EXPECT_EQ(BoxLatticeScene::logoSpeed, speed);
    EXPECT_EQ(BoxLatticeScene::logoAlpha, 0.0);
    std::vector<RecordedCall> draws = device.named("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].vertices[0].color >> 24, 0u);
}

TEST_F(LatticeRender, TruncatesTheClosingAlpha) {
    BoxLatticeScene::logoAlpha = 12.7;
    scene.frameCount = 800;
    render();
    for (const RecordedCall& draw : device.named("DrawPrimitiveUP")) {
        EXPECT_EQ(draw.vertices[0].color >> 24, 12u);
    }
}

} // namespace
