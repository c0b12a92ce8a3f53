#pragma once

#include "content/Image.h"

#include <functional>
#include <vector>

namespace content {

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

struct Segment {
    Point a;
    Point b;
};

// Anti-aliased drawing onto an Image. Coordinates are continuous pixels: pixel (i, j) covers
// [i, i + 1] x [j, j + 1], so shapes on whole coordinates land exactly on pixel edges.
class Canvas {
public:
    explicit Canvas(Image& target) : image(target) {}

    // Signed distance (pixels, negative inside) evaluated at pixel centres inside the box.
    using Distance = std::function<float(float x, float y)>;
    void fillDistance(float x0, float y0, float x1, float y1, const Distance& d, Rgb c,
                      float opacity = 1.0f);
    // Inside test evaluated on n x n samples per pixel, for shapes without a cheap distance.
    using Inside = std::function<bool(float x, float y)>;
    void fillSampled(float x0, float y0, float x1, float y1, const Inside& inside, Rgb c,
                     float opacity = 1.0f, int n = 4);

    void strokes(const std::vector<Segment>& segments, float width, Rgb c, float opacity = 1.0f);
    void rect(float x, float y, float w, float h, Rgb c, float opacity = 1.0f);
    void roundRect(float x, float y, float w, float h, float radius, Rgb c, float opacity = 1.0f);
    void disc(float cx, float cy, float r, Rgb c, float opacity = 1.0f);
    void ring(float cx, float cy, float r, float width, Rgb c, float opacity = 1.0f);
    // Polygon with the even-odd rule.
    void polygon(const std::vector<Point>& points, Rgb c, float opacity = 1.0f);

private:
    Image& image;
};

float segmentDistance(Point p, Segment s);

} // namespace content
