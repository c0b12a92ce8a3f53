// How much finer than the program's own pixels the device draws. Every colour and depth
// target holds factor x factor pixels for each pixel the program addresses; sizes,
// descriptions, viewports and caps stay in the program's pixels, and only the GL side
// (storage, GL viewport, scissor, the position transform, point sizes, copies) sees the
// factor. Direct3D's pixel-centre rule is applied on the finer grid: a position x of the
// program lands on x * factor there, so each program pixel becomes a factor x factor block.
#pragma once

#include <ComObject.h>
#include <d3d8.h>

#include <cstdint>
#include <vector>

class RenderScale {
public:
    explicit RenderScale(UINT factor = 1) : n(factor < 1 ? 1 : factor) {}

    static constexpr UINT MOST = 4;
    // The factor "--scale auto" takes: the smallest whose height reaches the display's on a
    // GPU driver, at most MOST; 1 on a software rasteriser, where every extra pixel costs
    // frame rate, and when either height is unknown (0).
    static UINT fitDisplay(bool softwareRasteriser, UINT displayHeight, UINT backBufferHeight);

    UINT factor() const { return n; }
    bool identity() const { return n == 1; }
    // A length or coordinate of the program's pixels on the finer grid.
    UINT size(UINT programPixels) const { return programPixels * n; }
    LONG at(LONG programPixels) const { return programPixels * static_cast<LONG>(n); }
    RECT rect(const RECT& r) const {
        return RECT{at(r.left), at(r.top), at(r.right), at(r.bottom)};
    }
    // The shift from Direct3D's integer pixel centres to GL's half-integer ones, in program
    // pixels: just under half a fine pixel, which also keeps the top-left fill rule.
    float centreShift() const { return (0.5f - 1.0f / 128.0f) / static_cast<float>(n); }

    // width x height BGRA8 pixels from the finer grid (rows of finePitch bytes, each block
    // of factor x factor averaged with rounding) into rows of pitch bytes.
    void average(const uint8_t* fine, UINT finePitch, uint8_t* out, UINT pitch, UINT width,
                 UINT height) const;
    // The reverse: each BGRA8 pixel becomes a factor x factor block on the finer grid.
    void replicate(const uint8_t* in, UINT pitch, uint8_t* fine, UINT finePitch, UINT width,
                   UINT height) const;
    // width x height BGRA8 pixels on the finer grid: in itself at factor 1, else their
    // blocks in storage; pitch becomes the rows' pitch.
    const uint8_t* onFineGrid(const uint8_t* in, UINT& pitch, UINT width, UINT height,
                              std::vector<uint8_t>& storage) const;

private:
    UINT n;
};
