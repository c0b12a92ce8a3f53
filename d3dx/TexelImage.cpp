#include "d3dx/TexelImage.h"

#include <Formats.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

uint32_t channel(uint32_t argb, int index) {
    return (argb >> (24 - 8 * index)) & 0xFF;
}

uint32_t pack(const double (&c)[4]) {
    uint32_t result = 0;
    for (int i = 0; i < 4; ++i) {
        double v = std::clamp(std::round(c[i]), 0.0, 255.0);
        result |= static_cast<uint32_t>(v) << (24 - 8 * i);
    }
    return result;
}

// The source span each destination texel takes along one axis, as weights.
struct Tap {
    uint32_t first;
    std::vector<double> weights;
};

std::vector<Tap> taps(uint32_t source, uint32_t target, bool point) {
    std::vector<Tap> result(target);
    double scale = double(source) / target;
    for (uint32_t i = 0; i < target; ++i) {
        Tap& tap = result[i];
        if (point) {
            tap.first = std::min(source - 1, static_cast<uint32_t>((i + 0.5) * scale));
            tap.weights = {1.0};
        } else if (target >= source) {
            // Growing: interpolate between the two nearest source texel centres.
            double centre = (i + 0.5) * scale - 0.5;
            double floorCentre = std::floor(centre);
            double frac = centre - floorCentre;
            int64_t lo = static_cast<int64_t>(floorCentre);
            int64_t a = std::clamp<int64_t>(lo, 0, source - 1);
            int64_t b = std::clamp<int64_t>(lo + 1, 0, source - 1);
            tap.first = static_cast<uint32_t>(a);
            tap.weights.assign(static_cast<size_t>(b - a + 1), 0.0);
            tap.weights[0] += 1.0 - frac;
            tap.weights[static_cast<size_t>(b - a)] += frac;
        } else {
            // Shrinking: average the covered source texels, partial ones by coverage.
            double from = i * scale, to = (i + 1) * scale;
            uint32_t first = static_cast<uint32_t>(from);
            uint32_t last = std::min(source - 1, static_cast<uint32_t>(std::ceil(to)) - 1);
            tap.first = first;
            for (uint32_t s = first; s <= last; ++s) {
                double cover = std::min<double>(s + 1, to) - std::max<double>(s, from);
                tap.weights.push_back(cover / scale);
            }
        }
    }
    return result;
}

} // namespace

TexelImage::TexelImage(uint32_t width, uint32_t height, std::vector<uint32_t> pixels)
    : w(width), h(height), texels(std::move(pixels)) {}

TexelImage TexelImage::resized(uint32_t width, uint32_t height, bool point) const {
    if (width == w && height == h) {
        return *this;
    }
    std::vector<Tap> across = taps(w, width, point);
    std::vector<Tap> down = taps(h, height, point);
    // Rows first into doubles, then columns.
    std::vector<double> rows(size_t(width) * h * 4);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            double* out = &rows[(size_t(y) * width + x) * 4];
            const Tap& tap = across[x];
            for (size_t k = 0; k < tap.weights.size(); ++k) {
                uint32_t texel = at(tap.first + static_cast<uint32_t>(k), y);
                for (int c = 0; c < 4; ++c) {
                    out[c] += tap.weights[k] * channel(texel, c);
                }
            }
        }
    }
    std::vector<uint32_t> result(size_t(width) * height);
    for (uint32_t y = 0; y < height; ++y) {
        const Tap& tap = down[y];
        for (uint32_t x = 0; x < width; ++x) {
            double sum[4] = {0, 0, 0, 0};
            for (size_t k = 0; k < tap.weights.size(); ++k) {
                const double* in = &rows[((tap.first + k) * width + x) * 4];
                for (int c = 0; c < 4; ++c) {
                    sum[c] += tap.weights[k] * in[c];
                }
            }
            result[size_t(y) * width + x] = pack(sum);
        }
    }
    return TexelImage(width, height, std::move(result));
}

