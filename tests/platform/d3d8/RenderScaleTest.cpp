// The factor "--scale auto" picks, and the block averaging that readers of scaled
// surfaces see through.
#include "RenderScale.h"

#include <gtest/gtest.h>

#include <vector>

TEST(RenderScaleTest, AutoTakesTheSmallestFactorReachingTheDisplayOnAGpu) {
    EXPECT_EQ(RenderScale::fitDisplay(false, 600, 600), 1u);
    EXPECT_EQ(RenderScale::fitDisplay(false, 480, 600), 1u);
    EXPECT_EQ(RenderScale::fitDisplay(false, 601, 600), 2u);
    EXPECT_EQ(RenderScale::fitDisplay(false, 1080, 600), 2u);
    EXPECT_EQ(RenderScale::fitDisplay(false, 1200, 600), 2u);
    EXPECT_EQ(RenderScale::fitDisplay(false, 1440, 600), 3u);
    EXPECT_EQ(RenderScale::fitDisplay(false, 2160, 600), 4u);
    // Beyond what the device draws: the most it offers.
    EXPECT_EQ(RenderScale::fitDisplay(false, 4320, 600), 4u);
    EXPECT_EQ(RenderScale::fitDisplay(false, 0xFFFFFFFFu, 600), 4u);
}

TEST(RenderScaleTest, AutoStaysAtOneOnSoftwareOrWithoutADisplayHeight) {
    EXPECT_EQ(RenderScale::fitDisplay(true, 1080, 600), 1u);
    EXPECT_EQ(RenderScale::fitDisplay(true, 2160, 600), 1u);
    EXPECT_EQ(RenderScale::fitDisplay(false, 0, 600), 1u);
    EXPECT_EQ(RenderScale::fitDisplay(false, 1080, 0), 1u);
}

TEST(RenderScaleTest, AveragingABlockRoundsAndReplicatingRestoresIt) {
    const RenderScale two(2);
    // One BGRA pixel's 2 x 2 block: channel 0 sums to 6 (1.5, rounds to 2), channel 1 to
    // 1020, channel 2 to 1 (0.25, rounds to 0), channel 3 to 2 (0.5, rounds up).
    const std::vector<uint8_t> fine = {0, 255, 1, 0, 3, 255, 0, 1, //
                                       1, 255, 0, 0, 2, 255, 0, 1};
    uint8_t out[4] = {};
    two.average(fine.data(), 8, out, 4, 1, 1);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], 255);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[3], 1);
    std::vector<uint8_t> back(16, 0xAA);
    two.replicate(out, 4, back.data(), 8, 1, 1);
    for (size_t i = 0; i < back.size(); i += 4) {
        EXPECT_EQ(back[i], 2);
        EXPECT_EQ(back[i + 3], 1);
    }
}
