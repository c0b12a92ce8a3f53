#include "BgraPicture.h"

#include <cstring>

BgraPicture::BgraPicture(const uint8_t* bgra, uint32_t width, uint32_t height, size_t pitch)
    : width(width), height(height), bytes(size_t{width} * height * 4) {
    const size_t rowBytes = size_t{width} * 4;
    for (uint32_t y = 0; y < height; ++y) {
        std::memcpy(bytes.data() + y * rowBytes, bgra + y * pitch, rowBytes);
    }
}

PngImage BgraPicture::toRgb() const {
    PngImage image(width, height);
    const uint8_t* in = bytes.data();
    uint8_t* out = image.rgb.data();
    for (size_t i = 0, n = size_t{width} * height; i < n; ++i, in += 4, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
    return image;
}
