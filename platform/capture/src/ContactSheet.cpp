#include "ContactSheet.h"

#include <algorithm>

namespace {
// 5 x 7 dot glyphs, one byte a row, bit 4 the leftmost dot.
struct Glyph {
    char c;
    uint8_t rows[7];
};
constexpr Glyph GLYPHS[] = {
    {'0', {0x0e, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0e}},
    {'1', {0x04, 0x0c, 0x04, 0x04, 0x04, 0x04, 0x0e}},
    {'2', {0x0e, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1f}},
    {'3', {0x1f, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0e}},
    {'4', {0x02, 0x06, 0x0a, 0x12, 0x1f, 0x02, 0x02}},
    {'5', {0x1f, 0x10, 0x1e, 0x01, 0x01, 0x11, 0x0e}},
    {'6', {0x06, 0x08, 0x10, 0x1e, 0x11, 0x11, 0x0e}},
    {'7', {0x1f, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0e, 0x11, 0x11, 0x0e, 0x11, 0x11, 0x0e}},
    {'9', {0x0e, 0x11, 0x11, 0x0f, 0x01, 0x02, 0x0c}},
    {':', {0x00, 0x0c, 0x0c, 0x00, 0x0c, 0x0c, 0x00}},
    {'s', {0x00, 0x00, 0x0e, 0x10, 0x0e, 0x01, 0x1e}},
    {' ', {0, 0, 0, 0, 0, 0, 0}},
};

const Glyph* glyph(char c) {
    for (const Glyph& g : GLYPHS) {
        if (g.c == c) {
            return &g;
        }
    }
    return nullptr;
}

void fill(PngImage& image, uint32_t x0, uint32_t y0, uint32_t w, uint32_t h, uint8_t value) {
    for (uint32_t y = y0; y < std::min(y0 + h, image.height); ++y) {
        for (uint32_t x = x0; x < std::min(x0 + w, image.width); ++x) {
            uint8_t* p = image.pixel(x, y);
            p[0] = p[1] = p[2] = value;
        }
    }
}
} // namespace

bool ContactSheet::wants(uint32_t index, uint32_t tickMs) {
    // The first frame at or after a whole second: its predecessor lies in the second before.
    const uint64_t ms = uint64_t{index} * tickMs;
    return index == 0 || ms / 1000 != (ms - tickMs) / 1000;
}

void ContactSheet::add(const PngImage& frame, uint32_t second) {
    PngImage tile(std::max(1u, frame.width / shrink), std::max(1u, frame.height / shrink));
    // A box filter over each shrink x shrink block.
    for (uint32_t y = 0; y < tile.height; ++y) {
        for (uint32_t x = 0; x < tile.width; ++x) {
            uint32_t sum[3] = {0, 0, 0}, count = 0;
            for (uint32_t dy = 0; dy < shrink && y * shrink + dy < frame.height; ++dy) {
                for (uint32_t dx = 0; dx < shrink && x * shrink + dx < frame.width; ++dx) {
                    const uint8_t* p = frame.pixel(x * shrink + dx, y * shrink + dy);
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                    ++count;
                }
            }
            uint8_t* out = tile.pixel(x, y);
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<uint8_t>((sum[c] + count / 2) / count);
            }
        }
    }
    tiles.push_back({std::move(tile), second});
}

void ContactSheet::label(PngImage& image, uint32_t x, uint32_t y, const std::string& text,
                         uint32_t scale) {
    const uint32_t advance = 6 * scale;
    fill(image, x, y, static_cast<uint32_t>(text.size()) * advance + 2 * scale, 9 * scale, 0);
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph* g = glyph(text[i]);
        if (!g) {
            continue;
        }
        for (uint32_t row = 0; row < 7; ++row) {
            for (uint32_t col = 0; col < 5; ++col) {
                if (g->rows[row] & (0x10 >> col)) {
                    fill(image, x + scale + static_cast<uint32_t>(i) * advance + col * scale,
                         y + scale + row * scale, scale, scale, 255);
                }
            }
        }
    }
}

PngImage ContactSheet::compose() const {
    if (tiles.empty()) {
        return PngImage(1, 1);
    }
    const uint32_t tw = tiles.front().image.width, th = tiles.front().image.height;
    const uint32_t columns = std::min<uint32_t>(COLUMNS, static_cast<uint32_t>(tiles.size()));
    const uint32_t rows = static_cast<uint32_t>((tiles.size() + columns - 1) / columns);
    PngImage sheet(GAP + columns * (tw + GAP), GAP + rows * (th + GAP), 24, 24, 24);
    for (size_t i = 0; i < tiles.size(); ++i) {
        const PngImage& tile = tiles[i].image;
        const uint32_t x0 = GAP + static_cast<uint32_t>(i % columns) * (tw + GAP);
        const uint32_t y0 = GAP + static_cast<uint32_t>(i / columns) * (th + GAP);
        for (uint32_t y = 0; y < std::min(th, tile.height); ++y) {
            std::copy_n(tile.pixel(0, y), 3 * std::min(tw, tile.width), sheet.pixel(x0, y0 + y));
        }
        const uint32_t s = tiles[i].second;
        std::string text =
            std::to_string(s / 60) + ":" + (s % 60 < 10 ? "0" : "") + std::to_string(s % 60);
        label(sheet, x0 + 2, y0 + th - 2 - 18, text, 2);
    }
    return sheet;
}
