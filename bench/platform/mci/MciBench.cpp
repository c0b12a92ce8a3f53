// Opening the soundtrack and how soon after MCI_PLAY the audio device starts
// taking samples (on SDL's dummy driver unless SDL_AUDIODRIVER says otherwise).
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/WavHeader.h"
#include <windows.h>

namespace {

constexpr const char* WAVE_NAME = "letterbox-bench.wav";
constexpr uint32_t SAMPLE_RATE = 44100;
constexpr uint32_t SECONDS = 71;

// A soundtrack-sized file: 71 s of 44.1 kHz 16-bit stereo.
void writeWave() {
    const uint32_t bytes = SAMPLE_RATE * SECONDS * 4;
    std::vector<uint8_t> file;
    putWavHeader(file, 2, SAMPLE_RATE, 16, bytes);
    file.resize(file.size() + bytes);
    FILE* out = std::fopen(WAVE_NAME, "wb");
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
}

MCIDEVICEID openWave() {
    MCI_OPEN_PARMSA params{};
    params.lpstrDeviceType = "waveaudio";
    params.lpstrElementName = WAVE_NAME;
    if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                        reinterpret_cast<DWORD_PTR>(&params)) != 0) {
        return 0;
    }
    return params.wDeviceID;
}

void OpenSoundtrack(benchmark::State& state) {
    for (auto _ : state) {
        const MCIDEVICEID id = openWave();
        if (id == 0) {
            state.SkipWithError("no audio output");
            break;
        }
        mciSendCommandA(id, MCI_CLOSE, 0, 0);
    }
}
BENCHMARK(OpenSoundtrack)->Unit(benchmark::kMillisecond);

// Time from MCI_PLAY until the reported position has moved: the delay before
// the first buffer of music is taken by the device.
void PlayStartLatency(benchmark::State& state) {
    const MCIDEVICEID id = openWave();
    if (id == 0) {
        state.SkipWithError("no audio output");
        return;
    }
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_POSITION;
    for (auto _ : state) {
        MCI_PLAY_PARMS play{};
        play.dwFrom = 0;
        const auto start = std::chrono::steady_clock::now();
        mciSendCommandA(id, MCI_PLAY, MCI_FROM, reinterpret_cast<DWORD_PTR>(&play));
        do {
            SDL_Delay(1);
            mciSendCommandA(id, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status));
        } while (status.dwReturn == 0 &&
                 std::chrono::steady_clock::now() - start < std::chrono::seconds(2));
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        mciSendCommandA(id, MCI_STOP, 0, 0);
    }
    mciSendCommandA(id, MCI_CLOSE, 0, 0);
}
BENCHMARK(PlayStartLatency)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    writeWave();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(WAVE_NAME);
    return 0;
}
