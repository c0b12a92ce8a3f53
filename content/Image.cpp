#include "content/Image.h"

#include <algorithm>
#include <cmath>

namespace content {

Rgb mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}

Image::Image(int width, int height, Rgb fill)
    : w(width), h(height), pixels(static_cast<size_t>(width) * height, fill) {}

void Image::fill(Rgb c) {
    std::fill(pixels.begin(), pixels.end(), c);
}

void Image::blend(int x, int y, Rgb c, float a) {
    if (x < 0 || y < 0 || x >= w || y >= h || a <= 0.0f) {
        return;
    }
    Rgb& p = at(x, y);
    p = mix(p, c, std::min(a, 1.0f));
}

void Image::add(int x, int y, Rgb c, float a) {
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return;
    }
    Rgb& p = at(x, y);
    p.r += c.r * a;
    p.g += c.g * a;
    p.b += c.b * a;
}

void Image::paste(const Image& src, int x, int y) {
    for (int j = 0; j < src.height(); ++j) {
        for (int i = 0; i < src.width(); ++i) {
            int tx = x + i;
            int ty = y + j;
            if (tx >= 0 && ty >= 0 && tx < w && ty < h) {
                at(tx, ty) = src.at(i, j);
            }
        }
    }
}

void Image::rgb8(int x, int y, uint8_t out[3]) const {
    const Rgb& p = at(x, y);
    auto q = [](float v) {
        return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    };
    out[0] = q(p.r);
    out[1] = q(p.g);
    out[2] = q(p.b);
}

} // namespace content
