#include "WaveDevice.h"

#include <algorithm>

#include "SystemClock.h"
#include "WaveObserver.h"

WaveDevice::WaveDevice(std::unique_ptr<WaveOutput> given) : output(std::move(given)) {}

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
        output.reset();
        return 0;
    }
    if (!output) {
        output = WaveOutput::create();
    }
    if (const MCIERROR error = output->open(wave)) {
        output.reset();
        return error;
    }
    return 0;
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
    if (output) {
        output->play(startFrame, endFrame);
    }
    return 0;
}

uint32_t WaveDevice::currentFrame() {
    if (state != State::Playing) {
        return positionFrame;
    }
    uint32_t frame = endFrame;
    if (output) {
        frame = std::clamp(output->position(), startFrame, endFrame);
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
    if (output) {
        output->stop();
    }
}

void WaveDevice::pause() {
    if (currentFrame() < endFrame && state == State::Playing) {
        positionFrame = currentFrame();
        state = State::Paused;
        if (output) {
            output->stop();
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
        if (!output) {
            clock.advance(msAtFrame(endFrame - currentFrame()) + 1);
        } else {
            clock.sleep(5);
        }
    }
}
