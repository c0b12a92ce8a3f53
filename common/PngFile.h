// Writes 8-bit RGB or grey pictures as PNG files through libpng.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum class PngCompression {
    Default, // libpng's own choice
    Fast,    // level 1 with the sub filter, for the thousands of frames of a capture
    Best     // level 9, for pictures kept in the repository
};

enum class PngPixels { Rgb, Grey };

// fillRow(y, row) fills row y (top down): 3 * width bytes of RGB or width bytes of grey.
// False when the file cannot be written.
template <class FillRow>
bool writePngFile(const std::string& path, uint32_t width, uint32_t height, FillRow fillRow,
                  PngCompression compression = PngCompression::Default,
                  PngPixels pixels = PngPixels::Rgb) {
    const size_t channels = pixels == PngPixels::Rgb ? 3 : 1;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(file);
        return false;
    }
    std::vector<png_byte> row(size_t{width} * channels);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    if (compression == PngCompression::Fast) {
        png_set_compression_level(png, 1);
        png_set_filter(png, 0, PNG_FILTER_SUB);
    } else if (compression == PngCompression::Best) {
        png_set_compression_level(png, 9);
    }
    png_set_IHDR(png, info, width, height, 8,
                 pixels == PngPixels::Rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < height; ++y) {
        fillRow(y, row.data());
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    return std::fclose(file) == 0 && flushed;
}
