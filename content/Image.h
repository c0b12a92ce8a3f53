#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace content {

struct Rgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

Rgb mix(Rgb a, Rgb b, float t);
Rgb scale(Rgb c, float k);

// A linear-light-agnostic RGB picture with components in 0..1; rows top-down.
class Image {
public:
    Image() = default;
    Image(int width, int height, Rgb fill = {});

    int width() const { return w; }
    int height() const { return h; }
    Rgb& at(int x, int y) { return pixels[static_cast<size_t>(y) * w + x]; }
    const Rgb& at(int x, int y) const { return pixels[static_cast<size_t>(y) * w + x]; }

    void fill(Rgb c);
    // Paints colour c over the pixel with weight a (0..1); out-of-range pixels are ignored.
    void blend(int x, int y, Rgb c, float a);
    // Adds c scaled by a onto the pixel.
    void add(int x, int y, Rgb c, float a);
    // Copies src with its top-left corner at (x, y).
    void paste(const Image& src, int x, int y);

    // 8-bit red, green, blue of a pixel after clamping and rounding.
    void rgb8(int x, int y, uint8_t out[3]) const;

private:
    int w = 0;
    int h = 0;
    std::vector<Rgb> pixels;
};

// A generated bitmap and the file name it is written under (relative to data/).
struct NamedImage {
    std::string name;
    Image image;
};

} // namespace content
