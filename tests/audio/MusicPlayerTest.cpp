#include "audio/MusicPlayer.h"

#include <WaveObserver.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <utility>
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

// A silent 16-bit mono PCM file of two seconds at 8000 frames a second.
const uint32_t WAVE_FRAMES = 16000;

std::string writeWave(const char* name) {
    std::string path = std::string(::testing::TempDir()) + name;
    const uint32_t samples = WAVE_FRAMES;
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

// Notes each start of playback.
struct PlayStarts : WaveObserver {
    PlayStarts() { active = this; }
    ~PlayStarts() { active = nullptr; }
    void playStarted(const std::shared_ptr<const WaveFile>&, uint32_t firstFrame, uint32_t endFrame,
                     uint32_t) override {
        starts.emplace_back(firstFrame, endFrame);
    }
    std::vector<std::pair<uint32_t, uint32_t>> starts;
};

// The device's mode as MCI reports it, or the error of the status command.
DWORD modeOf(MCIDEVICEID device, MCIERROR* error) {
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_MODE;
    *error =
        mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status));
    return static_cast<DWORD>(status.dwReturn);
}

TEST(MusicPlayer, PlaysTheWholeWaveFileStopsItAndClosesItsDevice) {
    // Whatever sound hardware the machine has, SDL's silent driver takes the stream.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string path = writeWave("music-player-test.wav");
    PlayStarts observer;
    MusicPlayer player(path.c_str());
    const MCIDEVICEID device = player.openParams.wDeviceID;
    ASSERT_NE(device, 0u);
    MCIERROR error = 0;
    EXPECT_EQ(modeOf(device, &error), static_cast<DWORD>(MCI_MODE_STOP)) << "opened, not playing";
    EXPECT_TRUE(observer.starts.empty());

    EXPECT_EQ(player.play(), 0);
    ASSERT_EQ(observer.starts.size(), 1u) << "play starts the sound";
    EXPECT_EQ(observer.starts[0], (std::pair<uint32_t, uint32_t>{0, WAVE_FRAMES}))
        << "from the first frame to the last";
    EXPECT_EQ(modeOf(device, &error), static_cast<DWORD>(MCI_MODE_PLAY));
    EXPECT_EQ(error, 0u);

    EXPECT_EQ(player.stop(), 0);
    EXPECT_EQ(modeOf(device, &error), static_cast<DWORD>(MCI_MODE_STOP)) << "stop ends the sound";
    EXPECT_EQ(error, 0u);

    EXPECT_EQ(player.close(), 0);
    modeOf(device, &error);
    EXPECT_EQ(error, static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID)) << "the device is closed";
    EXPECT_EQ(observer.starts.size(), 1u);
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
