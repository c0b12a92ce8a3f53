#include "content/LatticeArt.h"

#include "content/Canvas.h"
#include "content/Palette.h"
#include "content/StrokeFont.h"

#include <cmath>

namespace content {

using namespace palette;

namespace {

constexpr float PI = 3.14159265f;

} // namespace

Image LatticeArt::logo() {
    Image img(256, 256, WHITE);
    Canvas cv(img);
    StrokeFont::Style big{46.0f, 28.0f, 8.0f, 9.0f};
    StrokeFont::draw(cv, "LETTER", 22, 46, big, BLACK);
    cv.rect(18, 112, 222, 10, ACCENT);
    StrokeFont::draw(cv, "BOX", 22, 140, big, BLACK);
    StrokeFont::Style small{9.0f, 5.0f, 1.5f, 3.0f};
    StrokeFont::draw(cv, "REAL TIME 800X600", 22, 206, small, grey(0.35f));
    return img;
}

Image LatticeArt::hole() {
    Image img(256, 256, WHITE);
    Canvas cv(img);
    for (int i = 0; i < 48; ++i) {
        float a = i * 2.0f * PI / 48.0f;
        cv.disc(128.0f + 118.0f * std::cos(a), 128.0f + 118.0f * std::sin(a), 2.0f, grey(0.55f));
    }
    cv.ring(128, 128, 104, 3.0f, ACCENT);
    cv.disc(128, 128, 92, BLACK);
    cv.disc(104, 104, 44, WHITE);
    cv.ring(104, 104, 52, 2.0f, grey(0.35f));
    return img;
}

Image LatticeArt::thanks() {
    Image img(256, 256, WHITE);
    Canvas cv(img);
    StrokeFont::Style s{30.0f, 20.0f, 5.0f, 7.0f};
    StrokeFont::draw(cv, "THANKS", 30, 52, s, BLACK);
    StrokeFont::draw(cv, "FOR", 30, 102, s, BLACK);
    StrokeFont::draw(cv, "WATCHING", 30, 152, s, BLACK);
    cv.rect(30, 200, 60, 6, ACCENT);
    cv.rect(96, 200, 120, 6, grey(0.8f));
    return img;
}

Image LatticeArt::back1() {
    Image img(256, 256, WHITE);
    Canvas cv(img);
    // Concentric rings and spokes, a light rosette that turns clockwise.
    for (int i = 0; i < 24; ++i) {
        float a = i * 2.0f * PI / 24.0f;
        std::vector<Segment> spoke = {{{128 + 40 * std::cos(a), 128 + 40 * std::sin(a)},
                                       {128 + 112 * std::cos(a), 128 + 112 * std::sin(a)}}};
        cv.strokes(spoke, 2.0f, grey(0.82f));
    }
    cv.ring(128, 128, 112, 3.0f, grey(0.7f));
    cv.ring(128, 128, 80, 1.5f, grey(0.75f));
    cv.ring(128, 128, 40, 8.0f, grey(0.85f));
    cv.disc(128 + 96, 128, 6, ACCENT);
    return img;
}

Image LatticeArt::back2() {
    Image img(256, 256, WHITE);
    Canvas cv(img);
    // Nested squares, each turned a little further, turning the other way.
    for (int i = 0; i < 7; ++i) {
        float half = 100.0f - i * 13.0f;
        float a = i * 0.18f;
        std::vector<Point> corners;
        for (int k = 0; k < 4; ++k) {
            float t = a + k * PI * 0.5f + PI * 0.25f;
            corners.push_back(
                {128 + half * 1.41421356f * std::cos(t), 128 + half * 1.41421356f * std::sin(t)});
        }
        std::vector<Segment> sq;
        for (int k = 0; k < 4; ++k) {
            sq.push_back({corners[k], corners[(k + 1) % 4]});
        }
        cv.strokes(sq, i == 0 ? 3.0f : 1.5f, grey(i == 0 ? 0.7f : 0.8f));
    }
    cv.rect(122, 122, 12, 12, ACCENT);
    return img;
}

} // namespace content
