#include "content/Song.h"

#include "content/Biquad.h"
#include "content/Limiter.h"
#include "content/LoudnessMeter.h"
#include "content/Reverb.h"
#include "content/Voices.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace content {

namespace {

constexpr double PI = 3.14159265358979323846;

// Each section has its own whole number of beats, so the tempo moves a little (114 to 120
// beats per minute) and every section starts on its downbeat.
struct Section {
    double start;
    double beat;
    int beats;
    double at(double b) const { return start + b * beat; }
};

Section section(int i) {
    static const int beats[6] = {16, 26, 20, 22, 22, 34};
    double start = Song::SECTION_STARTS[i];
    double end = i + 1 < 6 ? Song::SECTION_STARTS[i + 1] : Song::FADE_END;
    return {start, (end - start) / beats[i], beats[i]};
}

struct Chord {
    int notes[3];
    int root;
};

const Chord AM{{57, 60, 64}, 45};
const Chord FM{{57, 60, 65}, 41};
const Chord CM{{55, 60, 64}, 48};
const Chord GM{{55, 59, 62}, 43};
const Chord DM{{53, 57, 62}, 38};
const Chord EM{{56, 59, 64}, 40};

// What the sections write into: the main mix, the pads on a bus of their own (they duck under
// the kick), and the kick times that drive the ducking.
struct Arrangement {
    Mix& main;
    Mix& pads;
    std::vector<double> kicks;
    operator Mix&() { return main; }
};

void kick(Arrangement& m, double start, double gain) {
    Voices::kick(m.main, start, gain);
    m.kicks.push_back(start);
}

void padChord(Arrangement& m, const Section& s, double beat, double beats, const Chord& c,
              double gain, double bright) {
    for (int n : c.notes) {
        Voices::pad(m.pads, s.at(beat), beats * s.beat, n, gain, bright);
    }
}

void arpeggio(Arrangement& m, const Section& s, double from, double to, const Chord& c, double gain,
              double bright) {
    const int order[8] = {0, 1, 2, 3, 2, 1, 3, 2};
    int k = 0;
    for (double b = from; b < to - 1e-9; b += 0.25, ++k) {
        int i = order[k % 8];
        int note = i == 3 ? c.notes[0] + 12 : c.notes[i];
        Voices::pluck(m, s.at(b), note + 12, gain, (k % 2) ? 0.35 : -0.35, bright);
    }
}

void fourOnFloor(Arrangement& m, const Section& s, double from, double to, double gain) {
    for (double b = from; b < to - 1e-9; b += 1.0) {
        kick(m, s.at(b), gain);
    }
}

void hats(Arrangement& m, const Section& s, double from, double to, double step, double gain) {
    int k = 0;
    for (double b = from; b < to - 1e-9; b += step, ++k) {
        bool accent = std::fmod(b, 1.0) > 0.49 && std::fmod(b, 1.0) < 0.51;
        Voices::hat(m, s.at(b), gain * (accent ? 1.0 : 0.6), false, (k % 2) ? 0.3 : -0.2);
    }
}

void boundaryHit(Arrangement& m, const Section& s) {
    Voices::crash(m, s.start, 0.22);
    kick(m, s.start, 0.9);
}

// Section 0: clouds. Pads and a sparse bell line over a low drone; plucks join with the strips;
// a noise sweep leads into the tunnel.
void clouds(Arrangement& m) {
    Section s = section(0);
    const Chord prog[4] = {AM, FM, CM, GM};
    for (int bar = 0; bar < 4; ++bar) {
        padChord(m, s, bar * 4.0, 4.0, prog[bar], 0.16, 0.15 + 0.1 * bar);
        Voices::bass(m, s.at(bar * 4.0), 3.8 * s.beat, prog[bar].root, 0.25);
    }
    const double bells[8][2] = {{0, 76}, {2.5, 72},  {4, 69},  {6.5, 72},
                                {8, 67}, {10.5, 72}, {12, 71}, {14, 74}};
    for (const auto& b : bells) {
        Voices::bell(m, s.at(b[0]), static_cast<int>(b[1]), 0.16, b[0] < 8 ? -0.3 : 0.3);
    }
    for (int bar = 1; bar < 4; ++bar) {
        for (int k = 0; k < 8; ++k) {
            const Chord& c = prog[bar];
            Voices::pluck(m, s.at(bar * 4.0 + k * 0.5), c.notes[k % 3] + 12, 0.05 + 0.02 * bar,
                          k % 2 ? 0.4 : -0.4, 0.1 * bar);
        }
    }
    Voices::riser(m, s.at(12.0), s.at(16.0), 0.22);
}

// Section 1: title pulses on every beat, then the tunnel groove.
void tunnel(Arrangement& m) {
    Section s = section(1);
    boundaryHit(m, s);
    const Chord prog[7] = {AM, FM, CM, GM, AM, FM, GM};
    fourOnFloor(m, s, 1.0, 24.0, 0.85);
    for (int bar = 0; bar < 7; ++bar) {
        double from = bar * 4.0;
        double len = bar == 6 ? 2.0 : 4.0;
        const Chord& c = prog[bar];
        padChord(m, s, from, len, c, 0.11, 0.35);
        for (double b = from; b < from + len - 1e-9; b += 0.5) {
            int note = c.root + ((static_cast<int>(b * 2) % 4 == 3) ? 12 : 0);
            Voices::bass(m, s.at(b), 0.4 * s.beat, note, bar == 0 ? 0.3 : 0.38);
        }
        if (bar >= 1) {
            arpeggio(m, s, from, from + len, c, 0.07, 0.2 + 0.1 * bar);
            hats(m, s, from, from + len, 0.5, 0.12);
        }
    }
    // A snare run over the last two beats into the particle section.
    for (int k = 0; k < 8; ++k) {
        Voices::snare(m, s.at(24.0 + k * 0.25), 0.12 + 0.035 * k);
    }
}

// Section 2: particles. The full groove with a lead line.
void particles(Arrangement& m) {
    Section s = section(2);
    boundaryHit(m, s);
    const Chord prog[5] = {AM, FM, CM, GM, AM};
    fourOnFloor(m, s, 1.0, 20.0, 0.9);
    for (int bar = 0; bar < 5; ++bar) {
        double from = bar * 4.0;
        const Chord& c = prog[bar];
        padChord(m, s, from, 4.0, c, 0.1, 0.6);
        Voices::clap(m, s.at(from + 1.0), 0.32);
        Voices::clap(m, s.at(from + 3.0), 0.32);
        for (double b = from; b < from + 4.0 - 1e-9; b += 0.5) {
            int step = static_cast<int>(b * 2) % 8;
            int note = c.root + (step == 2 || step == 6 ? 12 : (step == 5 ? 7 : 0));
            Voices::bass(m, s.at(b), 0.35 * s.beat, note, 0.4);
        }
        arpeggio(m, s, from, from + 4.0, c, 0.055, 0.7);
        hats(m, s, from, from + 4.0, 0.25, 0.1);
        Voices::hat(m, s.at(from + 1.5), 0.08, true, 0.2);
        Voices::hat(m, s.at(from + 3.5), 0.08, true, -0.2);
    }
    const double melody[][3] = {{0, 1, 76},  {1, 0.5, 79},  {1.5, 0.5, 76}, {2, 1, 74},
                                {3, 1, 72},  {4, 1.5, 72},  {5.5, 0.5, 74}, {6, 1, 76},
                                {7, 1, 72},  {8, 1, 79},    {9, 0.5, 76},   {9.5, 0.5, 74},
                                {10, 2, 76}, {12, 1, 74},   {13, 1, 71},    {14, 1, 74},
                                {15, 1, 79}, {16, 2.5, 81}, {18.5, 1, 76}};
    for (const auto& n : melody) {
        Voices::lead(m, s.at(n[0]), n[1] * s.beat * 0.9, static_cast<int>(n[2]), 0.075);
    }
}

// Section 3: the mirror floor. Half time and darker; the drums leave as the picture goes red.
void mirror(Arrangement& m) {
    Section s = section(3);
    boundaryHit(m, s);
    const Chord prog[6] = {DM, AM, FM, EM, DM, EM};
    for (int bar = 0; bar < 6; ++bar) {
        double from = bar * 4.0;
        double len = bar == 5 ? 2.0 : 4.0;
        const Chord& c = prog[bar];
        padChord(m, s, from, len, c, 0.13, 0.12);
        Voices::bass(m, s.at(from), (len - 0.5) * s.beat, c.root, 0.45);
        if (bar < 4) {
            if (bar > 0) {
                kick(m, s.at(from), 0.85);
            }
            kick(m, s.at(from + 2.5), 0.7);
            Voices::snare(m, s.at(from + 2.0), 0.3);
            hats(m, s, from, from + 4.0, 1.0, 0.1);
        }
        Voices::bell(m, s.at(from + 1.5), c.notes[2] + 12, 0.09, bar % 2 ? 0.4 : -0.4);
    }
}

// Section 4: glass. Bells and bright pads, rising into the white-out.
void glass(Arrangement& m) {
    Section s = section(4);
    boundaryHit(m, s);
    const Chord prog[6] = {FM, GM, AM, CM, FM, GM};
    for (int bar = 0; bar < 6; ++bar) {
        double from = bar * 4.0;
        double len = bar == 5 ? 2.0 : 4.0;
        const Chord& c = prog[bar];
        padChord(m, s, from, len, c, 0.11, 0.8);
        Voices::bass(m, s.at(from), (len - 0.25) * s.beat, c.root, 0.3);
        for (double b = from; b < from + len - 1e-9; b += 0.5) {
            int k = static_cast<int>(b * 2) % 4;
            int note = k == 3 ? c.notes[1] + 24 : c.notes[k % 3] + 24;
            Voices::bell(m, s.at(b), note, 0.05, k % 2 ? 0.5 : -0.5);
        }
        for (double b = from; b < from + len - 1e-9; b += 2.0) {
            kick(m, s.at(b), 0.55);
        }
        hats(m, s, from, from + len, 0.25, 0.07);
    }
    Voices::riser(m, s.at(16.0), s.at(22.0), 0.26);
}

// Section 5: the lattice groove, then the closing chord that fades to silence.
void lattice(Arrangement& m) {
    Section s = section(5);
    boundaryHit(m, s);
    const Chord prog[4] = {AM, FM, CM, GM};
    fourOnFloor(m, s, 1.0, 16.0, 0.9);
    for (int bar = 0; bar < 4; ++bar) {
        double from = bar * 4.0;
        const Chord& c = prog[bar];
        padChord(m, s, from, 4.0, c, 0.1, 0.5);
        Voices::clap(m, s.at(from + 1.0), 0.3);
        Voices::clap(m, s.at(from + 3.0), 0.3);
        for (double b = from; b < from + 4.0 - 1e-9; b += 0.5) {
            int note = c.root + ((static_cast<int>(b * 2) % 4 == 2) ? 12 : 0);
            Voices::bass(m, s.at(b), 0.35 * s.beat, note, 0.4);
        }
        arpeggio(m, s, from, from + 4.0, c, 0.055, 0.6);
        hats(m, s, from, from + 4.0, 0.25, 0.09);
    }
    // Outro: the cubes fade, the closing images arrive; a last A minor chord rings out.
    padChord(m, s, 16.0, 4.0, FM, 0.12, 0.3);
    Voices::bass(m, s.at(16.0), 3.5 * s.beat, FM.root, 0.3);
    padChord(m, s, 20.0, 8.0, AM, 0.14, 0.25);
    Voices::bass(m, s.at(20.0), 7.5 * s.beat, AM.root, 0.3);
    const double bells[6][2] = {{16, 72}, {17.5, 74}, {18, 76}, {20, 81}, {22, 76}, {24, 69}};
    for (const auto& b : bells) {
        Voices::bell(m, s.at(b[0]), static_cast<int>(b[1]), 0.13, b[0] < 20 ? -0.3 : 0.3);
    }
    Voices::crash(m, s.at(20.0), 0.12);
}

// A breath of 110 ms before each section change, so every new section starts from quiet.
double gapGain(double t) {
    double g = 1.0;
    for (size_t i = 1; i < Song::SECTION_STARTS.size(); ++i) {
        double b = Song::SECTION_STARTS[i];
        double down0 = b - 0.125;
        double down1 = b - 0.11;
        double up0 = b - 0.008;
        if (t > down0 && t < b) {
            double k;
            if (t < down1) {
                k = (t - down0) / (down1 - down0);
            } else if (t < up0) {
                k = 1.0;
            } else {
                k = (b - t) / (b - up0);
            }
            k = 0.5 - 0.5 * std::cos(PI * k);
            g = std::min(g, 1.0 - 0.88 * k);
        }
    }
    return g;
}

// Gain of the pad bus: each kick pulls it down by half within 4 ms, and it breathes back
// over about a tenth of a second.
std::vector<float> duckGain(const std::vector<double>& kicks, int64_t frames, double rate) {
    std::vector<float> dip(static_cast<size_t>(frames), 0.0f);
    const double depth = 0.5;
    const double length = 0.45;
    for (double k : kicks) {
        int64_t from = static_cast<int64_t>(std::llround(k * rate));
        int64_t n = static_cast<int64_t>(length * rate);
        for (int64_t i = 0; i < n && from + i < frames; ++i) {
            double u = i / rate;
            double shape = u < 0.004 ? u / 0.004 : std::exp(-(u - 0.004) / 0.11);
            shape *= std::min(1.0, (length - u) / 0.05);
            float d = static_cast<float>(depth * shape);
            float& slot = dip[static_cast<size_t>(from + i)];
            slot = std::max(slot, d);
        }
    }
    for (float& d : dip) {
        d = 1.0f - d;
    }
    return dip;
}

// The closing fade, applied after the reverb so its tail ends at exactly zero too.
double fadeGain(double t) {
    const double fadeStart = 66.0;
    if (t >= Song::FADE_END) {
        return 0.0;
    }
    if (t <= fadeStart) {
        return 1.0;
    }
    double k = (t - fadeStart) / (Song::FADE_END - fadeStart);
    return 0.5 + 0.5 * std::cos(PI * k);
}

} // namespace

