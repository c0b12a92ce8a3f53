// Short runs of the fuzz targets' bodies over seed files and their mutations, so
// that the fuzz entry points keep building and a shallow fault shows up in every
// test run. The seeds are also written to fuzz_seeds/ for the real fuzz runs.
#include "BitmapFiles.h"
#include "D3dxFuzz.h"
#include "XFileTestData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

using namespace bmptest;

namespace {

std::vector<std::vector<uint8_t>> bitmapSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    seeds.push_back(gradient24(5, 3));
    BitmapLayout rle;
    rle.bits = 8;
    rle.compression = 1;
    rle.width = 4;
    rle.height = 3;
    rle.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    rle.pixels = {2, 1, 0, 0, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 0, 1, 3, 0, 1};
    seeds.push_back(makeBitmap(rle));
    BitmapLayout rle4 = rle;
    rle4.bits = 4;
    rle4.compression = 2;
    rle4.pixels = {5, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 1};
    seeds.push_back(makeBitmap(rle4));
    BitmapLayout fields;
    fields.bits = 16;
    fields.compression = 3;
    fields.headerSize = 108;
    fields.width = 3;
    fields.height = -2;
    fields.masks[0] = 0x0F00, fields.masks[1] = 0x00F0, fields.masks[2] = 0x000F,
    fields.masks[3] = 0xF000;
    fields.pixels.assign(16, 0x5A);
    seeds.push_back(makeBitmap(fields));
    BitmapLayout mono;
    mono.bits = 1;
    mono.width = 9;
    mono.height = 2;
    mono.palette = {0x000000, 0xFFFFFF};
    mono.pixels = {0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0};
    seeds.push_back(makeBitmap(mono));
    return seeds;
}

std::vector<std::vector<uint8_t>> meshSeeds() {
    auto bytes = [](std::string_view text) {
        return std::vector<uint8_t>(text.begin(), text.end());
    };
    std::vector<std::vector<uint8_t>> seeds;
    seeds.push_back(bytes(xfiletest::TEXT_SCENE));
    seeds.push_back(xfiletest::binaryScene(false));
    seeds.push_back(xfiletest::binaryScene(true));
    seeds.push_back(bytes("xof 0302txt 0032\nMesh { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 2; 3; "
                          "0,1,2;, 3; 0,2,3;; MeshNormals { 1; 0;0;1;; 2; 3; 0,0,0;, 3; 0,0,0;; "
                          "} MeshTextureCoords { 4; 0;0;, 1;0;, 1;1;, 0;1;; } MeshVertexColors "
                          "{ 1; 0; 1;1;1;1;; } }"));
    return seeds;
}

void writeSeeds(const std::string& folder, const std::vector<std::vector<uint8_t>>& seeds) {
    std::filesystem::create_directories(folder);
    for (size_t i = 0; i < seeds.size(); ++i) {
        writeFile(folder + "/seed" + std::to_string(i), seeds[i]);
    }
}

// Byte flips, overwrites with edge values, cuts and duplications, from a fixed seed.
void mutateAndRun(const std::vector<std::vector<uint8_t>>& seeds, int rounds,
                  int (*target)(const uint8_t*, size_t)) {
    std::mt19937 random(1234);
    for (const auto& seed : seeds) {
        target(seed.data(), seed.size());
    }
    for (int round = 0; round < rounds; ++round) {
        std::vector<uint8_t> input = seeds[random() % seeds.size()];
        int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !input.empty(); ++e) {
            size_t at = random() % input.size();
            switch (random() % 5) {
            case 0:
                input[at] ^= static_cast<uint8_t>(1u << (random() % 8));
                break;
            case 1:
                input[at] =
                    static_cast<uint8_t>(std::vector<int>{0, 1, 0x7F, 0x80, 0xFF}[random() % 5]);
                break;
            case 2:
                input.resize(at);
                break;
            case 3:
                input.insert(input.begin() + at, input.begin(), input.begin() + at);
                break;
            default:
                input[at] = static_cast<uint8_t>(random());
                break;
            }
        }
        target(input.data(), input.size());
    }
}

} // namespace

TEST(FuzzSmoke, BitmapReader) {
    auto seeds = bitmapSeeds();
    writeSeeds("fuzz_seeds/bitmap", seeds);
    mutateAndRun(seeds, 3000, fuzzBitmap);
}

TEST(FuzzSmoke, MeshFromXFile) {
    auto seeds = meshSeeds();
    writeSeeds("fuzz_seeds/xmesh", seeds);
    mutateAndRun(seeds, 400, fuzzXMesh);
}
