#include "OpenAlWaveOutput.h"

#include <algorithm>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {
// AL_SOFT_source_spatialize (not in Emscripten's headers): AL_FALSE plays a mono
// source straight to every speaker instead of through a 3D panner.
constexpr ALenum SOURCE_SPATIALIZE_SOFT = 0x1214;

ALenum alFormat(const WaveFile& wave) {
    if (wave.channels == 1 && wave.bitsPerSample == 8) {
        return AL_FORMAT_MONO8;
    }
    if (wave.channels == 1 && wave.bitsPerSample == 16) {
        return AL_FORMAT_MONO16;
    }
    if (wave.channels == 2 && wave.bitsPerSample == 8) {
        return AL_FORMAT_STEREO8;
    }
    if (wave.channels == 2 && wave.bitsPerSample == 16) {
        return AL_FORMAT_STEREO16;
    }
    return AL_NONE;
}
} // namespace

std::unique_ptr<WaveOutput> WaveOutput::create() {
    return std::make_unique<OpenAlWaveOutput>();
}

OpenAlWaveOutput::~OpenAlWaveOutput() {
    if (context) {
        makeCurrent();
        if (source != 0) {
            alSourceStop(source);
            alSourcei(source, AL_BUFFER, 0);
            alDeleteSources(1, &source);
        }
        if (buffer != 0) {
            alDeleteBuffers(1, &buffer);
        }
        alcMakeContextCurrent(nullptr);
#ifdef __EMSCRIPTEN__
        // Emscripten's alcDestroyContext stops scheduling but leaves the context's
        // AudioContext open (and its rendering running): close it first.
        EM_ASM(
            {
                var c = AL.contexts[$0];
                if (c && c.audioCtx && c.audioCtx.close) {
                    c.audioCtx.close();
                }
            },
            context);
#endif
        alcDestroyContext(context);
    }
    if (device) {
        alcCloseDevice(device);
    }
}

void OpenAlWaveOutput::makeCurrent() const {
    if (alcGetCurrentContext() != context) {
        alcMakeContextCurrent(context);
    }
}

MCIERROR OpenAlWaveOutput::open(std::shared_ptr<const WaveFile> file) {
    wave = std::move(file);
    format = alFormat(*wave);
    if (format == AL_NONE) {
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    device = alcOpenDevice(nullptr);
    if (!device) {
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    context = alcCreateContext(device, nullptr);
    if (!context) {
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    makeCurrent();
    alGetError();
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) {
        source = 0;
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) {
        buffer = 0;
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    if (alIsExtensionPresent("AL_SOFT_source_spatialize")) {
        alSourcei(source, SOURCE_SPATIALIZE_SOFT, AL_FALSE);
    }
    alGetError();
    return 0;
}

void OpenAlWaveOutput::play(uint32_t first, uint32_t end) {
    makeCurrent();
    alSourceStop(source);
    // A buffer is filled only while no source holds it.
    alSourcei(source, AL_BUFFER, 0);
    firstFrame = first;
    endFrame = end;
    playing = false;
    stoppedAt = end;
    if (first >= end) {
        return; // nothing to play: played out at once
    }
    alGetError();
    const size_t offset = size_t{first} * wave->blockAlign;
    const size_t bytes = size_t{end - first} * wave->blockAlign;
    alBufferData(buffer, format, wave->samples.data() + offset, static_cast<ALsizei>(bytes),
                 static_cast<ALsizei>(wave->sampleRate));
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcePlay(source);
    // Where the browser refuses the buffer (a rate Web Audio does not take, no
    // memory) nothing plays: the span counts as played out, as on a silent device.
    playing = alGetError() == AL_NO_ERROR;
}

void OpenAlWaveOutput::stop() {
    stoppedAt = position();
    playing = false;
    makeCurrent();
    alSourceStop(source);
}

uint32_t OpenAlWaveOutput::position() {
    if (!playing) {
        return stoppedAt;
    }
    makeCurrent();
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (state == AL_STOPPED) {
        return endFrame; // the buffer has played out
    }
    ALint offset = 0;
    alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
    const uint32_t played = static_cast<uint32_t>(std::max<ALint>(offset, 0));
    return firstFrame + std::min(played, endFrame - firstFrame);
}
