// A picture as the device reads it back: 8 bits a channel in B, G, R, A order, rows top
// first. Captured frames travel to the writing thread in this form, so that converting
// them costs the rendering thread nothing but a copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "PngImage.h"

class BgraPicture {
public:
    BgraPicture() = default;
    // A copy of width x height pixels whose rows start pitch bytes apart.
    BgraPicture(const uint8_t* bgra, uint32_t width, uint32_t height, size_t pitch);

    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> bytes; // rows of width x 4 bytes, top first

    const uint8_t* row(uint32_t y) const { return bytes.data() + size_t{y} * width * 4; }
    // The picture without its alpha, as RGB.
    PngImage toRgb() const;
};
