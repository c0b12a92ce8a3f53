#include "DrawTimer.h"

#include "GlCheck.h"

#include <cstdlib>
#include <ctime>

namespace {

// CPU time of every thread of the process, the rasteriser's included, in microseconds.
double processCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

double microseconds(std::chrono::steady_clock::duration span) {
    return std::chrono::duration<double, std::micro>(span).count();
}

std::FILE* openSetting(const char* name) {
    const char* path = std::getenv(name);
    return path != nullptr && *path != '\0' ? std::fopen(path, "w") : nullptr;
}

} // namespace

std::unique_ptr<DrawTimer> DrawTimer::forDraws() {
    std::FILE* file = openSetting("LETTERBOX_DRAW_TIMES");
    return file != nullptr ? std::unique_ptr<DrawTimer>(new DrawTimer(file)) : nullptr;
}

std::unique_ptr<DrawTimer> DrawTimer::forFrames() {
    std::FILE* file = openSetting("LETTERBOX_FRAME_TIMES");
    return file != nullptr ? std::unique_ptr<DrawTimer>(new DrawTimer(file)) : nullptr;
}

DrawTimer::DrawTimer(std::FILE* file)
    : out(file), made(std::chrono::steady_clock::now()), madeCpu(processCpuMicroseconds()) {}

DrawTimer::~DrawTimer() {
    std::fclose(out);
}

void DrawTimer::begin() {
    glFinish();
    started = std::chrono::steady_clock::now();
    startedCpu = processCpuMicroseconds();
}

void DrawTimer::end(uint64_t frame, const std::string& what) {
    glFinish();
    std::fprintf(out, "%llu\t%s\t%.1f\t%.1f\n", static_cast<unsigned long long>(frame),
                 what.c_str(), microseconds(std::chrono::steady_clock::now() - started),
                 processCpuMicroseconds() - startedCpu);
}

void DrawTimer::mark(uint64_t frame) {
    // The clock's own reading too, to line the frames up with a profiler's samples.
    const auto now = std::chrono::steady_clock::now();
    std::fprintf(out, "%llu\t%.1f\t%.1f\t%.6f\n", static_cast<unsigned long long>(frame),
                 microseconds(now - made), processCpuMicroseconds() - madeCpu,
                 std::chrono::duration<double>(now.time_since_epoch()).count());
}
