#include "demo/RandRange.h"

#include <crtrand.h>

namespace {
// The single-precision value nearest 1/32767.
constexpr float INVERSE_RAND_MAX = 3.0518509447574615e-05f;
} // namespace

float randRange(float a, float b) {
    const double draw = crtRand();
    const double value = a + draw * static_cast<double>(INVERSE_RAND_MAX) *
                                 (static_cast<double>(b) - static_cast<double>(a));
    return static_cast<float>(value);
}
