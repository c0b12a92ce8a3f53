// One open "waveaudio" device: a wave file and, on the real clock, the build's wave
// output that plays it (WaveOutput). On the virtual clock no output is opened and
// the position follows the clock, so a run stays deterministic. The positions, the
// modes and where a span ends are kept here; the output only plays and counts.
#pragma once

#include <cstdint>
#include <memory>

#include "WaveFile.h"
#include "WaveOutput.h"
#include <mmsystem.h>

class WaveDevice {
public:
    WaveDevice() = default;
    // Plays through `output` on the real clock in place of WaveOutput::create()'s.
    explicit WaveDevice(std::unique_ptr<WaveOutput> output);

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

private:
    enum class State { Stopped, Playing, Paused };

    MCIERROR playFrames(uint32_t first, uint32_t end);
    uint32_t frameAtMs(uint32_t ms) const;
    uint32_t msAtFrame(uint32_t frame) const;
    // Where playback stands in frames; moves the state to Stopped at the end.
    uint32_t currentFrame();

    std::shared_ptr<WaveFile> wave = std::make_shared<WaveFile>();
    // The output the device plays through: the one given, else WaveOutput::create()'s on
    // opening. After open it is there only on the real clock and only when it opened.
    std::unique_ptr<WaveOutput> output;
    State state = State::Stopped;
    uint32_t positionFrame = 0; // when stopped or paused
    uint32_t startFrame = 0;    // where the current play began
    uint32_t endFrame = 0;      // where it ends
    uint32_t startClockMs = 0;  // virtual clock: when it began
};
