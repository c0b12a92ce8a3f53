#include "content/Biquad.h"

#include <cmath>

namespace content {

namespace {
constexpr double PI = 3.14159265358979323846;
}

Biquad Biquad::normalised(double b0, double b1, double b2, double a0, double a1, double a2) {
    Biquad f;
    f.b0 = b0 / a0;
    f.b1 = b1 / a0;
    f.b2 = b2 / a0;
    f.a1 = a1 / a0;
    f.a2 = a2 / a0;
    return f;
}

Biquad Biquad::lowpass(double rate, double freq, double q) {
    double w = 2.0 * PI * freq / rate;
    double c = std::cos(w);
    double alpha = std::sin(w) / (2.0 * q);
    return normalised((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::highpass(double rate, double freq, double q) {
    double w = 2.0 * PI * freq / rate;
    double c = std::cos(w);
    double alpha = std::sin(w) / (2.0 * q);
    return normalised((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::bandpass(double rate, double freq, double q) {
    double w = 2.0 * PI * freq / rate;
    double c = std::cos(w);
    double alpha = std::sin(w) / (2.0 * q);
    return normalised(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::highShelf(double rate, double freq, double gainDb, double q) {
    double a = std::pow(10.0, gainDb / 40.0);
    double w = 2.0 * PI * freq / rate;
    double c = std::cos(w);
    double alpha = std::sin(w) / (2.0 * q);
    double s = 2.0 * std::sqrt(a) * alpha;
    return normalised(a * ((a + 1) + (a - 1) * c + s), -2 * a * ((a - 1) + (a + 1) * c),
                      a * ((a + 1) + (a - 1) * c - s), (a + 1) - (a - 1) * c + s,
                      2 * ((a - 1) - (a + 1) * c), (a + 1) - (a - 1) * c - s);
}

} // namespace content
