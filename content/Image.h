#pragma once

#include <cmath>
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

    // A size x size picture on black whose every pixel is shade(dx, dy, r): the pixel
    // centre's offset from the picture's centre in half-sizes, and its distance.
    template <class Shade> static Image radial(int size, Shade shade) {
        Image img(size, size);
        const float half = size / 2.0f;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                float dx = (x + 0.5f - half) / half;
                float dy = (y + 0.5f - half) / half;
                img.at(x, y) = shade(dx, dy, std::sqrt(dx * dx + dy * dy));
            }
        }
        return img;
    }

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