Song::Stereo Song::render() {
    Mix m(LENGTH, RATE);
    Mix pads(LENGTH, RATE);
    Arrangement a{m, pads, {}};
    clouds(a);
    tunnel(a);
    particles(a);
    mirror(a);
    glass(a);
    lattice(a);

    const int64_t n = m.frames();
    std::vector<float> duck = duckGain(a.kicks, n, RATE);
    for (int64_t i = 0; i < n; ++i) {
        m.dryL[i] += pads.dryL[i] * duck[i];
        m.dryR[i] += pads.dryR[i] * duck[i];
        m.sendL[i] += pads.sendL[i] * duck[i];
        m.sendR[i] += pads.sendR[i] * duck[i];
    }
    for (int64_t i = 0; i < n; ++i) {
        float g = static_cast<float>(gapGain(i / RATE));
        m.dryL[i] *= g;
        m.dryR[i] *= g;
        m.sendL[i] *= g;
        m.sendR[i] *= g;
    }
    Reverb reverb(RATE, 0.84, 0.25);
    reverb.process(m.sendL, m.sendR);

    Stereo out;
    out.left.resize(n);
    out.right.resize(n);
    // A 20 Hz high-pass removes any offset the voices leave.
    Biquad dcL = Biquad::highpass(RATE, 20.0, 0.707);
    Biquad dcR = Biquad::highpass(RATE, 20.0, 0.707);
    for (int64_t i = 0; i < n; ++i) {
        double fade = fadeGain(i / RATE);
        out.left[i] = static_cast<float>(dcL.process(m.dryL[i] + m.sendL[i]) * fade);
        out.right[i] = static_cast<float>(dcR.process(m.dryR[i] + m.sendR[i]) * fade);
    }
    double loudness = LoudnessMeter::integrated(out.left, out.right, RATE);
    float gain = static_cast<float>(std::pow(10.0, (TARGET_LUFS - loudness) / 20.0));
    for (int64_t i = 0; i < n; ++i) {
        out.left[i] *= gain;
        out.right[i] *= gain;
    }
    Limiter::process(out.left, out.right, RATE, std::pow(10.0, CEILING_DB / 20.0), 0.0015, 0.08);
    return out;
}

} // namespace content
