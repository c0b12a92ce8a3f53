#include "content/CloudArt.h"

#include "content/Canvas.h"
#include "content/Noise.h"
#include "content/Palette.h"
#include "content/StrokeFont.h"

#include <algorithm>
#include <cmath>

namespace content {

using namespace palette;

namespace {

constexpr float TAU = 6.2831853f;

float smoothstep(float a, float b, float x) {
    float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Soft, dark clouds: the layers and a colour wash are added together, so each layer peaks
// near 0.4 and most of it stays far below.
Image clouds(uint32_t seed, int cellsX, int cellsY, int bandU, int bandV, float bandDepth) {
    Image img(512, 512);
    Noise base(seed);
    Noise warp(seed ^ 0xA5A5u);
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) {
            float u = (x + 0.5f) / 512.0f;
            float v = (y + 0.5f) / 512.0f;
            float w = warp.fractal(u, v, 3, 3, 3, 0.5f) - 0.5f;
            float n = base.fractal(u, v, cellsX, cellsY, 6, 0.55f);
            float band = 0.5f + 0.5f * std::sin(TAU * (bandU * u + bandV * v) + 4.0f * w);
            float d = n * (1.0f - bandDepth + bandDepth * band);
            float density = smoothstep(0.26f, 0.78f, d);
            float highlight = smoothstep(0.55f, 0.95f, d);
            Rgb c = scale(SLATE, 0.5f * density);
            c = mix(c, grey(0.42f), highlight * 0.35f);
            img.at(x, y) = c;
        }
    }
    return img;
}

} // namespace

Image CloudArt::cloud1() {
    return clouds(11u, 4, 4, 1, 1, 0.3f);
}

Image CloudArt::cloud2() {
    return clouds(23u, 4, 4, 2, 2, 0.55f);
}

Image CloudArt::cloud3() {
    return clouds(37u, 3, 9, 0, 3, 0.6f);
}

Image CloudArt::living() {
    Image img(256, 256, WHITE);
    Canvas cv(img);
    // Strip 1: a black bar whose letters are windows onto the picture below.
    cv.rect(0, 3, 256, 39, BLACK);
    StrokeFont::Style big{22.0f, 15.0f, 4.0f, 6.0f};
    StrokeFont::drawCentred(cv, "LETTERBOX", 128, 11, big, WHITE);
    // Strip 2: dark type and rules on white, so the picture shows around them.
    cv.rect(8, 49, 240, 2, BLACK);
    cv.rect(8, 83, 240, 2, BLACK);
    cv.rect(8, 58, 18, 18, ACCENT);
    StrokeFont::Style small{16.0f, 8.0f, 2.5f, 4.0f};
    StrokeFont::draw(cv, "SIX SCENES 71 SEC", 36, 59, small, BLACK);
    return img;
}

} // namespace content
