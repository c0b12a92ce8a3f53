// Windows bitmap files built byte by byte for the reader tests and the fuzz seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bmptest {

struct BitmapLayout {
    int32_t width = 1;
    int32_t height = 1; // negative: rows stored top-down
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t headerSize = 40;
    std::vector<uint32_t> palette;    // 0x00RRGGBB entries, written blue, green, red, 0
    uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha (headers of 108 bytes or more)
    std::vector<uint8_t> pixels;      // exactly as stored in the file
};

// The whole file: file header, information header, palette, pixels.
std::vector<uint8_t> makeBitmap(const BitmapLayout& layout);

// Rows of 24-bit texels (0xRRGGBB), given top row first, stored bottom-up and padded.
std::vector<uint8_t> rows24(const std::vector<std::vector<uint32_t>>& topDown);

// A 24-bit bitmap of the given size with a simple gradient, for fuzz seeds and loads.
std::vector<uint8_t> gradient24(int32_t width, int32_t height);

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace bmptest
