#pragma once

#include "content/Image.h"

#include <string>

namespace content {

// Writes an RGB image as an 8-bit PNG (used only for the review contact sheet).
class PngWriter {
public:
    static bool write(const Image& image, const std::string& path);
};

} // namespace content
