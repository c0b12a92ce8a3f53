#pragma once

namespace content {

// A second-order IIR section (transposed direct form II) with the usual audio designs.
class Biquad {
public:
    static Biquad lowpass(double rate, double freq, double q);
    static Biquad highpass(double rate, double freq, double q);
    static Biquad bandpass(double rate, double freq, double q);
    static Biquad highShelf(double rate, double freq, double gainDb, double q);
    // Coefficients already normalised so that a0 is 1.
    static Biquad coefficients(double b0, double b1, double b2, double a1, double a2) {
        return normalised(b0, b1, b2, 1.0, a1, a2);
    }

    double process(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
    // Changes the design but keeps the state, for filters swept while they run.
    void retune(const Biquad& other) {
        b0 = other.b0;
        b1 = other.b1;
        b2 = other.b2;
        a1 = other.a1;
        a2 = other.a2;
    }
    void reset() { z1 = z2 = 0.0; }

private:
    static Biquad normalised(double b0, double b1, double b2, double a0, double a1, double a2);
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double z1 = 0.0, z2 = 0.0;
};

} // namespace content
