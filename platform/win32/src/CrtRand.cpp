#include "crtrand.h"

#include <cstdint>

namespace {
uint32_t state = 1;
// The single-precision value nearest 1/32767.
constexpr float INVERSE_RAND_MAX = 3.0518509447574615e-05f;
} // namespace

int crtRand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

void crtSrand(unsigned int seed) {
    state = seed;
}

float randRange(float a, float b) {
    const double draw = crtRand();
    const double value = a + draw * static_cast<double>(INVERSE_RAND_MAX) *
                                 (static_cast<double>(b) - static_cast<double>(a));
    return static_cast<float>(value);
}
