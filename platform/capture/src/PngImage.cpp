#include "PngImage.h"

#include "common/PngFile.h"

#include <algorithm>

PngImage::PngImage(uint32_t w, uint32_t h, uint8_t r, uint8_t g, uint8_t b)
    : width(w), height(h), rgb(size_t{w} * h * 3) {
    if (r == 0 && g == 0 && b == 0) {
        return; // already black
    }
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = r;
        rgb[i + 1] = g;
        rgb[i + 2] = b;
    }
}

bool PngImage::write(const std::string& path, std::string& error) const {
    auto fillRow = [this](uint32_t y, uint8_t* row) {
        std::copy_n(pixel(0, y), size_t{width} * 3, row);
    };
    if (!writePngFile(path, width, height, fillRow, PngCompression::Fast)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool PngImage::read(const std::string& path, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = "cannot read " + path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    width = image.width;
    height = image.height;
    rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        error = "cannot read " + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}
