#include <gtest/gtest.h>

#include <cstdlib>

#include "crtrand.h"

namespace {

// This test file's first test sees the process-start state, so it must stay first.
TEST(CrtRand, StartsFromStateOneAndReseedsWithZero) {
    const int fromStart[] = {41, 18467, 6334, 26500, 19169};
    for (int expected : fromStart) {
        EXPECT_EQ(expected, crtRand());
    }
    crtSrand(0);
    const int fromZero[] = {38, 7719, 21238, 2437, 8855};
    for (int expected : fromZero) {
        EXPECT_EQ(expected, crtRand());
    }
    crtSrand(1);
    EXPECT_EQ(41, crtRand());
}

TEST(CrtRand, IsNotTheCLibrarysGenerator) {
    std::srand(1);
    crtSrand(1);
    const int theirs = std::rand();
    EXPECT_EQ(41, crtRand());
    EXPECT_NE(41, theirs);
}

TEST(CrtRand, DrawsStayWithinFifteenBits) {
    crtSrand(12345);
    int highest = 0;
    for (int i = 0; i < 100000; ++i) {
        const int draw = crtRand();
        ASSERT_GE(draw, 0);
        ASSERT_LE(draw, CRT_RAND_MAX);
        highest = std::max(highest, draw);
    }
    EXPECT_GT(highest, 32000);
}

} // namespace
