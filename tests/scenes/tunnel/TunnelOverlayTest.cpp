#include "RuntimeDraws.h"
#include "TunnelSceneFixture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// One quad the scene drew, read back from its four vertices.
struct DrawnQuad {
    float x, y, w, h; // screen rectangle
    float srcX, srcY; // texel corner on the 256 x 256 sheet
    float srcW, srcH; // texel size
    uint32_t color;
};

std::vector<DrawnQuad> quadsOf(const RecordingDevice& recorder) {
    std::vector<DrawnQuad> quads;
    for (const RecordedCall& call : recorder.named("DrawPrimitiveUP")) {
        const std::vector<ScreenVertex>& v = call.vertices;
        if (v.size() != 4) {
            continue;
        }
        quads.push_back(DrawnQuad{v[0].x, v[0].y, v[2].x - v[0].x, v[2].y - v[0].y, v[0].u * 256.0f,
                                  v[0].v * 256.0f, (v[2].u - v[0].u) * 256.0f,
                                  (v[2].v - v[0].v) * 256.0f, v[0].color});
    }
    return quads;
}

TEST_F(TunnelOnRecorder, TheFirstFrameShowsTitleCellZeroAt5Point2OverTheCircle) {
    recorder.clear();
    scene.render(); // before any update
    std::vector<DrawnQuad> quads = quadsOf(recorder);
    // circle, title cell, then the trail's two quads
    ASSERT_EQ(quads.size(), 4u);
    const DrawnQuad& circle = quads[0];
    EXPECT_NEAR(circle.w, 800.0f * 2.6f, 0.01f);
    EXPECT_NEAR(circle.h, 600.0f * 2.6f, 0.01f);
    EXPECT_NEAR(circle.x + circle.w / 2, 400.0f, 0.01f) << "scaled about the screen's centre";
    EXPECT_NEAR(circle.y + circle.h / 2, 300.0f, 0.01f);
    EXPECT_EQ(circle.srcW, 256.0f);
    const DrawnQuad& title = quads[1];
    EXPECT_NEAR(title.w, 364.0f, 0.01f);
    EXPECT_NEAR(title.x + title.w / 2, 365.0f + 35.0f, 0.01f) << "the cell sits at (365, 265)";
    EXPECT_NEAR(title.y + title.h / 2, 265.0f + 35.0f, 0.01f);
    EXPECT_EQ(title.srcX, 0.0f);
    EXPECT_EQ(title.srcY, 0.0f);
    EXPECT_NEAR(title.srcW, 70.0f, 1e-3f);
    EXPECT_EQ(title.color, 0xFFFFFFFFu);
    // The capture comes before the frame's black clear.
    std::vector<RecordedCall> clears = recorder.named("Clear");
    ASSERT_EQ(clears.size(), 2u);
    EXPECT_EQ(static_cast<uint32_t>(clears[1].args[3]), 0xFF000000u);
}

TEST_F(TunnelOnRecorder, TheIntroStepsThroughTheThreeTitleCellsThenShowsTheCircleAlone) {
    const struct {
        int32_t frameCount;
        size_t quads;
        float cell;
    } frames[] = {{29, 4, 0.0f},    {30, 4, 70.0f},  {59, 4, 70.0f}, {60, 4, 140.0f},
                  {119, 4, 140.0f}, {120, 3, -1.0f}, {121, 3, -1.0f}};
    for (const auto& frame : frames) {
        scene.frameCount = frame.frameCount;
        recorder.clear();
        scene.render();
        std::vector<DrawnQuad> quads = quadsOf(recorder);
        ASSERT_EQ(quads.size(), frame.quads) << "frame " << frame.frameCount;
        if (frame.cell >= 0.0f) {
            EXPECT_NEAR(quads[1].srcX, frame.cell, 1e-3f) << "frame " << frame.frameCount;
        }
        EXPECT_EQ(recorder.named("SetRenderTarget").size(), 2u) << "every intro frame trails";
    }
    scene.frameCount = 122;
    recorder.clear();
    scene.render();
    EXPECT_EQ(recorder.named("SetRenderTarget").size(), 0u) << "122 is the first tunnel frame";
}

// The overlay read back glyph by glyph, checked against a model of the generator
// from the same seed, drawn in the order the overlay draws from it.
class OverlayReplay {
public:
    OverlayReplay(const std::vector<DrawnQuad>& quads, uint32_t seed) : draws(seed), quads(quads) {}

    const DrawnQuad* next() {
        if (at >= quads.size()) {
            ADD_FAILURE() << "fewer glyphs than the generator asks for";
            return nullptr;
        }
        return &quads[at++];
    }
    void glyph(float x, float y, int column, int row) {
        const DrawnQuad* q = next();
        if (q == nullptr) {
            return;
        }
        EXPECT_EQ(q->x, x) << "glyph " << at - 1;
        EXPECT_EQ(q->y, y) << "glyph " << at - 1;
        EXPECT_EQ(q->w, 16.0f);
        EXPECT_EQ(q->h, 15.0f);
        EXPECT_NEAR(q->srcX, 17.0f * column, 1e-3f) << "glyph " << at - 1;
        EXPECT_NEAR(q->srcY, 17.0f * row, 1e-3f) << "glyph " << at - 1;
        EXPECT_EQ(q->color, tint) << "glyph " << at - 1;
    }
    void digit(float x, float y) { glyph(x, y, draws.next() % 10, 0); }
    void letter(float x, float y) {
        int row = 1 + draws.next() % 2;
        int column = draws.next() % 15;
        glyph(x, y, column, row);
    }

    RuntimeDraws draws;

