// Capture progress on standard error: a bar redrawn in place on a terminal,
// otherwise a line at every tenth of the way.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

class ProgressMeter {
public:
    ProgressMeter(uint32_t totalFrames, FILE* out, bool terminal);
    // `frame` frames of the run are done.
    void update(uint32_t frame);
    // The last line, ended.
    void finish(uint32_t frame);

private:
    void draw(uint32_t frame, bool force);

    uint32_t total;
    FILE* out;
    bool terminal;
    int lastTenth = -1;
    std::chrono::steady_clock::time_point start, lastDraw;
};
