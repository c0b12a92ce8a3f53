#include "content/FanArt.h"

#include "content/Canvas.h"
#include "content/Palette.h"

#include <algorithm>
#include <cmath>

namespace content {

using namespace palette;

namespace {

constexpr float PI = 3.14159265f;

Image dot(Rgb core, Rgb rim) {
    return Image::radial(64, [&](float, float, float r) {
        float t = std::max(0.0f, 1.0f - r);
        float glow = t * t;
        float hot = std::pow(t, 6.0f);
        return Rgb{rim.r * glow + core.r * hot, rim.g * glow + core.g * hot,
                   rim.b * glow + core.b * hot};
    });
}

} // namespace

Image FanArt::fan() {
    Image img(64, 64, BLACK);
    Canvas cv(img);
    const float c = 32.0f;
    // Three curved blades swept clockwise, each a polygon between two arcs.
    for (int b = 0; b < 3; ++b) {
        float a0 = b * 2.0f * PI / 3.0f;
        std::vector<Point> blade;
        const int steps = 12;
        for (int i = 0; i <= steps; ++i) {
            float t = static_cast<float>(i) / steps;
            float r = 7.0f + 21.0f * t;
            float a = a0 + 0.9f * t * t;
            blade.push_back({c + r * std::cos(a), c + r * std::sin(a)});
        }
        for (int i = steps; i >= 0; --i) {
            float t = static_cast<float>(i) / steps;
            float r = 7.0f + 21.0f * t;
            float a = a0 + 0.9f * t * t + 0.25f + 0.45f * t;
            blade.push_back({c + r * std::cos(a), c + r * std::sin(a)});
        }
        cv.polygon(blade, mix(ACCENT, WHITE, 0.15f));
    }
    cv.ring(c, c, 29.0f, 1.5f, grey(0.55f));
    cv.disc(c, c, 7.0f, WHITE);
    cv.disc(c, c, 3.0f, BLACK);
    return img;
}

Image FanArt::particle() {
    return dot(grey(0.9f), grey(0.55f));
}

Image FanArt::particleTinted(int channel) {
    Rgb rim{channel == 0 ? 0.9f : 0.08f, channel == 1 ? 0.8f : 0.08f, channel == 2 ? 1.0f : 0.1f};
    return dot(mix(rim, WHITE, 0.6f), rim);
}

} // namespace content
