#include <gtest/gtest.h>

#include "WaveBuilder.h"
#include "WaveFile.h"

namespace {

WaveFile::Error parse(const WaveBuilder& builder, WaveFile& wave) {
    const auto bytes = builder.build();
    return wave.parse(bytes.data(), bytes.size());
}

TEST(WaveFile, ReadsPcmFormatsAndSamples) {
    WaveBuilder builder;
    WaveFile wave;
    ASSERT_EQ(WaveFile::Error::None, parse(builder, wave));
    EXPECT_EQ(2, wave.channels);
    EXPECT_EQ(22050u, wave.sampleRate);
    EXPECT_EQ(16, wave.bitsPerSample);
    EXPECT_EQ(2205u, wave.frameCount());
    EXPECT_EQ(100u, wave.lengthMs());
    EXPECT_EQ(7, wave.samples[1]);

    builder.bits = 8;
    builder.channels = 1;
    builder.sampleRate = 8000;
    builder.frames = 8000;
    ASSERT_EQ(WaveFile::Error::None, parse(builder, wave));
    EXPECT_EQ(1000u, wave.lengthMs());

    // An unknown chunk of odd size before the format is skipped with its pad byte.
    builder.extraChunkBefore = "LIST";
    ASSERT_EQ(WaveFile::Error::None, parse(builder, wave));
    EXPECT_EQ(8000u, wave.frameCount());
}

TEST(WaveFile, Widens24BitSamplesTo32) {
    WaveBuilder builder;
    builder.bits = 24;
    builder.channels = 1;
    builder.frames = 2;
    WaveFile wave;
    ASSERT_EQ(WaveFile::Error::None, parse(builder, wave));
    EXPECT_EQ(32, wave.bitsPerSample);
    EXPECT_EQ(4, wave.blockAlign);
    ASSERT_EQ(8u, wave.samples.size());
    // File bytes 0, 7, 14 | 21, 28, 35 become 0,0,7,14 | 0,21,28,35.
    const std::vector<uint8_t> expected{0, 0, 7, 14, 0, 21, 28, 35};
    EXPECT_EQ(expected, wave.samples);
}

// A good file with one thing changed, and the error it must be refused with.
struct Damage {
    const char* what;
    void (*change)(WaveBuilder&);
    WaveFile::Error expected;
};

void expectRefused(std::initializer_list<Damage> cases, WaveFile& wave) {
    for (const Damage& d : cases) {
        WaveBuilder builder;
        d.change(builder);
        EXPECT_EQ(d.expected, parse(builder, wave)) << d.what;
    }
}

TEST(WaveFile, RefusesWhatIsNotPcmOrOutOfRange) {
    WaveFile wave;
    using E = WaveFile::Error;
    expectRefused(
        {
            {"ADPCM", [](WaveBuilder& b) { b.formatTag = 2; }, E::NotPcm},
            {"float",
             [](WaveBuilder& b) {
                 b.formatTag = 3;
                 b.bits = 32;
             },
             E::NotPcm},
            {"no channels", [](WaveBuilder& b) { b.channels = 0; }, E::BadFormat},
            {"12 bits", [](WaveBuilder& b) { b.bits = 12; }, E::BadFormat},
            {"no rate", [](WaveBuilder& b) { b.sampleRate = 0; }, E::BadFormat},
            {"lying block align", [](WaveBuilder& b) { b.blockAlignOverride = 1; }, E::BadFormat},
        },
        wave);
}

TEST(WaveFile, RefusesMissingPartsAndLyingSizes) {
    WaveFile wave;
    using E = WaveFile::Error;
    expectRefused(
        {
            {"no format", [](WaveBuilder& b) { b.withFormat = false; }, E::MissingFormat},
            {"data first", [](WaveBuilder& b) { b.dataBeforeFormat = true; }, E::MissingFormat},
            {"no data", [](WaveBuilder& b) { b.withData = false; }, E::MissingData},
            {"long data", [](WaveBuilder& b) { b.dataSizeOverride = 0x7FFFFFF0; }, E::Truncated},
            {"long RIFF", [](WaveBuilder& b) { b.riffSizeOverride = 0xFFFFFFFF; }, E::Truncated},
        },
        wave);

    // Cut anywhere: every prefix of a good file is refused or read within bounds.
    const auto bytes = WaveBuilder{}.build();
    for (size_t size = 0; size < bytes.size(); size += 7) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(size));
        EXPECT_NE(WaveFile::Error::None, wave.parse(cut.data(), cut.size())) << size;
    }
    EXPECT_EQ(WaveFile::Error::NotRiffWave, wave.parse(nullptr, 0));
    const uint8_t text[] = "RIFX\0\0\0\0WAVE";
    EXPECT_EQ(WaveFile::Error::NotRiffWave, wave.parse(text, sizeof text));
}

TEST(WaveFile, RaggedLastFrameIsDropped) {
    WaveBuilder builder;
    builder.frames = 10;
    auto bytes = builder.build();
    // One byte more data than whole frames: patch the data size and RIFF size.
    bytes.push_back(0);
    const uint32_t dataSize = 10 * 4 + 1;
    const size_t dataSizeAt = bytes.size() - dataSize - 4;
    for (int i = 0; i < 4; ++i) {
        bytes[dataSizeAt + i] = static_cast<uint8_t>(dataSize >> (8 * i));
        bytes[4 + i] = static_cast<uint8_t>((bytes.size() - 8) >> (8 * i));
    }
    WaveFile wave;
    ASSERT_EQ(WaveFile::Error::None, wave.parse(bytes.data(), bytes.size()));
    EXPECT_EQ(10u, wave.frameCount());
}

TEST(WaveFile, LoadsByWindowsNameAndReportsFileErrors) {
    WaveFile wave;
    EXPECT_EQ(WaveFile::Error::NotFound, wave.load("no\\such.wav"));
    EXPECT_EQ(WaveFile::Error::NotFound, wave.load(""));
    EXPECT_EQ(WaveFile::Error::NotAFile, wave.load("."));
    std::ofstream("letterbox-empty.wav").close();
    EXPECT_EQ(WaveFile::Error::NotRiffWave, wave.load("letterbox-empty.wav"));
    std::remove("letterbox-empty.wav");
}

} // namespace

namespace {

// Random damage to a good file, under the sanitizers: every answer is an error
// or whole frames that came from inside the input.
TEST(WaveFile, SurvivesRandomDamage) {
    WaveBuilder builder;
    builder.frames = 64;
    builder.extraChunkBefore = "junk";
    const auto good = builder.build();
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        auto bytes = good;
        const int changes = 1 + static_cast<int>(next() % 4);
        for (int c = 0; c < changes; ++c) {
            bytes[next() % bytes.size()] = static_cast<uint8_t>(next());
        }
        if (next() % 3 == 0) {
            bytes.resize(next() % bytes.size());
        }
        WaveFile wave;
        if (wave.parse(bytes.data(), bytes.size()) == WaveFile::Error::None) {
            ++accepted;
            ASSERT_NE(0, wave.blockAlign);
            ASSERT_EQ(0u, wave.samples.size() % wave.blockAlign);
            ASSERT_LE(wave.samples.size(), bytes.size() / 3 * 4 + 4); // 24-bit samples widen
        }
    }
    // Damage to the samples alone leaves a good file: both outcomes happen.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 3000);
}

} // namespace
