#include "gfx/ScreenVertex.h"

#include "common/Angles.h"

#include <cmath>

namespace {
// The angle at which the rotated formula lands on the axis-aligned corners.
const float UNROTATED_ANGLE = 225.0f;
} // namespace

void setScreenVertex(ScreenVertex* vertex, float x, float y, float z, float rhw, float u, float v,
                     uint32_t color) {
    vertex->x = x;
    vertex->y = y;
    vertex->z = z;
    vertex->rhw = rhw;
    vertex->color = color;
    vertex->u = u;
    vertex->v = v;
}

uint32_t packColor(int32_t alpha, int32_t red, int32_t green, int32_t blue) {
    return (static_cast<uint32_t>(alpha & 0xFF) << 24) | (static_cast<uint32_t>(red & 0xFF) << 16) |
           (static_cast<uint32_t>(green & 0xFF) << 8) | static_cast<uint32_t>(blue & 0xFF);
}

QuadCorners computeQuadCorners(float x, float y, float w, float h, float scale, float angle) {
    if (scale != 1.0f) {
        float ws = w * scale;
        float hs = h * scale;
        x = x + (w - ws) * 0.5f;
        y = y + (h - hs) * 0.5f;
        w = ws;
        h = hs;
    }

    QuadCorners corners;
    const float us[4] = {0.0f, 1.0f, 1.0f, 0.0f};
    const float vs[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        corners.u[i] = us[i];
        corners.v[i] = vs[i];
    }

    if (angle == UNROTATED_ANGLE) {
        corners.rotated = false;
        corners.x[0] = x;
        corners.y[0] = y;
        corners.x[1] = x + w;
        corners.y[1] = y;
        corners.x[2] = x + w;
        corners.y[2] = y + h;
        corners.x[3] = x;
        corners.y[3] = y + h;
        return corners;
    }

    // A square of side w about the rectangle's centre; h only places the centre.
    corners.rotated = true;
    float radius = w * std::sqrt(2.0f) * 0.5f;
    float cx = w * 0.5f;
    float cy = h * 0.5f;
    for (int i = 0; i < 4; ++i) {
        float theta = (angle + 90.0f * static_cast<float>(i)) * DEG_TO_RAD_F;
        corners.x[i] = x + (radius * std::cos(theta) + cx);
        corners.y[i] = y + (radius * std::sin(theta) + cy);
    }
    return corners;
}
