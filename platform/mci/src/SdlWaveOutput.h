// The native wave output: an SDL audio device whose audio thread reads the samples
// straight from the file's memory, so the soundtrack is held once.
#pragma once

#include <SDL.h>

#include <atomic>

#include "WaveOutput.h"

class SdlWaveOutput final : public WaveOutput {
public:
    ~SdlWaveOutput() override;

    MCIERROR open(std::shared_ptr<const WaveFile> file) override;
    void play(uint32_t first, uint32_t end) override;
    void stop() override;
    // The frames handed to SDL, as its queue would count them.
    uint32_t position() override;

    // Samples per frame of played audio, for buffer sizing: small, so that the
    // music starts within a few tens of milliseconds of play.
    static constexpr Uint16 BUFFER_FRAMES = 1024;

private:
    // SDL's audio thread asks for the next bytes to play.
    static void fill(void* output, Uint8* stream, int length);

    std::shared_ptr<const WaveFile> wave;
    SDL_AudioDeviceID audio = 0;
    Uint8 silence = 0;
    // What the audio thread plays: frames from `fedFrame` up to `feedEnd`. It moves
    // fedFrame on as it takes them; both change only with the audio device locked.
    std::atomic<uint32_t> fedFrame{0};
    std::atomic<uint32_t> feedEnd{0};
    bool audioInitialised = false;
};
