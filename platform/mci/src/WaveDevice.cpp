#include "WaveDevice.h"

#include <algorithm>
#include <cstring>

#include "SystemClock.h"
#include "WaveObserver.h"

namespace {
// SDL audio devices held by open wave devices, across all of them.
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

WaveDevice::~WaveDevice() {
    if (audio != 0) {
        SDL_CloseAudioDevice(audio);
        --openAudioDevices;
    }
    if (audioInitialised) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

MCIERROR WaveDevice::open(const char* windowsName) {
    switch (wave->load(windowsName)) {
    case WaveFile::Error::None:
        break;
    case WaveFile::Error::NotFound:
        return MCIERR_FILE_NOT_FOUND;
    case WaveFile::Error::TooLarge:
        return MCIERR_OUT_OF_MEMORY;
    default:
        return MCIERR_INVALID_FILE;
    }
    if (SystemClock::instance().isVirtual()) {
        return 0;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    audioInitialised = true;
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(wave->sampleRate);
    want.format = sdlFormat(wave->bitsPerSample);
    want.channels = static_cast<Uint8>(wave->channels);
    want.samples = BUFFER_FRAMES;
    want.callback = &WaveDevice::fill;
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

void WaveDevice::fill(void* device, Uint8* stream, int length) {
    auto* self = static_cast<WaveDevice*>(device);
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

uint32_t WaveDevice::frameAtMs(uint32_t ms) const {
    return static_cast<uint32_t>(
        std::min<uint64_t>(uint64_t{ms} * wave->sampleRate / 1000, wave->frameCount()));
}

uint32_t WaveDevice::msAtFrame(uint32_t frame) const {
    // Nearest millisecond, so that a position set in milliseconds reads back
    // unchanged; never past the length.
    const uint64_t ms = (uint64_t{frame} * 1000 + wave->sampleRate / 2) / wave->sampleRate;
    return static_cast<uint32_t>(std::min<uint64_t>(ms, lengthMs()));
}

MCIERROR WaveDevice::play(uint32_t fromMs, uint32_t toMs) {
    const uint32_t length = lengthMs();
    if (fromMs > length || fromMs > toMs) {
        return MCIERR_OUTOFRANGE;
    }
    return playFrames(frameAtMs(fromMs), toMs >= length ? wave->frameCount() : frameAtMs(toMs));
}

MCIERROR WaveDevice::playFrames(uint32_t first, uint32_t end) {
    startFrame = first;
    endFrame = end;
    positionFrame = startFrame;
    state = State::Playing;
    startClockMs = SystemClock::instance().milliseconds();
    if (WaveObserver::active) {
        WaveObserver::active->playStarted(wave, startFrame, endFrame, startClockMs);
    }
    if (audio != 0) {
        SDL_LockAudioDevice(audio);
        fedFrame.store(startFrame, std::memory_order_relaxed);
        feedEnd.store(endFrame, std::memory_order_relaxed);
        SDL_UnlockAudioDevice(audio);
        SDL_PauseAudioDevice(audio, 0);
    }
    return 0;
}

uint32_t WaveDevice::currentFrame() {
    if (state != State::Playing) {
        return positionFrame;
    }
    uint32_t frame = endFrame;
    if (audio != 0) {
        // The frames handed to SDL, as its queue would count them.
        frame = std::clamp(fedFrame.load(std::memory_order_relaxed), startFrame, endFrame);
    } else {
        const uint32_t elapsed = SystemClock::instance().milliseconds() - startClockMs;
        frame = std::min<uint64_t>(uint64_t{startFrame} + frameAtMs(elapsed), endFrame);
    }
    if (frame >= endFrame) {
        state = State::Stopped;
        positionFrame = endFrame;
    }
    return frame;
}

uint32_t WaveDevice::positionMs() {
    return msAtFrame(currentFrame());
}

UINT WaveDevice::mode() {
    currentFrame();
    switch (state) {
    case State::Playing:
        return MCI_MODE_PLAY;
    case State::Paused:
        return MCI_MODE_PAUSE;
    default:
        return MCI_MODE_STOP;
    }
}

void WaveDevice::stop() {
    positionFrame = currentFrame();
    state = State::Stopped;
    if (audio != 0) {
        SDL_PauseAudioDevice(audio, 1);
        SDL_LockAudioDevice(audio);
        feedEnd.store(fedFrame.load(std::memory_order_relaxed), std::memory_order_relaxed);
        SDL_UnlockAudioDevice(audio);
    }
}

void WaveDevice::pause() {
    if (currentFrame() < endFrame && state == State::Playing) {
        positionFrame = currentFrame();
        state = State::Paused;
        if (audio != 0) {
            SDL_PauseAudioDevice(audio, 1);
        }
    }
}

void WaveDevice::resume() {
    if (state == State::Paused) {
        playFrames(positionFrame, endFrame);
    }
}

MCIERROR WaveDevice::seek(uint32_t ms) {
    if (ms > lengthMs()) {
        return MCIERR_OUTOFRANGE;
    }
    stop();
    positionFrame = frameAtMs(ms);
    return 0;
}

void WaveDevice::waitUntilDone() {
    SystemClock& clock = SystemClock::instance();
    while (currentFrame() < endFrame && state == State::Playing) {
        if (audio == 0) {
            clock.advance(msAtFrame(endFrame - currentFrame()) + 1);
        } else {
            SDL_Delay(5);
        }
    }
}
