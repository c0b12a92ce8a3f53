#pragma once

#include <cstdint>

namespace content {

// Tileable gradient-free value noise and its fractal sum, fully determined by the seed.
class Noise {
public:
    explicit Noise(uint32_t seed) : seed(seed) {}

    // Smooth noise in 0..1 at (x, y) in lattice units; repeats every px by py cells.
    float value(float x, float y, int px, int py) const;
    // Sum of octaves, each twice the frequency and gain times the amplitude of the one before.
    // (u, v) in 0..1 across the tile; the result repeats with the tile.
    float fractal(float u, float v, int cellsX, int cellsY, int octaves, float gain) const;

    // A well-mixed 32-bit hash, also used for deterministic scatter.
    static uint32_t hash(uint32_t a, uint32_t b, uint32_t c);

private:
    float lattice(int x, int y, int px, int py) const;
    uint32_t seed;
};

} // namespace content
