#include "content/Envelope.h"

#include <cmath>

namespace content {

double Envelope::held(double t) const {
    if (t <= 0.0) {
        return 0.0;
    }
    if (t < attack) {
        return t / attack;
    }
    if (decay <= 0.0) {
        return sustain;
    }
    return sustain + (1.0 - sustain) * std::exp(-(t - attack) / decay);
}

double Envelope::at(double t, double gate) const {
    if (t <= 0.0) {
        return 0.0;
    }
    if (t < gate) {
        return held(t);
    }
    double r = (t - gate) / release;
    if (r >= 1.0) {
        return 0.0;
    }
    // A squared fall keeps the slope bounded (at most twice the level per release time).
    double k = 1.0 - r;
    return held(gate) * k * k;
}

} // namespace content
