#include "MusicPlayer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST(DeviceTypeForFile, LooksTheLastThreeCharactersUpIgnoringCase) {
    char type[128];
    EXPECT_EQ(deviceTypeForFile("data\\dmb.wav", type), 0);
    EXPECT_STREQ(type, "waveaudio");
    EXPECT_EQ(deviceTypeForFile("SONG.MID", type), 1);
    EXPECT_STREQ(type, "Sequencer");
    EXPECT_EQ(deviceTypeForFile("track.Mp3", type), 2);
    EXPECT_STREQ(type, "MPEGVideo");
    // No dot is needed, and none is looked for.
    EXPECT_EQ(deviceTypeForFile("wav", type), 0);
    EXPECT_EQ(deviceTypeForFile("noextensionwav", type), 0);
}

TEST(DeviceTypeForFile, UnknownEndingsAndShortNamesAreNotFound) {
    char type[128];
    EXPECT_EQ(deviceTypeForFile("music.ogg", type), -1);
    EXPECT_STREQ(type, "unknown");
    EXPECT_EQ(deviceTypeForFile("music.wave", type), -1) << "'ave' is not in the table";
    EXPECT_EQ(deviceTypeForFile("av", type), -1);
    EXPECT_STREQ(type, "unknown");
    EXPECT_EQ(deviceTypeForFile("", type), -1);
    EXPECT_EQ(deviceTypeForFile("x.wav", nullptr), 0) << "the type name is optional";
    EXPECT_EQ(deviceTypeForFile("x.ogg", nullptr), -1);
}

// A short silent 16-bit mono PCM file.
std::string writeWave(const char* name) {
    std::string path = std::string(::testing::TempDir()) + name;
    const uint32_t samples = 800;
    const uint32_t dataBytes = samples * 2;
    std::vector<uint8_t> bytes;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    };
    auto put16 = [&](uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto tag = [&](const char* t) { bytes.insert(bytes.end(), t, t + 4); };
    tag("RIFF");
    put32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(8000);
    put32(16000);
    put16(2);
    put16(16);
    tag("data");
    put32(dataBytes);
    bytes.resize(bytes.size() + dataBytes, 0);
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

TEST(MusicPlayer, OpensAWaveFileAsTheWaveAudioDevice) {
    // Whatever sound hardware the machine has, SDL's silent driver takes the stream.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string path = writeWave("music-player-test.wav");
    MusicPlayer player(path.c_str());
    EXPECT_NE(player.openParams.wDeviceID, 0u);
    EXPECT_EQ(player.play(), 0);
    EXPECT_EQ(player.stop(), 0);
    EXPECT_EQ(player.close(), 0);
    std::remove(path.c_str());
}

TEST(MusicPlayer, MissingOrUnknownFilesLeaveItSilentWithoutFailing) {
    MusicPlayer missing("data\\no-such-soundtrack.wav");
    EXPECT_EQ(missing.openParams.wDeviceID, 0u);
    EXPECT_EQ(missing.open("data\\no-such-soundtrack.wav"), -1);
    EXPECT_EQ(missing.play(), 0);

    MusicPlayer unknown("music.ogg");
    EXPECT_EQ(unknown.openParams.wDeviceID, 0u);
    EXPECT_EQ(unknown.open("music.ogg"), -1);
    EXPECT_EQ(unknown.stop(), 0);
    EXPECT_EQ(unknown.close(), 0);
}

} // namespace
