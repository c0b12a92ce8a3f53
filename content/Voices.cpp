#include "content/Voices.h"

#include "content/Biquad.h"
#include "content/Envelope.h"
#include "content/Noise.h"

#include <algorithm>
#include <cmath>

namespace content {

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double TAU = 2.0 * PI;

// Deterministic white noise in -1..1, seeded per voice.
class White {
public:
    explicit White(uint32_t seed) : state(seed ? seed : 1u) {}
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state / 2147483647.5) - 1.0;
    }

private:
    uint32_t state;
};

uint32_t seedFor(double start, uint32_t voice) {
    return Noise::hash(static_cast<uint32_t>(start * 44100.0), voice, 0x5EEDu);
}

// Band-limited sawtooth: the naive ramp with a polynomial step correction at each wrap.
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double saw(double phase, double dt) {
    return 2.0 * phase - 1.0 - polyBlep(phase, dt);
}

int64_t index(const Mix& m, double t) {
    return static_cast<int64_t>(std::llround(t * m.rate));
}

} // namespace

Mix::Mix(double seconds, double r)
    : rate(r), dryL(static_cast<size_t>(seconds * r), 0.0f), dryR(dryL.size(), 0.0f),
      sendL(dryL.size(), 0.0f), sendR(dryL.size(), 0.0f) {}

Mix::Pan Mix::panGains(double pan) {
    double a = (pan + 1.0) * PI * 0.25;
    return {std::cos(a) * 1.41421356, std::sin(a) * 1.41421356};
}

double Voices::frequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

void Voices::kick(Mix& m, double start, double gain) {
    const Mix::Pan centre = Mix::panGains(0.0);
    const Envelope env(0.001, 0.16, 0.0, 0.05);
    const double gate = 0.35;
    int64_t s0 = index(m, start);
    int64_t n = static_cast<int64_t>(env.length(gate) * m.rate);
    double phase = 0.0;
    for (int64_t i = 0; i < n; ++i) {
        double t = i / m.rate;
        double f = 44.0 + 110.0 * std::exp(-t / 0.035);
        phase += f / m.rate;
        double v = std::sin(TAU * phase) * env.at(t, gate);
        m.put(s0 + i, gain * v, centre, 0.05);
    }
}

void Voices::snare(Mix& m, double start, double gain) {
    const Mix::Pan centre = Mix::panGains(0.0);
    const Envelope body(0.001, 0.06, 0.0, 0.03);
    const Envelope noise(0.001, 0.12, 0.0, 0.08);
    const double gate = 0.18;
    White w(seedFor(start, 2));
    Biquad bp = Biquad::bandpass(m.rate, 2200.0, 0.7);
    Biquad hp = Biquad::highpass(m.rate, 600.0, 0.7);
    int64_t s0 = index(m, start);
    int64_t n = static_cast<int64_t>(noise.length(gate) * m.rate);
    for (int64_t i = 0; i < n; ++i) {
        double t = i / m.rate;
        double tone = std::sin(TAU * 185.0 * t) * body.at(t, gate);
        double x = w.next();
        double hiss = (bp.process(x) * 1.2 + hp.process(x) * 0.5) * noise.at(t, gate);
        m.put(s0 + i, gain * (0.6 * tone + hiss), centre, 0.25);
    }
}

void Voices::clap(Mix& m, double start, double gain) {
    const Mix::Pan centre = Mix::panGains(0.0);
    White w(seedFor(start, 3));
    Biquad bp = Biquad::bandpass(m.rate, 1400.0, 1.2);
    int64_t s0 = index(m, start);
    const double offsets[4] = {0.0, 0.011, 0.022, 0.033};
    int64_t n = static_cast<int64_t>(0.35 * m.rate);
    for (int64_t i = 0; i < n; ++i) {
        double t = i / m.rate;
        double level = 0.0;
        for (int k = 0; k < 4; ++k) {
            double u = t - offsets[k];
            if (u > 0.0) {
                double burst = (k < 3) ? std::exp(-u / 0.006) : std::exp(-u / 0.09);
                level = std::max(level, std::min(1.0, u / 0.0008) * burst);
            }
        }
        // Fade the last 20 ms so the tail ends at zero.
        double end = std::min(1.0, (0.35 - t) / 0.02);
        m.put(s0 + i, gain * bp.process(w.next()) * 3.0 * level * end, centre, 0.35);
    }
}

