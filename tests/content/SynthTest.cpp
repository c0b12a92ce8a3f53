// The synthesiser's parts: envelopes that open and close smoothly, voices that start and end
// at silence, the loudness meter against known signals, and the limiter's ceiling.
#include "content/Envelope.h"
#include "content/Limiter.h"
#include "content/LoudnessMeter.h"
#include "content/Voices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace content;

TEST(Synth, EnvelopeStartsAndEndsAtZeroWithBoundedSlope) {
    const double rate = 44100.0;
    struct Case {
        double a, d, s, r, gate;
    };
    for (Case c : {Case{0.001, 0.1, 0.0, 0.05, 0.3}, Case{0.5, 1.0, 0.8, 0.9, 2.0},
                   Case{0.01, 0.2, 0.5, 0.02, 0.005}}) {
        Envelope env(c.a, c.d, c.s, c.r);
        EXPECT_EQ(env.at(0.0, c.gate), 0.0);
        EXPECT_LT(env.at(env.length(c.gate), c.gate), 1e-12);
        EXPECT_EQ(env.at(env.length(c.gate) + 1.0, c.gate), 0.0);
        double maxStep = std::max(1.0 / (c.a * rate), 2.0 / (c.r * rate)) * 1.01;
        double prev = 0.0;
        double top = 0.0;
        for (double t = 0; t < env.length(c.gate) + 0.01; t += 1.0 / rate) {
            double v = env.at(t, c.gate);
            ASSERT_LE(std::fabs(v - prev), maxStep) << "at " << t;
            ASSERT_GE(v, 0.0);
            ASSERT_LE(v, 1.0);
            top = std::max(top, v);
            prev = v;
        }
        EXPECT_GT(top, 0.1);
    }
}

TEST(Synth, EveryVoiceStartsAndEndsInSilence) {
    const std::vector<std::pair<const char*, std::function<void(Mix&)>>> voices = {
        {"kick", [](Mix& m) { Voices::kick(m, 0.1, 1.0); }},
        {"snare", [](Mix& m) { Voices::snare(m, 0.1, 1.0); }},
        {"clap", [](Mix& m) { Voices::clap(m, 0.1, 1.0); }},
        {"hat", [](Mix& m) { Voices::hat(m, 0.1, 1.0, true, 0.0); }},
        {"crash", [](Mix& m) { Voices::crash(m, 0.1, 1.0); }},
        {"bass", [](Mix& m) { Voices::bass(m, 0.1, 0.3, 45, 1.0); }},
        {"pad", [](Mix& m) { Voices::pad(m, 0.1, 0.5, 57, 1.0, 0.5); }},
        {"pluck", [](Mix& m) { Voices::pluck(m, 0.1, 69, 1.0, 0.0, 0.5); }},
        {"bell", [](Mix& m) { Voices::bell(m, 0.1, 76, 1.0, 0.0); }},
        {"lead", [](Mix& m) { Voices::lead(m, 0.1, 0.4, 72, 1.0); }},
        {"riser", [](Mix& m) { Voices::riser(m, 0.1, 1.1, 1.0); }},
    };
    for (const auto& [name, play] : voices) {
        Mix m(4.0);
        play(m);
        float peak = 0;
        size_t first = m.dryL.size();
        size_t last = 0;
        for (size_t i = 0; i < m.dryL.size(); ++i) {
            float v = std::max(std::fabs(m.dryL[i]), std::fabs(m.dryR[i]));
            ASSERT_TRUE(std::isfinite(v)) << name;
            peak = std::max(peak, v);
            if (v > 0) {
                first = std::min(first, i);
                last = i;
            }
        }
        ASSERT_GT(peak, 0.01f) << name;
        // Nothing before the start; the first and last sounding samples are tiny next to the
        // peak, so the note neither starts nor stops with a jump.
        EXPECT_GE(first, static_cast<size_t>(0.1 * 44100) - 1) << name;
        EXPECT_LT(std::max(std::fabs(m.dryL[first]), std::fabs(m.dryR[first])), peak * 0.05f)
            << name;
        EXPECT_LT(std::max(std::fabs(m.dryL[last]), std::fabs(m.dryR[last])), peak * 0.05f) << name;
    }
}

TEST(Synth, LoudnessMeterReadsReferenceTones) {
    const double rate = 48000.0;
    auto sine = [&](double amp, double freq, double seconds) {
        std::vector<float> v(static_cast<size_t>(seconds * rate));
        for (size_t i = 0; i < v.size(); ++i) {
            v[i] = static_cast<float>(amp * std::sin(2.0 * M_PI * freq * i / rate));
        }
        return v;
    };
    // A 1 kHz tone at full scale in one channel reads -3.01 LUFS; in both, 0 LUFS.
    std::vector<float> full = sine(1.0, 1000.0, 5.0);
    std::vector<float> silent(full.size(), 0.0f);
    EXPECT_NEAR(LoudnessMeter::integrated(full, silent, rate), -3.01, 0.1);
    EXPECT_NEAR(LoudnessMeter::integrated(full, full, rate), 0.0, 0.1);
    std::vector<float> quiet = sine(0.1, 1000.0, 5.0);
    EXPECT_NEAR(LoudnessMeter::integrated(quiet, quiet, rate), -20.0, 0.1);
    // Gating: added silence does not lower the reading.
    std::vector<float> padded = quiet;
    padded.resize(quiet.size() * 3, 0.0f);
    EXPECT_NEAR(LoudnessMeter::integrated(padded, padded, rate), -20.0, 0.2);
    // K-weighting lifts the highs and cuts the deep lows.
    std::vector<float> high = sine(0.1, 8000.0, 5.0);
    std::vector<float> low = sine(0.1, 25.0, 5.0);
    EXPECT_GT(LoudnessMeter::integrated(high, high, rate), -17.0);
    EXPECT_LT(LoudnessMeter::integrated(low, low, rate), -22.0);
    EXPECT_LT(LoudnessMeter::integrated(silent, silent, rate), -100.0);
}

TEST(Synth, LimiterHoldsTheCeilingAndLeavesQuietSignalsAlone) {
    const double rate = 44100.0;
    std::vector<float> l(44100);
    std::vector<float> r(44100);
    for (size_t i = 0; i < l.size(); ++i) {
        double burst = (i > 10000 && i < 10400) ? 1.8 : 0.3;
        l[i] = static_cast<float>(burst * std::sin(i * 0.05));
        r[i] = static_cast<float>(0.3 * std::sin(i * 0.031));
    }
    std::vector<float> quietL = r;
    std::vector<float> quietR = r;
    Limiter::process(l, r, rate, 0.8, 0.0015, 0.05);
    float peak = 0;
    for (size_t i = 0; i < l.size(); ++i) {
        peak = std::max({peak, std::fabs(l[i]), std::fabs(r[i])});
    }
    EXPECT_LE(peak, 0.8f + 1e-6f);
    EXPECT_GT(peak, 0.7f);
    // Far from the burst the signal passes unchanged.
    EXPECT_FLOAT_EQ(l[30000], static_cast<float>(0.3 * std::sin(30000 * 0.05)));
    std::vector<float> keepL = quietL;
    Limiter::process(quietL, quietR, rate, 0.8, 0.0015, 0.05);
    EXPECT_EQ(quietL, keepL);
}
