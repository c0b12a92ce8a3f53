// A 32-bit ARGB picture in memory: what texture levels are made from, resized,
// halved for mip levels and finally written out in a texture's format.
#pragma once

#include <cstdint>
#include <vector>

#include <d3d8types.h>

class TexelImage {
public:
    TexelImage() = default;
    TexelImage(uint32_t width, uint32_t height, std::vector<uint32_t> texels);

    uint32_t width() const { return w; }
    uint32_t height() const { return h; }
    uint32_t at(uint32_t x, uint32_t y) const { return texels[size_t(y) * w + x]; }
    const std::vector<uint32_t>& data() const { return texels; }

    // The picture stretched or shrunk to width x height. Point sampling when
    // `point`, else linear interpolation where it grows and area averaging where
    // it shrinks.
    TexelImage resized(uint32_t width, uint32_t height, bool point) const;

    // The next mip level: each texel the average of the 2 x 2 (or 2 x 1 at an
    // edge of one texel) block above it, rounded to nearest.
    TexelImage halved() const;

    // Writes the texels in `format`; false for formats this library cannot write.
    bool write(D3DFORMAT format, uint8_t* bits, int32_t pitch) const;

    // Bytes per texel of the formats write() knows; 0 for the others.
    static uint32_t bytesPerTexel(D3DFORMAT format);

private:
    uint32_t w = 0;
    uint32_t h = 0;
    std::vector<uint32_t> texels;
};