void Voices::hat(Mix& m, double start, double gain, bool open, double pan) {
    const Mix::Pan pn = Mix::panGains(pan);
    const Envelope env(0.0008, open ? 0.12 : 0.025, 0.0, open ? 0.1 : 0.03);
    const double gate = open ? 0.2 : 0.04;
    White w(seedFor(start, open ? 5u : 4u));
    Biquad hp = Biquad::highpass(m.rate, 7500.0, 0.8);
    Biquad hp2 = Biquad::highpass(m.rate, 7500.0, 0.8);
    int64_t s0 = index(m, start);
    int64_t n = static_cast<int64_t>(env.length(gate) * m.rate);
    for (int64_t i = 0; i < n; ++i) {
        double t = i / m.rate;
        double v = hp2.process(hp.process(w.next())) * env.at(t, gate);
        m.put(s0 + i, gain * v, pn, 0.15);
    }
}

void Voices::crash(Mix& m, double start, double gain) {
    const Mix::Pan pl = Mix::panGains(-0.6);
    const Mix::Pan pr = Mix::panGains(0.6);
    const Envelope env(0.001, 0.6, 0.0, 0.8);
    const double gate = 1.2;
    White wl(seedFor(start, 6));
    White wr(seedFor(start, 7));
    Biquad hl = Biquad::highpass(m.rate, 3500.0, 0.7);
    Biquad hr = Biquad::highpass(m.rate, 3500.0, 0.7);
    int64_t s0 = index(m, start);
    int64_t n = static_cast<int64_t>(env.length(gate) * m.rate);
    for (int64_t i = 0; i < n; ++i) {
        double t = i / m.rate;
        double e = env.at(t, gate);
        m.put(s0 + i, gain * hl.process(wl.next()) * e, pl, 0.4);
        m.put(s0 + i, gain * hr.process(wr.next()) * e, pr, 0.4);
    }
}

void Voices::bass(Mix& m, double start, double gate, int note, double gain) {
    const Mix::Pan centre = Mix::panGains(0.0);
    const Envelope amp(0.004, 0.3, 0.7, 0.03);
    double f = frequency(note);
    Biquad lp = Biquad::lowpass(m.rate, 400.0, 0.9);
    int64_t s0 = index(m, start);
    int64_t n = static_cast<int64_t>(amp.length(gate) * m.rate);
    double phase = 0.0;
    double sub = 0.0;
    for (int64_t i = 0; i < n; ++i) {
        double t = i / m.rate;
        if (i % 32 == 0) {
            double cut = 220.0 + 900.0 * std::exp(-t / 0.08);
            lp.retune(Biquad::lowpass(m.rate, cut, 1.1));
        }
        phase += f / m.rate;
        phase -= std::floor(phase);
        sub += f / m.rate;
        double v = lp.process(saw(phase, f / m.rate)) * 0.6 + std::sin(TAU * sub) * 0.55;
        m.put(s0 + i, gain * v * amp.at(t, gate), centre, 0.03);
    }
}

void Voices::pad(Mix& m, double start, double gate, int note, double gain, double bright) {
    // Three detuned saws: the low one leans left, the high one right, the middle one is shared.
    const Mix::Pan pl = Mix::panGains(-0.7);
    const Mix::Pan pr = Mix::panGains(0.7);
    const Envelope amp(0.5, 1.0, 0.8, 0.9);
    double f = frequency(note);
    const double detune[3] = {-0.11, 0.0, 0.12};
    double phases[3] = {0.13, 0.57, 0.91};
    double steps[3];
    for (int k = 0; k < 3; ++k) {
        steps[k] = f * std::pow(2.0, detune[k] / 12.0) / m.rate;
    }
    Biquad lpL = Biquad::lowpass(m.rate, 500.0 + 2500.0 * bright, 0.7);
    Biquad lpR = Biquad::lowpass(m.rate, 500.0 + 2500.0 * bright, 0.7);
    int64_t s0 = index(m, start);
    int64_t n = static_cast<int64_t>(amp.length(gate) * m.rate);
    for (int64_t i = 0; i < n; ++i) {
        double t = i / m.rate;
        double e = amp.at(t, gate) * gain * 0.4;
        double v[3];
        for (int k = 0; k < 3; ++k) {
            phases[k] += steps[k];
            phases[k] -= std::floor(phases[k]);
            v[k] = saw(phases[k], steps[k]);
        }
        m.put(s0 + i, lpL.process(v[0] + 0.5 * v[1]) * e, pl, 0.6);
        m.put(s0 + i, lpR.process(v[2] + 0.5 * v[1]) * e, pr, 0.6);
    }
}

