#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "SystemClock.h"
#include "WaveBuilder.h"
#include <windows.h>

namespace {

namespace fs = std::filesystem;

// Each test runs in a fresh working directory holding data\dmb.wav (one
// second of 22.05 kHz stereo) and a few broken files.
class MciTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Never the machine's speakers, whatever the environment says.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        previous = fs::current_path();
        folder = fs::temp_directory_path() /
                 ("letterbox-mci-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "data" / "folder.wav");
        fs::current_path(folder);
        WaveBuilder music;
        music.frames = 22050;
        music.write("data/dmb.wav");
        std::ofstream("data/empty.wav").close();
        WaveBuilder truncated;
        truncated.dataSizeOverride = 1 << 20;
        truncated.write("data/truncated.wav");
        WaveBuilder compressed;
        compressed.formatTag = 2;
        compressed.write("data/adpcm.wav");
        SystemClock::instance().configure(false, 0);
    }
    void TearDown() override {
        mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, 0, 0);
        SystemClock::instance().configure(false, 0);
        fs::current_path(previous);
        fs::remove_all(folder);
    }

    // The program's way of opening: type and element, flags 0x2200.
    static MCIERROR open(const char* element, MCIDEVICEID& id, const char* type = "waveaudio") {
        MCI_OPEN_PARMSA params{};
        params.lpstrDeviceType = type;
        params.lpstrElementName = element;
        const MCIERROR error = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                                               reinterpret_cast<DWORD_PTR>(&params));
        id = params.wDeviceID;
        return error;
    }
    static DWORD status(MCIDEVICEID id, DWORD item) {
        MCI_STATUS_PARMS params{};
        params.dwItem = item;
        EXPECT_EQ(0u, mciSendCommandA(id, MCI_STATUS, MCI_STATUS_ITEM,
                                      reinterpret_cast<DWORD_PTR>(&params)));
        return static_cast<DWORD>(params.dwReturn);
    }
    fs::path previous;
    fs::path folder;
};

TEST_F(MciTest, OpenPlayStopCloseOnTheAudioDevice) {
    MCIDEVICEID id = 0;
    ASSERT_EQ(0u, open("data\\dmb.wav", id));
    EXPECT_EQ(1u, id);
    EXPECT_EQ(1000u, status(id, MCI_STATUS_LENGTH));
    EXPECT_EQ(MCI_MODE_STOP, status(id, MCI_STATUS_MODE));

    // The program's play: flags 0x2000, which MCI_PLAY does not define; it
    // returns at once and plays on.
    MCI_PLAY_PARMS play{};
    const DWORD before = timeGetTime();
    ASSERT_EQ(0u, mciSendCommandA(id, MCI_PLAY, 0x2000, reinterpret_cast<DWORD_PTR>(&play)));
    EXPECT_LT(timeGetTime() - before, 200u);
    EXPECT_EQ(MCI_MODE_PLAY, status(id, MCI_STATUS_MODE));
    Sleep(150);
    const DWORD position = status(id, MCI_STATUS_POSITION);
    EXPECT_GT(position, 0u);

    MCI_GENERIC_PARMS generic{};
    EXPECT_EQ(0u, mciSendCommandA(id, MCI_STOP, 0, reinterpret_cast<DWORD_PTR>(&generic)));
    EXPECT_EQ(MCI_MODE_STOP, status(id, MCI_STATUS_MODE));
    const DWORD stoppedAt = status(id, MCI_STATUS_POSITION);
    Sleep(50);
    EXPECT_EQ(stoppedAt, status(id, MCI_STATUS_POSITION));

    EXPECT_EQ(0u, mciSendCommandA(id, MCI_CLOSE, 0, reinterpret_cast<DWORD_PTR>(&generic)));
    EXPECT_EQ(MCIERR_INVALID_DEVICE_ID, mciSendCommandA(id, MCI_PLAY, 0, 0));
    EXPECT_EQ(MCIERR_INVALID_DEVICE_ID, mciSendCommandA(id, MCI_CLOSE, 0, 0));
}