TexelImage TexelImage::halved() const {
    uint32_t width = std::max(1u, w / 2), height = std::max(1u, h / 2);
    std::vector<uint32_t> result(size_t(width) * height);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t x0 = std::min(2 * x, w - 1), x1 = std::min(2 * x + 1, w - 1);
            uint32_t y0 = std::min(2 * y, h - 1), y1 = std::min(2 * y + 1, h - 1);
            uint32_t block[4] = {at(x0, y0), at(x1, y0), at(x0, y1), at(x1, y1)};
            uint32_t packed = 0;
            for (int c = 0; c < 4; ++c) {
                uint32_t sum = 0;
                for (uint32_t texel : block) {
                    sum += channel(texel, c);
                }
                packed |= ((sum + 2) / 4) << (24 - 8 * c);
            }
            result[size_t(y) * width + x] = packed;
        }
    }
    return TexelImage(width, height, std::move(result));
}

uint32_t TexelImage::bytesPerTexel(D3DFORMAT format) {
    // The colour formats the device stores; no depth formats.
    return isColorFormat(format) ? formatBytesPerPixel(format) : 0;
}

bool TexelImage::write(D3DFORMAT format, uint8_t* bits, int32_t pitch) const {
    uint32_t bytes = bytesPerTexel(format);
    if (bytes == 0) {
        return false;
    }
    // Narrows an 8-bit channel to n bits, rounding to nearest.
    auto narrow = [](uint32_t v, int n) { return (v * ((1u << n) - 1) + 127) / 255; };
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* row = bits + ptrdiff_t(pitch) * y;
        for (uint32_t x = 0; x < w; ++x) {
            uint32_t t = at(x, y);
            uint32_t a = channel(t, 0), r = channel(t, 1), g = channel(t, 2), b = channel(t, 3);
            uint32_t out = 0;
            switch (format) {
            case D3DFMT_A8R8G8B8:
                out = t;
                break;
            case D3DFMT_X8R8G8B8:
                out = t | 0xFF000000u;
                break;
            case D3DFMT_R8G8B8:
                out = t & 0xFFFFFFu;
                break;
            case D3DFMT_R5G6B5:
                out = narrow(r, 5) << 11 | narrow(g, 6) << 5 | narrow(b, 5);
                break;
            case D3DFMT_X1R5G5B5:
                out = 0x8000u | narrow(r, 5) << 10 | narrow(g, 5) << 5 | narrow(b, 5);
                break;
            case D3DFMT_A1R5G5B5:
                out = (a >= 128 ? 0x8000u : 0) | narrow(r, 5) << 10 | narrow(g, 5) << 5 |
                      narrow(b, 5);
                break;
            case D3DFMT_A4R4G4B4:
                out = narrow(a, 4) << 12 | narrow(r, 4) << 8 | narrow(g, 4) << 4 | narrow(b, 4);
                break;
            case D3DFMT_X4R4G4B4:
                out = 0xF000u | narrow(r, 4) << 8 | narrow(g, 4) << 4 | narrow(b, 4);
                break;
            case D3DFMT_A8R3G3B2:
                out = a << 8 | narrow(r, 3) << 5 | narrow(g, 3) << 2 | narrow(b, 2);
                break;
            case D3DFMT_R3G3B2:
                out = narrow(r, 3) << 5 | narrow(g, 3) << 2 | narrow(b, 2);
                break;
            case D3DFMT_A8L8:
            case D3DFMT_L8: {
                // Luminance by the usual video weights.
                uint32_t l = (r * 299 + g * 587 + b * 114 + 500) / 1000;
                out = format == D3DFMT_A8L8 ? (a << 8 | l) : l;
                break;
            }
            case D3DFMT_A8:
                out = a;
                break;
            default:
                return false;
            }
            std::memcpy(row + size_t(x) * bytes, &out, bytes); // little-endian texels
        }
    }
    return true;
}
