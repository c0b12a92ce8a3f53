// Whole runs of the program from the tests: a folder per test, the run itself,
// and readers of what it wrote.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "WaveFile.h"

namespace programruns {

// The build folder, where letterbox and data/ are.
extern const std::string BUILD;
// The driver's own allocations outlive the process in a sanitized build; only the
// program's output is under test here.
extern const std::string CHILD_ENV;

// A folder of this process and test alone: ctest runs the cases side by side, and
// other build folders may run them at the same time.
std::string outDir();

// Removes the test's folder when it passed (the captures are large); kept for a look
// when it failed.
class ProgramRunTest : public ::testing::Test {
protected:
    void TearDown() override;
};

std::vector<uint8_t> readAll(const std::string& path);
std::string readText(const std::string& path);
bool sameBytes(const std::string& a, const std::string& b);

// Runs the program in the build folder with `arguments` (and `environment`, words
// for env(1), before it); its output in outDir()/name.out and .err. Its exit status,
// or -1 when it did not exit.
int run(const std::string& arguments, const std::string& name, const std::string& environment = "");

struct Y4m {
    std::string header;
    std::vector<std::vector<uint8_t>> frames;
};
Y4m readY4m(const std::string& path, size_t width = 800, size_t height = 600);

// The frames of a Y4M file, from its size alone: -1 unless it is a header and whole
// 800 x 600 frames.
int64_t y4mFrameCount(const std::string& path);

// The soundtrack the program plays, and its sample frames [first, end).
const WaveFile& soundtrack();
std::vector<uint8_t> soundtrackFrames(uint64_t first, uint64_t end);

size_t count(const std::string& text, const std::string& what);

// The --stats line for all scenes: ticks updated, rendered and skipped.
struct TickCounts {
    unsigned updated = 0, rendered = 0, skipped = 0;
    bool found = false;
};
TickCounts tickCounts(const std::string& statsOutput);

// The --stats line on the time between ticks.
struct Cadence {
    unsigned shortest = 0, median = 0, longest = 0, mostInASecond = 0;
    uint32_t first = 0, last = 0;
    bool found = false;
};
Cadence cadence(const std::string& statsOutput);

} // namespace programruns