    const std::vector<DrawnQuad>& quads;
    size_t at = 0;
    uint32_t tint = 0;
};

TEST_F(TunnelOnRecorder, TheOverlayDrawsItsGlyphsFromTheGeneratorInItsOwnOrder) {
    updateTo(200);
    RingTunnelScene::cycleColor[0] = 1.0;
    RingTunnelScene::cycleColor[1] = 0.3;
    RingTunnelScene::cycleColor[2] = 0.5;
    int wordA = 0;
    int wordB = 0;
    int shortestLeftLine = 100;
    int fewestLeftLines = 100;
    for (unsigned seed = 0; seed < 300; ++seed) {
        crtSrand(seed);
        recorder.clear();
        scene.render();
        int afterScene = crtRand();
        std::vector<DrawnQuad> quads = quadsOf(recorder);

        OverlayReplay replay(quads, seed);
        replay.tint = 0xFFFF4C7F; // 1.0, 0.3 and 0.5 of 255, truncated
        for (int j = 0; j < 6; ++j) {
            replay.digit(16.0f * j, 40.0f);
        }
        for (int j = 0; j < 4; ++j) {
            replay.digit(16.0f * j, 60.0f);
        }
        for (int j = 0; j < 6; ++j) {
            replay.letter(16.0f * j, 80.0f);
        }
        int lines = 0;
        for (int limit = replay.draws.next() % 10 + 5; lines < limit;
             limit = replay.draws.next() % 10 + 5) {
            float y = 120.0f + 20.0f * lines;
            if (replay.draws.next() % 100 == 0) {
                replay.glyph(0.0f, y, 0, 1);
                replay.glyph(16.0f, y, 8, 1);
                replay.glyph(32.0f, y, 1, 2);
                wordA += 1;
            } else {
                int glyphs = 0;
                for (int n = replay.draws.next() % 10 + 3; glyphs < n;
                     n = replay.draws.next() % 10 + 3) {
                    replay.letter(16.0f * glyphs, y);
                    glyphs += 1;
                }
                shortestLeftLine = std::min(shortestLeftLine, glyphs);
            }
            lines += 1;
        }
        fewestLeftLines = std::min(fewestLeftLines, lines);

        replay.tint = 0xFFFF2000;
        lines = 0;
        for (int limit = replay.draws.next() % 10 + 5; lines < limit;
             limit = replay.draws.next() % 10 + 5) {
            float y = 400.0f - 20.0f * lines;
            if (replay.draws.next() % 100 == 0) {
                const int word[6][2] = {{11, 1}, {8, 1}, {2, 2}, {5, 2}, {9, 2}, {5, 2}};
                for (int j = 0; j < 6; ++j) {
                    replay.glyph(704.0f + 16.0f * j, y, word[j][0], word[j][1]);
                }
                wordB += 1;
            } else {
                int n = replay.draws.next() % 10 + 3;
                for (int j = 0; j < n; ++j) {
                    replay.letter(800.0f - 16.0f * n + 16.0f * j, y);
                }
            }
            lines += 1;
        }
        for (int j = 0; j < 6; ++j) {
            replay.letter(704.0f + 16.0f * j, 480.0f);
        }
        for (int j = 0; j < 4; ++j) {
            replay.digit(736.0f + 16.0f * j, 460.0f);
        }
        for (int j = 0; j < 6; ++j) {
            replay.digit(704.0f + 16.0f * j, 440.0f);
        }
        EXPECT_EQ(replay.draws.next(), afterScene)
            << "seed " << seed << ": the frame drew more or fewer";

        // The two banners, each a 256 x 60 strip stretched to 512.
        ASSERT_EQ(quads.size(), replay.at + 2) << "seed " << seed;
        const DrawnQuad& first = quads[replay.at];
        const DrawnQuad& second = quads[replay.at + 1];
        EXPECT_EQ(first.x, 288.0f);
        EXPECT_EQ(first.y, 40.0f);
        EXPECT_EQ(first.w, 512.0f);
        EXPECT_EQ(first.h, 60.0f);
        EXPECT_NEAR(first.srcY, 70.0f, 1e-3f);
        EXPECT_NEAR(first.srcW, 256.0f, 1e-3f);
        EXPECT_EQ(second.x, 0.0f);
        EXPECT_EQ(second.y, 480.0f);
        EXPECT_NEAR(second.srcY, 130.0f, 1e-3f);
        EXPECT_EQ(second.color, 0xFFFF2000u);
        if (HasFailure()) {
            break;
        }
    }
    // Over 300 frames both chance words came up, and the floors held.
    EXPECT_GT(wordA, 0);
    EXPECT_GT(wordB, 0);
    EXPECT_GE(shortestLeftLine, 3);
    EXPECT_GE(fewestLeftLines, 5);
}

TEST_F(TunnelOnRecorder, TheOverlayAddsItsGlyphsOntoThePicture) {
    updateTo(300);
    recorder.clear();
    scene.render();
    // Blending is set to ONE / ONE just before the first glyph and off after the banners.
    std::vector<std::pair<uint32_t, uint32_t>> states = recorder.renderStates();
    const std::vector<std::pair<uint32_t, uint32_t>> additive = {{D3DRS_ALPHABLENDENABLE, TRUE},
                                                                 {D3DRS_SRCBLEND, D3DBLEND_ONE},
                                                                 {D3DRS_DESTBLEND, D3DBLEND_ONE},
                                                                 {D3DRS_ALPHABLENDENABLE, FALSE}};
    ASSERT_GE(states.size(), 4u);
    std::vector<std::pair<uint32_t, uint32_t>> last(states.end() - 4, states.end());
    EXPECT_EQ(last, additive);
}

} // namespace
