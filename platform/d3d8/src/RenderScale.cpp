#include "RenderScale.h"

#include <algorithm>
#include <cstring>

UINT RenderScale::fitDisplay(bool softwareRasteriser, UINT displayHeight, UINT backBufferHeight) {
    if (softwareRasteriser || displayHeight == 0 || backBufferHeight == 0) {
        return 1;
    }
    const UINT reaching =
        displayHeight / backBufferHeight + (displayHeight % backBufferHeight != 0 ? 1 : 0);
    return std::clamp<UINT>(reaching, 1, MOST);
}

void RenderScale::average(const uint8_t* fine, UINT finePitch, uint8_t* out, UINT pitch, UINT width,
                          UINT height) const {
    const uint32_t samples = n * n;
    for (UINT y = 0; y < height; ++y) {
        uint8_t* to = out + static_cast<size_t>(y) * pitch;
        for (UINT x = 0; x < width; ++x) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (UINT dy = 0; dy < n; ++dy) {
                const uint8_t* from = fine + static_cast<size_t>(y * n + dy) * finePitch +
                                      static_cast<size_t>(x) * n * 4;
                for (UINT dx = 0; dx < n; ++dx, from += 4) {
                    sum[0] += from[0];
                    sum[1] += from[1];
                    sum[2] += from[2];
                    sum[3] += from[3];
                }
            }
            for (int c = 0; c < 4; ++c) {
                to[4 * x + c] = static_cast<uint8_t>((sum[c] + samples / 2) / samples);
            }
        }
    }
}

void RenderScale::replicate(const uint8_t* in, UINT pitch, uint8_t* fine, UINT finePitch,
                            UINT width, UINT height) const {
    for (UINT y = 0; y < height; ++y) {
        const uint8_t* from = in + static_cast<size_t>(y) * pitch;
        uint8_t* row = fine + static_cast<size_t>(y) * n * finePitch;
        for (UINT x = 0; x < width; ++x) {
            for (UINT dx = 0; dx < n; ++dx) {
                std::memcpy(row + (static_cast<size_t>(x) * n + dx) * 4, from + 4 * x, 4);
            }
        }
        for (UINT dy = 1; dy < n; ++dy) {
            std::memcpy(row + static_cast<size_t>(dy) * finePitch, row,
                        static_cast<size_t>(width) * n * 4);
        }
    }
}

const uint8_t* RenderScale::onFineGrid(const uint8_t* in, UINT& pitch, UINT width, UINT height,
                                       std::vector<uint8_t>& storage) const {
    if (n == 1) {
        return in;
    }
    storage.resize(static_cast<size_t>(size(width)) * size(height) * 4);
    replicate(in, pitch, storage.data(), size(width) * 4, width, height);
    pitch = size(width) * 4;
    return storage.data();
}
