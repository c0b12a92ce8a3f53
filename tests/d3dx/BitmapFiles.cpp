#include "BitmapFiles.h"

#include <cstdio>

namespace bmptest {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

std::vector<uint8_t> makeBitmap(const BitmapLayout& layout) {
    std::vector<uint8_t> info;
    put32(info, layout.headerSize);
    put32(info, static_cast<uint32_t>(layout.width));
    put32(info, static_cast<uint32_t>(layout.height));
    put16(info, 1);
    put16(info, layout.bits);
    put32(info, layout.compression);
    put32(info, static_cast<uint32_t>(layout.pixels.size()));
    put32(info, 2835);
    put32(info, 2835);
    put32(info, static_cast<uint32_t>(layout.palette.size()));
    put32(info, 0);
    if (layout.headerSize >= 108) {
        for (uint32_t mask : layout.masks) {
            put32(info, mask);
        }
    }
    info.resize(layout.headerSize, 0);
    uint32_t offset = 14 + layout.headerSize + 4 * static_cast<uint32_t>(layout.palette.size());
    std::vector<uint8_t> file;
    put16(file, 0x4D42);
    put32(file, offset + static_cast<uint32_t>(layout.pixels.size()));
    put32(file, 0);
    put32(file, offset);
    file.insert(file.end(), info.begin(), info.end());
    for (uint32_t entry : layout.palette) {
        put32(file, entry & 0xFFFFFF);
    }
    file.insert(file.end(), layout.pixels.begin(), layout.pixels.end());
    return file;
}

std::vector<uint8_t> rows24(const std::vector<std::vector<uint32_t>>& topDown) {
    std::vector<uint8_t> out;
    for (auto row = topDown.rbegin(); row != topDown.rend(); ++row) {
        size_t start = out.size();
        for (uint32_t texel : *row) {
            out.push_back(static_cast<uint8_t>(texel));
            out.push_back(static_cast<uint8_t>(texel >> 8));
            out.push_back(static_cast<uint8_t>(texel >> 16));
        }
        while ((out.size() - start) % 4 != 0) {
            out.push_back(0);
        }
    }
    return out;
}

std::vector<uint8_t> gradient24(int32_t width, int32_t height) {
    std::vector<std::vector<uint32_t>> rows(height, std::vector<uint32_t>(width));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            rows[y][x] = static_cast<uint32_t>((x * 255 / std::max(1, width - 1)) << 16 |
                                               (y * 255 / std::max(1, height - 1)) << 8 | 0x40);
        }
    }
    BitmapLayout layout;
    layout.width = width;
    layout.height = height;
    layout.pixels = rows24(rows);
    return makeBitmap(layout);
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace bmptest
