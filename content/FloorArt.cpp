#include "content/FloorArt.h"

#include "content/Canvas.h"
#include "content/Palette.h"

#include <cmath>

namespace content {

using namespace palette;

Image FloorArt::floor() {
    Image img(128, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            // A faint diagonal sheen so neighbouring tiles read as polished stone.
            float t = (x + y) / 254.0f;
            img.at(x, y) = grey(0.16f + 0.06f * t);
        }
    }
    Canvas cv(img);
    // Joints: one texel on each edge, so tiles meet in two-texel lines.
    cv.rect(0, 0, 128, 1, grey(0.62f));
    cv.rect(0, 127, 128, 1, grey(0.62f));
    cv.rect(0, 0, 1, 128, grey(0.62f));
    cv.rect(127, 0, 1, 128, grey(0.62f));
    // An inset square and a small accent mark at one corner.
    std::vector<Segment> inset = {{{20, 20}, {108, 20}},
                                  {{108, 20}, {108, 108}},
                                  {{108, 108}, {20, 108}},
                                  {{20, 108}, {20, 20}}};
    cv.strokes(inset, 1.0f, grey(0.3f));
    cv.rect(8, 8, 6, 6, scale(ACCENT, 0.6f));
    return img;
}

} // namespace content
