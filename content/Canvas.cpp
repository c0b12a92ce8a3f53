#include "content/Canvas.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace content {

float segmentDistance(Point p, Segment s) {
    float dx = s.b.x - s.a.x;
    float dy = s.b.y - s.a.y;
    float len2 = dx * dx + dy * dy;
    float t = 0.0f;
    if (len2 > 0.0f) {
        t = std::clamp(((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / len2, 0.0f, 1.0f);
    }
    float ex = p.x - (s.a.x + t * dx);
    float ey = p.y - (s.a.y + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

void Canvas::fillDistance(float x0, float y0, float x1, float y1, const Distance& d, Rgb c,
                          float opacity) {
    int i0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
    int j0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
    int i1 = std::min(image.width() - 1, static_cast<int>(std::ceil(x1)) + 1);
    int j1 = std::min(image.height() - 1, static_cast<int>(std::ceil(y1)) + 1);
    for (int j = j0; j <= j1; ++j) {
        for (int i = i0; i <= i1; ++i) {
            float cover = std::clamp(0.5f - d(i + 0.5f, j + 0.5f), 0.0f, 1.0f);
            image.blend(i, j, c, cover * opacity);
        }
    }
}

void Canvas::fillSampled(float x0, float y0, float x1, float y1, const Inside& inside, Rgb c,
                         float opacity, int n) {
    int i0 = std::max(0, static_cast<int>(std::floor(x0)));
    int j0 = std::max(0, static_cast<int>(std::floor(y0)));
    int i1 = std::min(image.width() - 1, static_cast<int>(std::ceil(x1)));
    int j1 = std::min(image.height() - 1, static_cast<int>(std::ceil(y1)));
    float step = 1.0f / n;
    for (int j = j0; j <= j1; ++j) {
        for (int i = i0; i <= i1; ++i) {
            int hits = 0;
            for (int sy = 0; sy < n; ++sy) {
                for (int sx = 0; sx < n; ++sx) {
                    hits += inside(i + (sx + 0.5f) * step, j + (sy + 0.5f) * step) ? 1 : 0;
                }
            }
            image.blend(i, j, c, opacity * hits / static_cast<float>(n * n));
        }
    }
}

void Canvas::strokes(const std::vector<Segment>& segments, float width, Rgb c, float opacity) {
    if (segments.empty()) {
        return;
    }
    float half = width * 0.5f;
    float x0 = std::numeric_limits<float>::max();
    float y0 = x0;
    float x1 = -x0;
    float y1 = -x0;
    for (const Segment& s : segments) {
        x0 = std::min({x0, s.a.x, s.b.x});
        y0 = std::min({y0, s.a.y, s.b.y});
        x1 = std::max({x1, s.a.x, s.b.x});
        y1 = std::max({y1, s.a.y, s.b.y});
    }
    fillDistance(
        x0 - half, y0 - half, x1 + half, y1 + half,
        [&](float x, float y) {
            float best = std::numeric_limits<float>::max();
            for (const Segment& s : segments) {
                best = std::min(best, segmentDistance({x, y}, s));
            }
            return best - half;
        },
        c, opacity);
}

void Canvas::rect(float x, float y, float w, float h, Rgb c, float opacity) {
    roundRect(x, y, w, h, 0.0f, c, opacity);
}

void Canvas::roundRect(float x, float y, float w, float h, float radius, Rgb c, float opacity) {
    float cx = x + w * 0.5f;
    float cy = y + h * 0.5f;
    float hx = w * 0.5f - radius;
    float hy = h * 0.5f - radius;
    fillDistance(
        x, y, x + w, y + h,
        [=](float px, float py) {
            float qx = std::fabs(px - cx) - hx;
            float qy = std::fabs(py - cy) - hy;
            float ox = std::max(qx, 0.0f);
            float oy = std::max(qy, 0.0f);
            return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
        },
        c, opacity);
}

void Canvas::disc(float cx, float cy, float r, Rgb c, float opacity) {
    fillDistance(
        cx - r, cy - r, cx + r, cy + r,
        [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; }, c, opacity);
}

void Canvas::ring(float cx, float cy, float r, float width, Rgb c, float opacity) {
    float half = width * 0.5f;
    fillDistance(
        cx - r - half, cy - r - half, cx + r + half, cy + r + half,
        [=](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - r) - half; }, c,
        opacity);
}

void Canvas::polygon(const std::vector<Point>& points, Rgb c, float opacity) {
    if (points.size() < 3) {
        return;
    }
    float x0 = points[0].x;
    float x1 = x0;
    float y0 = points[0].y;
    float y1 = y0;
    for (const Point& p : points) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    fillSampled(
        x0, y0, x1, y1,
        [&](float x, float y) {
            bool in = false;
            for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                const Point& a = points[i];
                const Point& b = points[j];
                if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
                    in = !in;
                }
            }
            return in;
        },
        c, opacity);
}

} // namespace content
