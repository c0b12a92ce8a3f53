// A short run of the parser's fuzz body over seed files and their mutations; the
// seeds are also written to fuzz_seeds/xfile for the real fuzz runs.
#include "XFileFuzz.h"
#include "XFileTestData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> withChoice(uint8_t choice, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> out{choice};
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<uint8_t> bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

} // namespace

TEST(FuzzSmoke, XFileParser) {
    std::vector<std::vector<uint8_t>> seeds = {
        withChoice(0, bytes(xfiletest::TEXT_SCENE)),
        withChoice(0, xfiletest::binaryScene(false)),
        withChoice(0, xfiletest::binaryScene(true)),
        withChoice(1, bytes(xfiletest::TEXT_TEMPLATES)),
        withChoice(0, bytes("xof 0302txt 0032 Pair { 2; 1,2,3,4; 0.5; } Frame Root { { Root } }")),
    };
    std::filesystem::create_directories("fuzz_seeds/xfile");
    for (size_t i = 0; i < seeds.size(); ++i) {
        FILE* f = std::fopen(("fuzz_seeds/xfile/seed" + std::to_string(i)).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(seeds[i].data(), 1, seeds[i].size(), f);
        std::fclose(f);
    }
    std::mt19937 random(99);
    for (const auto& seed : seeds) {
        fuzzXFile(seed.data(), seed.size());
    }
    for (int round = 0; round < 1500; ++round) {
        std::vector<uint8_t> input = seeds[random() % seeds.size()];
        for (int e = 0, edits = 1 + static_cast<int>(random() % 4); e < edits && input.size() > 1;
             ++e) {
            size_t at = 1 + random() % (input.size() - 1);
            switch (random() % 4) {
            case 0:
                input[at] ^= static_cast<uint8_t>(1u << (random() % 8));
                break;
            case 1:
                input.resize(at);
                break;
            case 2:
                input.insert(input.begin() + at, input.begin() + 1, input.begin() + at);
                break;
            default:
                input[at] = static_cast<uint8_t>(random());
                break;
            }
        }
        fuzzXFile(input.data(), input.size());
    }
}
