// A maintainer's tool for finding where the rasteriser's time goes. With
// LETTERBOX_DRAW_TIMES=FILE set, every clear and draw is waited for on its own and
// written to FILE with what it drew and how long it took (waiting after every draw makes a
// run much slower). With LETTERBOX_FRAME_TIMES=FILE set, the start of every scene is
// written with the wall and CPU time so far, without waiting for anything. Without the
// settings nothing here runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class DrawTimer {
public:
    // The timers the environment asks for, or null.
    static std::unique_ptr<DrawTimer> forDraws();
    static std::unique_ptr<DrawTimer> forFrames();
    ~DrawTimer();
    DrawTimer(const DrawTimer&) = delete;
    DrawTimer& operator=(const DrawTimer&) = delete;

    // Waits for everything queued so far, so that end() times only what comes between.
    void begin();
    // Waits for the work since begin() and writes one line: frame, what, then the wall
    // time and the process's CPU time (every thread's) it took, in microseconds.
    void end(uint64_t frame, const std::string& what);
    // Writes one line: frame, the wall and CPU time since the timer was made, and the
    // steady clock's reading in seconds.
    void mark(uint64_t frame);

private:
    explicit DrawTimer(std::FILE* file);
    std::FILE* out;
    std::chrono::steady_clock::time_point made;
    std::chrono::steady_clock::time_point started;
    double madeCpu = 0.0;
    double startedCpu = 0.0;
};