void Voices::pluck(Mix& m, double start, int note, double gain, double pan, double bright) {
    const Mix::Pan pn = Mix::panGains(pan);
    const Envelope amp(0.002, 0.12, 0.0, 0.06);
    const double gate = 0.18;
    double f = frequency(note);
    Biquad lp = Biquad::lowpass(m.rate, 3000.0, 2.0);
    int64_t s0 = index(m, start);
    int64_t n = static_cast<int64_t>(amp.length(gate) * m.rate);
    double phase = 0.0;
    double phase2 = 0.25;
    for (int64_t i = 0; i < n; ++i) {
        double t = i / m.rate;
        if (i % 32 == 0) {
            double cut = 300.0 + (1500.0 + 4000.0 * bright) * std::exp(-t / 0.05);
            lp.retune(Biquad::lowpass(m.rate, cut, 2.0));
        }
        phase += f / m.rate;
        phase -= std::floor(phase);
        phase2 += f * 1.005 / m.rate;
        phase2 -= std::floor(phase2);
        double sq = saw(phase, f / m.rate) - saw(phase2, f * 1.005 / m.rate) * 0.6;
        m.put(s0 + i, gain * lp.process(sq) * amp.at(t, gate), pn, 0.45);
    }
}

void Voices::bell(Mix& m, double start, int note, double gain, double pan) {
    const Mix::Pan pn = Mix::panGains(pan);
    const Envelope amp(0.002, 0.7, 0.0, 0.4);
    const double gate = 1.2;
    double f = frequency(note);
    int64_t s0 = index(m, start);
    int64_t n = static_cast<int64_t>(amp.length(gate) * m.rate);
    for (int64_t i = 0; i < n; ++i) {
        double t = i / m.rate;
        // Two-operator FM at an inharmonic ratio; the index falls faster than the level.
        double idx = 2.2 * std::exp(-t / 0.25);
        double v = std::sin(TAU * f * t + idx * std::sin(TAU * f * 3.5 * t));
        m.put(s0 + i, gain * v * amp.at(t, gate), pn, 0.7);
    }
}

void Voices::lead(Mix& m, double start, double gate, int note, double gain) {
    const Mix::Pan pl = Mix::panGains(-0.25);
    const Mix::Pan pr = Mix::panGains(0.35);
    const Envelope amp(0.012, 0.25, 0.6, 0.08);
    double f = frequency(note);
    Biquad lp = Biquad::lowpass(m.rate, 2400.0, 1.0);
    int64_t s0 = index(m, start);
    int64_t n = static_cast<int64_t>(amp.length(gate) * m.rate);
    double phase = 0.0;
    double phase2 = 0.5;
    for (int64_t i = 0; i < n; ++i) {
        double t = i / m.rate;
        double vib = 1.0 + 0.004 * std::sin(TAU * 5.5 * t) * std::min(1.0, t / 0.3);
        double fk = f * vib;
        phase += fk / m.rate;
        phase -= std::floor(phase);
        phase2 += fk * 1.003 / m.rate;
        phase2 -= std::floor(phase2);
        double v = lp.process(saw(phase, fk / m.rate) + saw(phase2, fk * 1.003 / m.rate)) * 0.5;
        double e = amp.at(t, gate) * gain;
        m.put(s0 + i, v * e, pl, 0.4);
        m.put(s0 + i, v * e * 0.7, pr, 0.4);
    }
}

void Voices::riser(Mix& m, double start, double end, double gain) {
    White w(seedFor(start, 9));
    Biquad bp = Biquad::bandpass(m.rate, 400.0, 1.5);
    int64_t s0 = index(m, start);
    double len = end - start;
    int64_t n = static_cast<int64_t>(len * m.rate);
    for (int64_t i = 0; i < n; ++i) {
        double t = i / m.rate;
        double p = t / len;
        if (i % 32 == 0) {
            bp.retune(Biquad::bandpass(m.rate, 300.0 * std::pow(20.0, p), 1.5));
        }
        double fadeOut = std::min(1.0, (len - t) / 0.03);
        double level = p * p * fadeOut;
        double pan = std::sin(TAU * 0.7 * t) * 0.5;
        m.put(s0 + i, gain * bp.process(w.next()) * 2.0 * level, Mix::panGains(pan), 0.5);
    }
}

} // namespace content
