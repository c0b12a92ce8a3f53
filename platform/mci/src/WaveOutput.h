// Where an open "waveaudio" device's sound goes: the machine's audio output, which
// plays a span of the wave file's frames and tells how far it has got. Everything
// MCI makes of that (positions in milliseconds, the modes, pause and resume, the
// span's end) is the device's: it asks its output for a position only while a span
// plays, and resumes a pause by playing the rest of the span.
#pragma once

#include <cstdint>
#include <memory>

#include "WaveFile.h"
#include <mmsystem.h>

class WaveOutput {
public:
    virtual ~WaveOutput() = default;

    // The build's output: SdlWaveOutput natively, OpenAlWaveOutput under Emscripten
    // (each defines this in its own source file; a build compiles one of them).
    static std::unique_ptr<WaveOutput> create();

    // Opens the output for the file's format; 0 or an MCIERR_ code. The output keeps
    // the file and reads its samples in place.
    virtual MCIERROR open(std::shared_ptr<const WaveFile> wave) = 0;
    // Starts playing frames [first, end) of the file at once, in place of whatever
    // played before.
    virtual void play(uint32_t first, uint32_t end) = 0;
    // Silences the output at once (an MCI stop and a pause alike); the next play
    // starts it again.
    virtual void stop() = 0;
    // The frame that playing has reached now, from the last play's first frame up
    // to its end (the end once the span has played out).
    virtual uint32_t position() = 0;
};
