#include "content/LoudnessMeter.h"

#include "content/Biquad.h"

#include <cmath>

namespace content {

namespace {

std::vector<double> weighted(const std::vector<float>& x, double rate) {
    // The two K-weighting stages, from their analogue prototypes by the bilinear transform at
    // this rate: a +4 dB shelf above about 1.7 kHz, then a 38 Hz high-pass.
    const double pi = 3.14159265358979323846;
    double k = std::tan(pi * 1681.974450955533 / rate);
    double q = 0.7071752369554196;
    double vh = std::pow(10.0, 3.999843853973347 / 20.0);
    double vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    Biquad shelf = Biquad::coefficients((vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0,
                                        (vh - vb * k / q + k * k) / a0, 2.0 * (k * k - 1.0) / a0,
                                        (1.0 - k / q + k * k) / a0);
    k = std::tan(pi * 38.13547087602444 / rate);
    q = 0.5003270373238773;
    a0 = 1.0 + k / q + k * k;
    Biquad hp =
        Biquad::coefficients(1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0);
    std::vector<double> y(x.size());
    for (size_t i = 0; i < x.size(); ++i) {
        y[i] = hp.process(shelf.process(x[i]));
    }
    return y;
}

} // namespace

std::vector<double> LoudnessMeter::blockPowers(const std::vector<float>& left,
                                               const std::vector<float>& right, double rate) {
    std::vector<double> l = weighted(left, rate);
    std::vector<double> r = weighted(right, rate);
    const size_t block = static_cast<size_t>(std::llround(0.4 * rate));
    const size_t step = static_cast<size_t>(std::llround(0.1 * rate));
    // Prefix sums of the squares make each block a subtraction.
    std::vector<double> sum(l.size() + 1, 0.0);
    for (size_t i = 0; i < l.size(); ++i) {
        sum[i + 1] = sum[i] + l[i] * l[i] + r[i] * r[i];
    }
    std::vector<double> powers;
    for (size_t start = 0; start + block <= l.size(); start += step) {
        powers.push_back((sum[start + block] - sum[start]) / block);
    }
    return powers;
}

double LoudnessMeter::integrated(const std::vector<float>& left, const std::vector<float>& right,
                                 double rate) {
    std::vector<double> powers = blockPowers(left, right, rate);
    auto lufs = [](double p) { return -0.691 + 10.0 * std::log10(p); };
    double total = 0.0;
    size_t count = 0;
    for (double p : powers) {
        if (p > 0.0 && lufs(p) > -70.0) {
            total += p;
            ++count;
        }
    }
    if (count == 0) {
        return -200.0;
    }
    double relative = lufs(total / count) - 10.0;
    total = 0.0;
    count = 0;
    for (double p : powers) {
        if (p > 0.0 && lufs(p) > -70.0 && lufs(p) > relative) {
            total += p;
            ++count;
        }
    }
    return count ? lufs(total / count) : -200.0;
}

} // namespace content