TEST_F(MciTest, TheAudioDevicePlaysTheSpanAskedForPausesAndEndsThere) {
    MCIDEVICEID id = 0;
    ASSERT_EQ(0u, open("data\\dmb.wav", id));
    MCI_PLAY_PARMS play{};
    play.dwFrom = 500;
    play.dwTo = 800;
    ASSERT_EQ(0u,
              mciSendCommandA(id, MCI_PLAY, MCI_FROM | MCI_TO, reinterpret_cast<DWORD_PTR>(&play)));
    Sleep(100);
    MCI_GENERIC_PARMS generic{};
    ASSERT_EQ(0u, mciSendCommandA(id, MCI_PAUSE, 0, reinterpret_cast<DWORD_PTR>(&generic)));
    const DWORD pausedAt = status(id, MCI_STATUS_POSITION);
    EXPECT_GT(pausedAt, 500u);
    EXPECT_LT(pausedAt, 800u);
    Sleep(100);
    EXPECT_EQ(pausedAt, status(id, MCI_STATUS_POSITION)); // paused: the position holds
    ASSERT_EQ(0u, mciSendCommandA(id, MCI_RESUME, 0, reinterpret_cast<DWORD_PTR>(&generic)));
    // The rest of the span plays out in real time, then the device stops at its end.
    for (int waited = 0; waited < 3000 && status(id, MCI_STATUS_MODE) == MCI_MODE_PLAY;
         waited += 20) {
        Sleep(20);
    }
    EXPECT_EQ(MCI_MODE_STOP, status(id, MCI_STATUS_MODE));
    EXPECT_EQ(800u, status(id, MCI_STATUS_POSITION));
}

TEST_F(MciTest, DeviceIdentifiersAreTheLowestFree) {
    SystemClock::instance().configure(true, 0); // no audio output needed
    MCIDEVICEID first = 0;
    MCIDEVICEID second = 0;
    MCIDEVICEID third = 0;
    ASSERT_EQ(0u, open("data\\dmb.wav", first));
    ASSERT_EQ(0u, open("data/dmb.wav", second));
    EXPECT_EQ(1u, first);
    EXPECT_EQ(2u, second);
    mciSendCommandA(first, MCI_CLOSE, 0, 0);
    ASSERT_EQ(0u, open("data\\dmb.wav", third));
    EXPECT_EQ(1u, third);
}

TEST_F(MciTest, VirtualClockPlaysSilentlyInStepWithSleep) {
    SystemClock::instance().configure(true, 0xFFFFFF00u); // across the wrap as well
    MCIDEVICEID id = 0;
    ASSERT_EQ(0u, open("data\\dmb.wav", id));
    ASSERT_EQ(0u, mciSendCommandA(id, MCI_PLAY, 0, 0));
    EXPECT_EQ(0u, status(id, MCI_STATUS_POSITION));
    Sleep(400);
    EXPECT_EQ(400u, status(id, MCI_STATUS_POSITION));
    MCI_PLAY_PARMS from{};
    from.dwFrom = 900;
    ASSERT_EQ(0u, mciSendCommandA(id, MCI_PLAY, MCI_FROM, reinterpret_cast<DWORD_PTR>(&from)));
    Sleep(50);
    EXPECT_EQ(950u, status(id, MCI_STATUS_POSITION));
    Sleep(500);
    EXPECT_EQ(1000u, status(id, MCI_STATUS_POSITION));
    EXPECT_EQ(MCI_MODE_STOP, status(id, MCI_STATUS_MODE));

    // Waiting for the end moves the virtual clock by the rest of the music.
    const DWORD before = timeGetTime();
    from.dwFrom = 0;
    ASSERT_EQ(
        0u, mciSendCommandA(id, MCI_PLAY, MCI_FROM | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&from)));
    EXPECT_GE(timeGetTime() - before, 1000u);
    EXPECT_EQ(1000u, status(id, MCI_STATUS_POSITION));
}

TEST_F(MciTest, PauseResumeAndSeek) {
    SystemClock::instance().configure(true, 0);
    MCIDEVICEID id = 0;
    ASSERT_EQ(0u, open("data\\dmb.wav", id));
    mciSendCommandA(id, MCI_PLAY, 0, 0);
    Sleep(100);
    mciSendCommandA(id, MCI_PAUSE, 0, 0);
    EXPECT_EQ(MCI_MODE_PAUSE, status(id, MCI_STATUS_MODE));
    Sleep(300);
    EXPECT_EQ(100u, status(id, MCI_STATUS_POSITION));
    mciSendCommandA(id, MCI_RESUME, 0, 0);
    Sleep(100);
    EXPECT_EQ(200u, status(id, MCI_STATUS_POSITION));

    MCI_SEEK_PARMS seek{};
    seek.dwTo = 600;
    EXPECT_EQ(0u, mciSendCommandA(id, MCI_SEEK, MCI_TO, reinterpret_cast<DWORD_PTR>(&seek)));
    EXPECT_EQ(600u, status(id, MCI_STATUS_POSITION));
    EXPECT_EQ(MCI_MODE_STOP, status(id, MCI_STATUS_MODE));
    EXPECT_EQ(0u, mciSendCommandA(id, MCI_SEEK, MCI_SEEK_TO_START, 0));
    EXPECT_EQ(0u, status(id, MCI_STATUS_POSITION));
    seek.dwTo = 5000;
    EXPECT_EQ(MCIERR_OUTOFRANGE,
              mciSendCommandA(id, MCI_SEEK, MCI_TO, reinterpret_cast<DWORD_PTR>(&seek)));
    MCI_PLAY_PARMS beyond{};
    beyond.dwFrom = 1001;
    EXPECT_EQ(MCIERR_OUTOFRANGE,
              mciSendCommandA(id, MCI_PLAY, MCI_FROM, reinterpret_cast<DWORD_PTR>(&beyond)));
}

