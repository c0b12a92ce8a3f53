// The browser's wave output: OpenAL as Emscripten carries it on Web Audio, with a
// device and context of its own and one source. Each play hands the frames it plays
// to an AL buffer and starts the source on it; the position is the source's sample
// offset from there, and the end once the source has played the buffer out.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include "WaveOutput.h"

class OpenAlWaveOutput final : public WaveOutput {
public:
    ~OpenAlWaveOutput() override;

    // 8- or 16-bit mono or stereo; anything else, or no device or context, is
    // MCIERR_WAVE_OUTPUTSUNSUITABLE.
    MCIERROR open(std::shared_ptr<const WaveFile> file) override;
    void play(uint32_t first, uint32_t end) override;
    void stop() override;
    uint32_t position() override;

private:
    // Makes this output's context the current one for the AL calls that follow.
    void makeCurrent() const;

    std::shared_ptr<const WaveFile> wave;
    ALenum format = AL_NONE;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    ALuint source = 0; // 0: none (no source or buffer is named 0)
    ALuint buffer = 0;
    // The last play's span; whether it still plays; where a stop left it.
    uint32_t firstFrame = 0;
    uint32_t endFrame = 0;
    bool playing = false;
    uint32_t stoppedAt = 0;
};
