// Scales a picture to the window on the CPU, as the software rasteriser's bilinear copy
// does it but in a fraction of its time: one pass across for the source rows a window row
// needs, one pass down, 8-bit weights. Reads R, G, B, A bytes (as GL_RGBA reads them
// back), top row first; writes B, G, R, X bytes, the layout of an X server's 24-bit
// pixels in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class BilinearScaler {
public:
    // A rectangle of the picture, in its pixels.
    struct Area {
        int x, y, width, height;
    };
    // Sample positions and weights for drawing area of a pictureWidth x pictureHeight
    // picture at width x height; sizes at least 1. As with GL's filtering, pixels on the
    // area's edges blend with the picture's pixels just outside it.
    void prepare(int pictureWidth, int pictureHeight, Area area, int width, int height);
    // Fills width x height pixels at destination (destinationStride bytes a row) from the
    // whole picture (pictureStride bytes a row) of the last prepare.
    void scale(const uint8_t* picture, size_t pictureStride, uint8_t* destination,
               size_t destinationStride);

    // Where a window pixel's centre falls between two picture pixels, the area running from
    // start for size pixels drawn across count pixels: the first of them and the second's
    // weight out of 256, clamped at the picture's edges (limit pixels) as CLAMP_TO_EDGE does.
    struct Tap {
        int first;
        int second;
        int weight;
    };
    static Tap tap(int index, int start, int size, int count, int limit);

private:
    void across(const uint8_t* row, uint16_t* out) const;

    int pictureWidth = 0, pictureHeight = 0, width = 0, height = 0;
    Area area{};
    std::vector<Tap> columns, rows;
    std::vector<uint16_t> upper, lower; // two source rows scaled across, B, G, R, A
};
