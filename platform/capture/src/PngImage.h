// An 8-bit RGB picture and its PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PngImage {
public:
    PngImage() = default;
    PngImage(uint32_t width, uint32_t height, uint8_t r = 0, uint8_t g = 0, uint8_t b = 0);

    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgb; // rows top down, 3 bytes a pixel

    uint8_t* pixel(uint32_t x, uint32_t y) { return &rgb[(size_t{y} * width + x) * 3]; }
    const uint8_t* pixel(uint32_t x, uint32_t y) const { return &rgb[(size_t{y} * width + x) * 3]; }

    // Writes the picture; false (with `error` set) when the file cannot be written.
    bool write(const std::string& path, std::string& error) const;
    // Reads an 8-bit RGB or RGBA PNG (alpha dropped); false when it is not one.
    bool read(const std::string& path, std::string& error);
};
