// The generator makes the same bytes every time: a fresh generation in this process equals
// what the build wrote.
#include "content/ContentGenerator.h"
#include "DataFiles.h"

#include <gtest/gtest.h>

using content::ContentGenerator;

TEST(Determinism, BitmapsAndMeshesMatchTheBuiltFiles) {
    std::vector<ContentGenerator::File> files = ContentGenerator::bitmapFiles();
    for (auto& f : ContentGenerator::meshFiles()) {
        files.push_back(std::move(f));
    }
    ASSERT_GE(files.size(), 29u);
    for (const auto& f : files) {
        ASSERT_EQ(f.path.rfind("data/", 0), 0u);
        EXPECT_EQ(readDataFile(f.path.substr(5)), f.bytes) << f.path;
    }
}

TEST(Determinism, SoundtrackMatchesTheBuiltFile) {
    ContentGenerator::File wav = ContentGenerator::soundtrack();
    EXPECT_EQ(wav.path, "data/dmb.wav");
    EXPECT_TRUE(readDataFile("dmb.wav") == wav.bytes);
}
