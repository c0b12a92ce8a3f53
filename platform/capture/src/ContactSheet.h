// One frame per second of the scene clock, shrunk and tiled into one picture,
// each labelled with its second.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PngImage.h"

class ContactSheet {
public:
    static constexpr uint32_t COLUMNS = 8;
    static constexpr uint32_t SHRINK = 4; // each tile is a quarter of the frame across
    static constexpr uint32_t GAP = 4;

    // Whether frame `index` (at index x tickMs) is the first one of a new second.
    static bool wants(uint32_t index, uint32_t tickMs);

    // Frames drawn at `frameScale` times the program's size shrink that much more, so
    // the sheet keeps its size.
    explicit ContactSheet(uint32_t frameScale = 1)
        : shrink(SHRINK * (frameScale ? frameScale : 1)) {}

    // Adds the frame that shows second `second`.
    void add(const PngImage& frame, uint32_t second);
    bool empty() const { return tiles.empty(); }
    size_t size() const { return tiles.size(); }

    // The sheet: tiles left to right, top to bottom, on a dark ground.
    PngImage compose() const;

    // Draws `text` (digits, ':', ' ' and 's') at (x, y), `scale` pixels a dot,
    // white on a black box.
    static void label(PngImage& image, uint32_t x, uint32_t y, const std::string& text,
                      uint32_t scale);

private:
    struct Tile {
        PngImage image;
        uint32_t second;
    };
    std::vector<Tile> tiles;
    uint32_t shrink;
};
