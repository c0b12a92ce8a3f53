// An independent model of the runtime generator's draws, so the tests can say
// which draw each random value of the scene came from.
#pragma once

#include <cstdint>

class RuntimeDraws {
public:
    explicit RuntimeDraws(uint32_t seed) : state(seed) {}

    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }
    void skip(int count) {
        for (int i = 0; i < count; ++i) {
            next();
        }
    }
    // a + draw x (the single-precision 1/32767) x (b - a), rounded to single.
    float range(float a, float b) {
        const double factor = 3.0518509447574615e-05;
        return static_cast<float>(a + next() * factor * (static_cast<double>(b) - a));
    }

private:
    uint32_t state;
};
