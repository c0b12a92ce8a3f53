#include "content/Noise.h"

#include <cmath>

namespace content {

uint32_t Noise::hash(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h =
        a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float Noise::lattice(int x, int y, int px, int py) const {
    int wx = ((x % px) + px) % px;
    int wy = ((y % py) + py) % py;
    return (hash(static_cast<uint32_t>(wx), static_cast<uint32_t>(wy), seed) & 0xFFFFFF) /
           16777215.0f;
}

float Noise::value(float x, float y, int px, int py) const {
    float fx = std::floor(x);
    float fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    float tx = x - fx;
    float ty = y - fy;
    // Quintic fade keeps the second derivative continuous: no creases in the clouds.
    tx = tx * tx * tx * (tx * (tx * 6.0f - 15.0f) + 10.0f);
    ty = ty * ty * ty * (ty * (ty * 6.0f - 15.0f) + 10.0f);
    float a = lattice(ix, iy, px, py);
    float b = lattice(ix + 1, iy, px, py);
    float c = lattice(ix, iy + 1, px, py);
    float d = lattice(ix + 1, iy + 1, px, py);
    float top = a + (b - a) * tx;
    float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float Noise::fractal(float u, float v, int cellsX, int cellsY, int octaves, float gain) const {
    float sum = 0.0f;
    float amp = 1.0f;
    float norm = 0.0f;
    int cx = cellsX;
    int cy = cellsY;
    for (int o = 0; o < octaves; ++o) {
        Noise octave(seed + 1013u * static_cast<uint32_t>(o));
        sum += amp * octave.value(u * cx, v * cy, cx, cy);
        norm += amp;
        amp *= gain;
        cx *= 2;
        cy *= 2;
    }
    return sum / norm;
}

} // namespace content
