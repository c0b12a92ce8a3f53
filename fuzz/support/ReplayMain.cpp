// Runs a fuzz target's body over saved inputs without the fuzzing engine: every
// file named, and every file inside every folder named (in name order). The
// inputs that once found faults, and the corpus that covers the reader, thereby
// guard it in every test run under the sanitizers of an ordinary build.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool runFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
    // A copy of exactly the input's size, so that the sanitizers see a read past its end.
    std::vector<uint8_t> exact(bytes);
    exact.shrink_to_fit();
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
        return 2;
    }
    size_t inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg = argv[i];
        std::error_code error;
        if (std::filesystem::is_directory(arg, error)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::directory_iterator(arg)) {
                if (entry.is_regular_file()) {
                    files.push_back(entry.path());
                }
            }
            std::sort(files.begin(), files.end());
            if (files.empty()) {
                std::fprintf(stderr, "%s holds no inputs\n", arg.c_str());
                return 1;
            }
            for (const auto& file : files) {
                if (!runFile(file)) {
                    return 1;
                }
                ++inputs;
            }
        } else {
            if (!runFile(arg)) {
                return 1;
            }
            ++inputs;
        }
    }
    std::printf("%zu inputs replayed\n", inputs);
    return 0;
}
