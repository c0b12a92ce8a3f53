#include "crtrand.h"

#include <cstdint>

namespace {
uint32_t state = 1;
} // namespace

int crtRand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

void crtSrand(unsigned int seed) {
    state = seed;
}
