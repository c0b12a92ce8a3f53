#include "ProgramRuns.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace programruns {

namespace fs = std::filesystem;

const std::string BUILD = LETTERBOX_BUILD_DIR;
// The whole program unloads the GL driver at exit, and what the driver still holds
// then shows as leaks whose stacks name no module: no suppression can single them
// out. Only the program's output is under test here.
const std::string CHILD_ENV = "env ASAN_OPTIONS=detect_leaks=0";

std::string outDir() {
    const std::string dir = ::testing::TempDir() + "launcher-run-" + std::to_string(getpid()) +
                            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(dir);
    return dir;
}

void ProgramRunTest::TearDown() {
    if (!HasFailure()) {
        std::error_code ignored;
        fs::remove_all(outDir(), ignored);
    }
}

std::vector<uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readText(const std::string& path) {
    const std::vector<uint8_t> bytes = readAll(path);
    return std::string(bytes.begin(), bytes.end());
}

bool sameBytes(const std::string& a, const std::string& b) {
    std::ifstream inA(a, std::ios::binary);
    std::ifstream inB(b, std::ios::binary);
    if (!inA || !inB) {
        return false;
    }
    std::vector<char> bufA(1 << 20), bufB(1 << 20);
    while (true) {
        inA.read(bufA.data(), static_cast<std::streamsize>(bufA.size()));
        inB.read(bufB.data(), static_cast<std::streamsize>(bufB.size()));
        if (inA.gcount() != inB.gcount() ||
            !std::equal(bufA.begin(), bufA.begin() + inA.gcount(), bufB.begin())) {
            return false;
        }
        if (inA.gcount() == 0) {
            return true;
        }
    }
}

int run(const std::string& arguments, const std::string& name, const std::string& environment) {
    const std::string command = "cd '" + BUILD + "' && " + CHILD_ENV + " " + environment + " '" +
                                LETTERBOX_PROGRAM + "' " + arguments + " > '" + outDir() + "/" +
                                name + ".out' 2> '" + outDir() + "/" + name + ".err'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Y4m readY4m(const std::string& path, size_t width, size_t height) {
    const std::vector<uint8_t> bytes = readAll(path);
    Y4m y4m;
    auto newline = std::find(bytes.begin(), bytes.end(), '\n');
    if (newline == bytes.end()) {
        return y4m;
    }
    y4m.header.assign(bytes.begin(), newline + 1);
    const size_t frameBytes = width * height * 3 / 2;
    size_t at = static_cast<size_t>(newline + 1 - bytes.begin());
    while (at + 6 + frameBytes <= bytes.size() &&
           std::string(bytes.begin() + at, bytes.begin() + at + 6) == "FRAME\n") {
        y4m.frames.emplace_back(bytes.begin() + at + 6, bytes.begin() + at + 6 + frameBytes);
        at += 6 + frameBytes;
    }
    EXPECT_EQ(at, bytes.size()) << "trailing bytes in " << path;
    return y4m;
}

int64_t y4mFrameCount(const std::string& path) {
    std::error_code error;
    const auto size = static_cast<int64_t>(fs::file_size(path, error));
    const int64_t header = 66; // "YUV4MPEG2 W800 H600 ... XCOLORRANGE=LIMITED\n"
    const int64_t frame = 800 * 600 * 3 / 2 + 6;
    if (error || size < header || (size - header) % frame != 0) {
        return -1;
    }
    return (size - header) / frame;
}

const WaveFile& soundtrack() {
    static WaveFile wave = [] {
        WaveFile w;
        EXPECT_EQ(WaveFile::Error::None, w.load((BUILD + "/data/dmb.wav").c_str()));
        return w;
    }();
    return wave;
}

std::vector<uint8_t> soundtrackFrames(uint64_t first, uint64_t end) {
    const WaveFile& w = soundtrack();
    return std::vector<uint8_t>(w.samples.begin() + static_cast<ptrdiff_t>(first * w.blockAlign),
                                w.samples.begin() + static_cast<ptrdiff_t>(end * w.blockAlign));
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TickCounts tickCounts(const std::string& statsOutput) {
    std::istringstream lines(statsOutput);
    TickCounts counts;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("all ", 0) == 0) {
            std::istringstream fields(line.substr(4));
            fields >> counts.updated >> counts.rendered >> counts.skipped;
            counts.found = !fields.fail();
        }
    }
    return counts;
}

Cadence cadence(const std::string& statsOutput) {
    Cadence c;
    const size_t at = statsOutput.find("time between ticks (ms):");
    if (at != std::string::npos) {
        c.found = std::sscanf(statsOutput.c_str() + at,
                              "time between ticks (ms): shortest %u, median %u, longest %u; at "
                              "most %u in a second (clock %u to %u)",
                              &c.shortest, &c.median, &c.longest, &c.mostInASecond, &c.first,
                              &c.last) == 6;
    }
    return c;
}

} // namespace programruns
