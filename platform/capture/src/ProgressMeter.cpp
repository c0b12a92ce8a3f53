#include "ProgressMeter.h"

#include <algorithm>

ProgressMeter::ProgressMeter(uint32_t totalFrames, FILE* stream, bool isTerminal)
    : total(std::max(1u, totalFrames)), out(stream), terminal(isTerminal),
      start(std::chrono::steady_clock::now()), lastDraw(start) {}

void ProgressMeter::update(uint32_t frame) {
    draw(frame, false);
}

void ProgressMeter::finish(uint32_t frame) {
    draw(frame, true);
    if (terminal) {
        std::fputc('\n', out);
    }
    std::fflush(out);
}

void ProgressMeter::draw(uint32_t frame, bool force) {
    const auto now = std::chrono::steady_clock::now();
    const double elapsed = std::chrono::duration<double>(now - start).count();
    const uint32_t done = std::min(frame, total);
    const double fraction = static_cast<double>(done) / total;
    const double remaining = done > 0 ? elapsed / done * (total - done) : 0.0;
    if (terminal) {
        // Redrawn at most ten times a second.
        if (!force && now - lastDraw < std::chrono::milliseconds(100)) {
            return;
        }
        lastDraw = now;
        constexpr int WIDTH = 30;
        char bar[WIDTH + 1];
        const int filled = static_cast<int>(fraction * WIDTH);
        for (int i = 0; i < WIDTH; ++i) {
            bar[i] = i < filled ? '#' : '.';
        }
        bar[WIDTH] = 0;
        std::fprintf(out, "\r[%s] %5u/%u frames  %5.1f s elapsed  %5.1f s left ", bar, done, total,
                     elapsed, remaining);
        std::fflush(out);
        return;
    }
    const int tenth = static_cast<int>(fraction * 10.0 + 1e-9);
    if (tenth > lastTenth && (force || tenth > 0)) {
        lastTenth = tenth;
        std::fprintf(out, "capture: %3d%%  %u/%u frames  %.1f s elapsed  %.1f s left\n", tenth * 10,
                     done, total, elapsed, remaining);
        std::fflush(out);
    }
}
