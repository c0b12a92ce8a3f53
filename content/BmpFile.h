#pragma once

#include "content/Image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace content {

// Windows bitmaps: 24 bits per pixel, uncompressed, rows bottom-up and padded to 4 bytes.
class BmpFile {
public:
    static std::vector<uint8_t> encode(const Image& image);

    // A decoded 24-bit file: pixels top-down as red, green, blue bytes.
    struct Decoded {
        int width = 0;
        int height = 0;
        int bitsPerPixel = 0;
        std::vector<uint8_t> rgb;
        const uint8_t* at(int x, int y) const {
            return &rgb[(static_cast<size_t>(y) * width + x) * 3];
        }
    };
    // Accepts what encode writes; false for anything else (wrong magic, size, depth).
    static bool decode(const std::vector<uint8_t>& bytes, Decoded& out);
};

} // namespace content