TEST_F(MciTest, FileErrorsAreOpenErrors) {
    MCIDEVICEID id = 99;
    EXPECT_EQ(MCIERR_FILE_NOT_FOUND, open("data\\missing.wav", id));
    EXPECT_EQ(0u, id);
    EXPECT_EQ(MCIERR_FILE_NOT_FOUND, open("nowhere\\dmb.wav", id));
    EXPECT_EQ(MCIERR_INVALID_FILE, open("data\\folder.wav", id));
    EXPECT_EQ(MCIERR_INVALID_FILE, open("data\\empty.wav", id));
    EXPECT_EQ(MCIERR_INVALID_FILE, open("data\\truncated.wav", id));
    EXPECT_EQ(MCIERR_INVALID_FILE, open("data\\adpcm.wav", id));
    EXPECT_EQ(MCIERR_FILENAME_REQUIRED, open("", id));
}

TEST_F(MciTest, OnlyWaveAudioHasADriver) {
    MCIDEVICEID id = 0;
    EXPECT_EQ(MCIERR_DEVICE_NOT_INSTALLED, open("data\\x.mid", id, "Sequencer"));
    EXPECT_EQ(MCIERR_DEVICE_NOT_INSTALLED, open("data\\x.mp3", id, "MPEGVideo"));
    EXPECT_EQ(MCIERR_INVALID_DEVICE_NAME, open("data\\dmb.wav", id, "unknown"));
    EXPECT_EQ(0u, open("data\\dmb.wav", id, "WaveAudio")); // type names ignore case
    mciSendCommandA(id, MCI_CLOSE, 0, 0);

    // Without a type the extension chooses it.
    MCI_OPEN_PARMSA params{};
    params.lpstrElementName = "data\\dmb.wav";
    EXPECT_EQ(0u,
              mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&params)));
    params.lpstrElementName = "data\\dmb.ogg";
    EXPECT_EQ(MCIERR_EXTENSION_NOT_FOUND,
              mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&params)));
}

TEST_F(MciTest, CommandErrors) {
    EXPECT_EQ(MCIERR_NULL_PARAMETER_BLOCK, mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE, 0));
    EXPECT_EQ(MCIERR_INVALID_DEVICE_ID, mciSendCommandA(0, MCI_PLAY, 0, 0));
    EXPECT_EQ(MCIERR_INVALID_DEVICE_ID, mciSendCommandA(0, MCI_STOP, 0, 0));
    EXPECT_EQ(MCIERR_INVALID_DEVICE_ID, mciSendCommandA(0, MCI_CLOSE, 0, 0));
    EXPECT_EQ(MCIERR_CANNOT_USE_ALL, mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_PLAY, 0, 0));
    MCIDEVICEID id = 0;
    ASSERT_EQ(0u, open("data\\dmb.wav", id));
    EXPECT_EQ(MCIERR_UNRECOGNIZED_COMMAND, mciSendCommandA(id, 0x0999, 0, 0));
    EXPECT_EQ(MCIERR_NULL_PARAMETER_BLOCK, mciSendCommandA(id, MCI_PLAY, MCI_FROM, 0));
    EXPECT_EQ(MCIERR_NULL_PARAMETER_BLOCK, mciSendCommandA(id, MCI_STATUS, MCI_STATUS_ITEM, 0));
    // Completion notices are not carried: said so rather than dropped.
    EXPECT_EQ(MCIERR_UNSUPPORTED_FUNCTION, mciSendCommandA(id, MCI_PLAY, MCI_NOTIFY, 0));
}

TEST_F(MciTest, ASecondDeviceOnASingleOutputDriverIsInUse) {
    MCIDEVICEID first = 0;
    MCIDEVICEID second = 0;
    ASSERT_EQ(0u, open("data\\dmb.wav", first));
    EXPECT_EQ(MCIERR_WAVE_OUTPUTSINUSE, open("data\\dmb.wav", second));
    mciSendCommandA(first, MCI_CLOSE, 0, 0);
    EXPECT_EQ(0u, open("data\\dmb.wav", second));
    EXPECT_EQ(1u, second);
}

TEST_F(MciTest, NoAudioDeviceIsAnOpenError) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    MCIDEVICEID id = 0;
    EXPECT_EQ(MCIERR_WAVE_OUTPUTSUNSUITABLE, open("data\\dmb.wav", id));
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_EQ(0u, open("data\\dmb.wav", id));
}

} // namespace
