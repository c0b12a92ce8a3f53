// One open "waveaudio" device: a wave file and, on the real clock, an SDL audio
// device that plays it. On the virtual clock no audio device is opened and the
// position follows the clock, so a run stays deterministic. SDL's audio thread reads
// the samples straight from the file's memory, so the soundtrack is held once.
#pragma once

#include <SDL.h>

#include <atomic>
#include <memory>

#include "WaveFile.h"
#include <mmsystem.h>

class WaveDevice {
public:
    ~WaveDevice();

    // Reads the file and opens the output; 0 or an MCIERR_ code.
    MCIERROR open(const char* windowsName);
    // Plays from `fromMs` to `toMs` (clamped to the length); returns at once.
    MCIERROR play(uint32_t fromMs, uint32_t toMs);
    void stop();
    void pause();
    void resume();
    MCIERROR seek(uint32_t ms);
    // Blocks until playback ends (advancing a virtual clock instead).
    void waitUntilDone();

    uint32_t lengthMs() const { return wave->lengthMs(); }
    uint32_t positionMs();
    UINT mode();

    // Samples per frame of played audio, for buffer sizing: small, so that the
    // music starts within a few tens of milliseconds of play.
    static constexpr Uint16 BUFFER_FRAMES = 1024;

private:
    enum class State { Stopped, Playing, Paused };

    MCIERROR playFrames(uint32_t first, uint32_t end);
    uint32_t frameAtMs(uint32_t ms) const;
    uint32_t msAtFrame(uint32_t frame) const;
    // Where playback stands in frames; moves the state to Stopped at the end.
    uint32_t currentFrame();
    // SDL's audio thread asks for the next bytes to play.
    static void fill(void* device, Uint8* stream, int length);

    std::shared_ptr<WaveFile> wave = std::make_shared<WaveFile>();
    SDL_AudioDeviceID audio = 0;
    Uint8 silence = 0;
    // What the audio thread plays: frames from `fedFrame` up to `feedEnd`. It moves
    // fedFrame on as it takes them; both change only with the audio device locked.
    std::atomic<uint32_t> fedFrame{0};
    std::atomic<uint32_t> feedEnd{0};
    bool audioInitialised = false;
    State state = State::Stopped;
    uint32_t positionFrame = 0; // when stopped or paused
    uint32_t startFrame = 0;    // where the current play began
    uint32_t endFrame = 0;      // where it ends
    uint32_t startClockMs = 0;  // virtual clock: when it began
};
