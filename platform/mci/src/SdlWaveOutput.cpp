#include "SdlWaveOutput.h"

#include <algorithm>
#include <cstring>

namespace {
// SDL audio devices held by open wave outputs, across all of them.
int openAudioDevices = 0;

SDL_AudioFormat sdlFormat(uint16_t bits) {
    switch (bits) {
    case 8:
        return AUDIO_U8;
    case 16:
        return AUDIO_S16LSB;
    default:
        return AUDIO_S32LSB;
    }
}
} // namespace

std::unique_ptr<WaveOutput> WaveOutput::create() {
    return std::make_unique<SdlWaveOutput>();
}

SdlWaveOutput::~SdlWaveOutput() {
    if (audio != 0) {
        SDL_CloseAudioDevice(audio);
        --openAudioDevices;
    }
    if (audioInitialised) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

MCIERROR SdlWaveOutput::open(std::shared_ptr<const WaveFile> file) {
    wave = std::move(file);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    audioInitialised = true;
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(wave->sampleRate);
    want.format = sdlFormat(wave->bitsPerSample);
    want.channels = static_cast<Uint8>(wave->channels);
    want.samples = BUFFER_FRAMES;
    want.callback = &SdlWaveOutput::fill;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to what the hardware takes.
    audio = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (audio == 0) {
        // Some drivers give out their one output once: then it is in use.
        return openAudioDevices > 0 ? MCIERR_WAVE_OUTPUTSINUSE : MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    ++openAudioDevices;
    silence = have.silence;
    return 0;
}

void SdlWaveOutput::fill(void* output, Uint8* stream, int length) {
    auto* self = static_cast<SdlWaveOutput*>(output);
    const WaveFile& file = *self->wave;
    const uint32_t from = self->fedFrame.load(std::memory_order_relaxed);
    const uint32_t end = self->feedEnd.load(std::memory_order_relaxed);
    const uint32_t wanted = static_cast<uint32_t>(length) / file.blockAlign;
    const uint32_t frames = from < end ? std::min(wanted, end - from) : 0;
    const size_t bytes = size_t{frames} * file.blockAlign;
    if (bytes > 0) {
        std::memcpy(stream, file.samples.data() + size_t{from} * file.blockAlign, bytes);
    }
    std::memset(stream + bytes, self->silence, static_cast<size_t>(length) - bytes);
    self->fedFrame.store(from + frames, std::memory_order_relaxed);
}

void SdlWaveOutput::play(uint32_t first, uint32_t end) {
    SDL_LockAudioDevice(audio);
    fedFrame.store(first, std::memory_order_relaxed);
    feedEnd.store(end, std::memory_order_relaxed);
    SDL_UnlockAudioDevice(audio);
    SDL_PauseAudioDevice(audio, 0);
}

void SdlWaveOutput::stop() {
    SDL_PauseAudioDevice(audio, 1);
    SDL_LockAudioDevice(audio);
    feedEnd.store(fedFrame.load(std::memory_order_relaxed), std::memory_order_relaxed);
    SDL_UnlockAudioDevice(audio);
}

uint32_t SdlWaveOutput::position() {
    return fedFrame.load(std::memory_order_relaxed);
}
