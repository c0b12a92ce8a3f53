#include "content/FrameArt.h"

#include "content/Canvas.h"
#include "content/Palette.h"
#include "content/StrokeFont.h"

#include <cmath>

namespace content {

using namespace palette;

Image FrameArt::loading() {
    Image img(256, 256, BLACK);
    Canvas cv(img);
    cv.rect(48, 120, 160, 2, grey(0.35f));
    cv.rect(48, 120, 40, 2, ACCENT);
    StrokeFont::Style s{14.0f, 9.0f, 2.0f, 5.0f};
    StrokeFont::drawCentred(cv, "LOADING", 128, 94, s, WHITE);
    return img;
}

Image FrameArt::band() {
    // 256 x 64 texels become 800 x 40 pixels: one texel is 3.125 pixels wide and 0.625 tall.
    Image img(256, 64, BLACK);
    Canvas cv(img);
    const float sx = 800.0f / 256.0f;
    const float sy = 40.0f / 64.0f;
    // Sixteen perforations, 20 x 14 screen pixels with rounded corners, every 50 pixels.
    for (int i = 0; i < 16; ++i) {
        float cx = (25.0f + 50.0f * i) / sx;
        float w = 20.0f / sx;
        cv.fillSampled(
            cx - w, 0, cx + w, 64,
            [=](float x, float y) {
                // Rounded rectangle measured in screen pixels so the corners stay round.
                float px = (x - cx) * sx;
                float py = (y - 32.0f) * sy;
                float qx = std::abs(px) - 10.0f + 3.0f;
                float qy = std::abs(py) - 7.0f + 3.0f;
                float ox = qx > 0 ? qx : 0;
                float oy = qy > 0 ? qy : 0;
                return ox * ox + oy * oy <= 9.0f;
            },
            grey(0.11f));
    }
    return img;
}

} // namespace content
