// The soundtrack as written: format and length, level limits, and that its sections change
// where the scenes change.
#include "DataFiles.h"
#include "content/LoudnessMeter.h"
#include "content/WavFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using content::WavFile;

namespace {

const double BOUNDARIES[5] = {8.2, 21.5, 32.0, 43.0, 54.0};

struct Track {
    WavFile::Decoded wav;
    std::vector<float> left;
    std::vector<float> right;
    double rate = 44100.0;

    double rms(double from, double to) const {
        size_t a = static_cast<size_t>(from * rate);
        size_t b = std::min(left.size(), static_cast<size_t>(to * rate));
        double s = 0;
        for (size_t i = a; i < b; ++i) {
            s += left[i] * left[i] + right[i] * right[i];
        }
        return std::sqrt(s / (2.0 * std::max<size_t>(1, b - a)));
    }
};

const Track& track() {
    static Track t = [] {
        Track t;
        bool ok = WavFile::decode(readDataFile("dmb.wav"), t.wav);
        EXPECT_TRUE(ok);
        if (ok && t.wav.channels == 2) {
            for (size_t i = 0; i + 1 < t.wav.samples.size(); i += 2) {
                t.left.push_back(t.wav.samples[i] / 32768.0f);
                t.right.push_back(t.wav.samples[i + 1] / 32768.0f);
            }
        }
        return t;
    }();
    return t;
}

} // namespace

TEST(Soundtrack, IsStereo16BitPcmAt44100AndLongEnough) {
    const Track& t = track();
    EXPECT_EQ(t.wav.format, 1);
    EXPECT_EQ(t.wav.channels, 2);
    EXPECT_EQ(t.wav.rate, 44100u);
    EXPECT_EQ(t.wav.bitsPerSample, 16);
    EXPECT_GE(t.left.size(), static_cast<size_t>(71.5 * 44100));
}

TEST(Soundtrack, PeakLoudnessAndOffsetAreWithinLimits) {
    const Track& t = track();
    ASSERT_FALSE(t.left.empty());
    int peak = 0;
    for (int16_t s : t.wav.samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    double peakDb = 20.0 * std::log10(peak / 32768.0);
    EXPECT_LE(peakDb, -1.0);
    EXPECT_GT(peakDb, -6.0) << "the level is far below what the limits allow";
    double lufs = content::LoudnessMeter::integrated(t.left, t.right, t.rate);
    EXPECT_GE(lufs, -18.0);
    EXPECT_LE(lufs, -12.0);
    for (const auto* ch : {&t.left, &t.right}) {
        double mean = 0;
        for (float v : *ch) {
            mean += v;
        }
        EXPECT_LT(std::fabs(mean / ch->size()), 1e-4) << "DC offset";
    }
}

TEST(Soundtrack, StartsAtOnceAndIsSilentAfterTheFade) {
    const Track& t = track();
    ASSERT_FALSE(t.left.empty());
    // Music from the first frame: audible within the first 20 ms.
    EXPECT_GT(t.rms(0.0, 0.02), 1e-3);
    EXPECT_GT(t.rms(0.02, 0.5), 0.01);
    // Fading: the last half second before 71.0 is far below the body of the piece, and from
    // 71.0 on every sample is zero.
    EXPECT_LT(t.rms(70.5, 71.0), t.rms(10.0, 60.0) * 0.05);
    size_t from = static_cast<size_t>(71.0 * t.rate);
    for (size_t i = from; i < t.left.size(); ++i) {
        ASSERT_EQ(t.left[i], 0.0f) << i;
        ASSERT_EQ(t.right[i], 0.0f) << i;
    }
}

TEST(Soundtrack, SectionsChangeAtTheSceneBoundaries) {
    const Track& t = track();
    ASSERT_FALSE(t.left.empty());
    for (double b : BOUNDARIES) {
        double before = t.rms(b - 0.1, b - 0.01);
        double after = t.rms(b + 0.005, b + 0.1);
        EXPECT_GT(after, before * 2.0) << "at " << b << " s: " << before << " -> " << after;
        // The strongest rise of 5 ms energy in the 0.6 s around the boundary is at it.
        const double frame = 0.005;
        double bestRise = 0;
        double bestAt = 0;
        double prev = t.rms(b - 0.3 - frame, b - 0.3);
        for (double f = b - 0.3; f < b + 0.3; f += frame) {
            double e = t.rms(f, f + frame);
            if (e - prev > bestRise) {
                bestRise = e - prev;
                bestAt = f;
            }
            prev = e;
        }
        EXPECT_NEAR(bestAt, b, 0.05) << "boundary " << b;
    }
}

TEST(Soundtrack, NoIsolatedClicks) {
    // A click is a lone jump in the curvature of the wave, far above what surrounds it; noise
    // instruments are rough all through their sound and do not count.
    const Track& t = track();
    ASSERT_FALSE(t.left.empty());
    const size_t half = 220; // 5 ms either side
    for (const auto* ch : {&t.left, &t.right}) {
        const std::vector<float>& x = *ch;
        std::vector<double> e(x.size(), 0.0);
        for (size_t i = 1; i + 1 < x.size(); ++i) {
            e[i] = std::fabs(x[i + 1] - 2.0 * x[i] + x[i - 1]);
        }
        std::vector<double> sum(x.size() + 1, 0.0);
        for (size_t i = 0; i < x.size(); ++i) {
            sum[i + 1] = sum[i] + e[i] * e[i];
        }
        double worst = 0;
        double worstAt = 0;
        for (size_t i = half; i + half < x.size(); ++i) {
            double local = std::sqrt((sum[i + half] - sum[i - half]) / (2 * half));
            // Below about -90 dBFS curvature the ratio means nothing.
            if (local > 1e-5 && e[i] / local > worst) {
                worst = e[i] / local;
                worstAt = i / t.rate;
            }
        }
        EXPECT_LT(worst, 12.0) << "at " << worstAt << " s";
    }
}
