#include "content/TunnelArt.h"

#include "content/Canvas.h"
#include "content/Palette.h"
#include "content/StrokeFont.h"

#include <algorithm>
#include <cmath>

namespace content {

using namespace palette;

namespace {

constexpr float PI = 3.14159265f;

// Rows 1 and 2 of the glyph sheet. The chance words of the overlay read "OPT" (cells (0,1),
// (8,1), (1,2)) and "SPHERE" (cells (11,1), (8,1), (2,2), (5,2), (9,2), (5,2)); the four cells
// beyond the alphabet repeat common letters.
constexpr const char* LETTER_ROWS[2] = {"OABCDFGJPKLSMNQ", "UTHIVEWXYRZAEIN"};

} // namespace

char TunnelArt::letterAt(int column, int row) {
    return LETTER_ROWS[row - 1][column];
}

Image TunnelArt::title() {
    Image img(256, 256, BLACK);
    Canvas cv(img);
    const char* cells[3] = {"LET", "TER", "BOX"};
    StrokeFont::Style s{24.0f, 12.5f, 4.0f, 4.5f};
    for (int i = 0; i < 3; ++i) {
        float x0 = 70.0f * i;
        // A square frame with one accent corner, inset so filtering never reaches a neighbour.
        std::vector<Segment> frame = {{{x0 + 5, 5}, {x0 + 65, 5}},
                                      {{x0 + 65, 5}, {x0 + 65, 65}},
                                      {{x0 + 65, 65}, {x0 + 5, 65}},
                                      {{x0 + 5, 65}, {x0 + 5, 5}}};
        cv.strokes(frame, 1.5f, grey(0.75f));
        cv.rect(x0 + 4, 4, 10, 3, ACCENT);
        cv.rect(x0 + 4, 4, 3, 10, ACCENT);
        StrokeFont::drawCentred(cv, cells[i], x0 + 35.0f, 23.0f, s, WHITE);
    }
    return img;
}

Image TunnelArt::circle() {
    Image img(256, 256, BLACK);
    Canvas cv(img);
    // Measured in screen units: x is compressed by 600/800 so the stretched rings are round.
    const float ax = 0.75f;
    auto ringAt = [&](float r, float width, Rgb c, float opacity) {
        cv.fillSampled(
            0, 0, 256, 256,
            [=](float x, float y) {
                float dx = (x - 128.0f) / ax;
                float dy = y - 128.0f;
                float d = std::sqrt(dx * dx + dy * dy);
                return std::fabs(d - r) <= width * 0.5f;
            },
            c, opacity, 4);
    };
    ringAt(110.0f, 6.0f, WHITE, 1.0f);
    ringAt(96.0f, 1.5f, grey(0.6f), 1.0f);
    ringAt(60.0f, 2.0f, ACCENT, 1.0f);
    // Twenty-four ticks around the outer ring, every sixth one long.
    for (int i = 0; i < 24; ++i) {
        float a = i * 2.0f * PI / 24.0f;
        float r0 = (i % 6 == 0) ? 66.0f : 80.0f;
        float r1 = 90.0f;
        float ca = std::cos(a);
        float sa = std::sin(a);
        std::vector<Segment> tick = {
            {{128.0f + r0 * ca * ax, 128.0f + r0 * sa}, {128.0f + r1 * ca * ax, 128.0f + r1 * sa}}};
        cv.strokes(tick, i % 6 == 0 ? 2.5f : 1.5f, grey(0.8f));
    }
    return img;
}

Image TunnelArt::glyphs() {
    Image img(256, 256, BLACK);
    Canvas cv(img);
    // Glyph grid points sit on whole pixels, 3 across and 2 down per unit, so the 2-pixel
    // strokes cover exact pixel columns and rows: ink spans columns 1..14 and rows 1..14.
    auto glyphAt = [&](char ch, int column, int row) {
        float x = 17.0f * column + 2.0f;
        float y = 17.0f * row + 2.0f;
        cv.strokes(StrokeFont::glyph(ch, x, y, 3.0f, 2.0f), 2.0f, WHITE);
    };
    for (int d = 0; d < 10; ++d) {
        glyphAt(static_cast<char>('0' + d), d, 0);
    }
    for (int row = 1; row <= 2; ++row) {
        for (int c = 0; c < 15; ++c) {
            glyphAt(letterAt(c, row), c, row);
        }
    }
    // Banner 1 at (0, 70): stretched to twice its width on screen, so its type is drawn at half
    // width. Two rows of margin keep filtering from reaching banner 2.
    {
        cv.rect(4, 73, 248, 2, WHITE);
        cv.rect(4, 124, 248, 2, WHITE);
        StrokeFont::Style s{26.0f, 8.0f, 2.5f, 3.5f};
        StrokeFont::draw(cv, "LETTERBOX", 6, 84, s, WHITE);
        // A bar code of whole texels after the word.
        for (int i = 0; i < 28; ++i) {
            int w = 1 + static_cast<int>((i * 7 + 3) % 3);
            if (i % 2 == 0) {
                cv.rect(112.0f + i * 3.0f, 84, static_cast<float>(w), 26, grey(0.85f));
            }
        }
        StrokeFont::Style tiny{8.0f, 3.0f, 1.0f, 1.5f};
        StrokeFont::draw(cv, "800X600 REALTIME", 112, 114, tiny, grey(0.85f));
        cv.rect(200, 84, 50, 26, WHITE);
        StrokeFont::Style inv{14.0f, 4.5f, 2.0f, 2.0f};
        StrokeFont::draw(cv, "RINGS", 205.5f, 90, inv, BLACK);
    }
    // Banner 2 at (0, 130).
    {
        cv.rect(4, 133, 248, 1, WHITE);
        for (int i = 0; i < 24; ++i) {
            float h = 6.0f + 28.0f * (0.5f + 0.5f * std::sin(i * 0.55f));
            cv.rect(6.0f + i * 5.0f, 176.0f - h, 3.0f, h, grey(0.9f));
        }
        StrokeFont::Style s{22.0f, 7.0f, 2.5f, 3.0f};
        StrokeFont::draw(cv, "SIGNAL", 132, 140, s, WHITE);
        StrokeFont::Style tiny{8.0f, 3.0f, 1.0f, 1.5f};
        StrokeFont::draw(cv, "CH 01 02 03 04", 132, 168, tiny, grey(0.85f));
        cv.rect(4, 184, 248, 1, WHITE);
    }
    return img;
}

Image TunnelArt::mono(int index) {
    // Point sprites covering up to several hundred pixels, added onto black: dim, with edges
    // that fall to black well inside the square.
    return Image::radial(128, [index](float dx, float dy, float r) {
        float v = 0.0f;
        if (index == 1) {
            // Soft glow.
            float t = std::max(0.0f, 1.0f - r);
            v = 0.45f * t * t * t;
        } else if (index == 2) {
            // Thin halo ring with a faint core.
            float ring = std::exp(-std::pow((r - 0.55f) / 0.05f, 2.0f));
            float core = std::max(0.0f, 1.0f - r / 0.25f);
            v = 0.35f * ring + 0.3f * core * core;
        } else {
            // Four-point sparkle.
            float t = std::max(0.0f, 1.0f - r);
            float arms = std::exp(-std::fabs(dx) * 40.0f) + std::exp(-std::fabs(dy) * 40.0f);
            v = 0.5f * t * t * (0.3f * t + arms);
        }
        return grey(std::min(v, 1.0f));
    });
}

} // namespace content
