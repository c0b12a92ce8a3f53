// Windows bitmap files decoded into pixels, without any device: palettised
// images keep their indices and palette, all others become 32-bit ARGB texels.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <d3d8types.h>

struct BitmapImage {
    uint32_t width = 0;
    uint32_t height = 0;
    // The image's own format: D3DFMT_P8 for 1, 4 and 8 bits, else the layout of its texels.
    D3DFORMAT format = D3DFMT_UNKNOWN;
    // Bits of alpha, red, green and blue in the file's texels; 0 alpha bits is opaque.
    std::array<uint8_t, 4> channelBits{};

    // Palettised images: 256 ARGB entries (file entries opaque, the rest 0xFFFFFFFF),
    // paletteCount of them from the file, and one index per texel, rows top-down.
    std::array<uint32_t, 256> palette{};
    uint32_t paletteCount = 0;
    std::vector<uint8_t> indices;

    // All other images: one ARGB texel per pixel (channels widened to 8 bits by
    // repeating their bits), rows top-down.
    std::vector<uint32_t> texels;

    bool palettised() const { return format == D3DFMT_P8; }
};

class BitmapReader {
public:
    // Decodes a whole .bmp file. Answers false when the data is not a bitmap this
    // reader accepts: wrong signature, sizes or offsets outside the data,
    // unsupported depth, compression or bit fields, or an image too large to hold.
    static bool read(const uint8_t* data, size_t size, BitmapImage& image);

    // Larger images are refused: no texture the device takes is near this size,
    // and run-length data could otherwise claim any size from a few bytes.
    static constexpr uint32_t MAX_SIDE = 16384;
    static constexpr uint64_t MAX_PIXELS = uint64_t(1) << 25;
};
