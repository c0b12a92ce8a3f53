#include <gtest/gtest.h>

#include <algorithm>

#include "demo/RandRange.h"
#include "crtrand.h"

namespace {

TEST(RandRange, UsesOneDrawScaledByTheSinglePrecisionInverse) {
    crtSrand(0);
    // First draw after seeding with 0 is 38.
    const double factor = static_cast<double>(3.0518509447574615e-05f);
    EXPECT_EQ(static_cast<float>(-5.0 + 38 * factor * 10.0), randRange(-5.0f, 5.0f));
    EXPECT_EQ(7719, crtRand());
    // Reversed bounds are just a negative span.
    crtSrand(0);
    EXPECT_EQ(static_cast<float>(3.0 + 38 * factor * -6.0), randRange(3.0f, -3.0f));
}

TEST(RandRange, CoversTheClosedInterval) {
    // The extreme draws: 0 gives a, 32767 gives b (the factor rounds to 1/32767 closely enough).
    crtSrand(0);
    float lowest = 1.0f;
    float highest = -1.0f;
    for (int i = 0; i < 200000; ++i) {
        const float value = randRange(-0.75f, 0.75f);
        ASSERT_GE(value, -0.75f);
        ASSERT_LE(value, 0.75f);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    EXPECT_LT(lowest, -0.7499f);
    EXPECT_GT(highest, 0.7499f);
}

} // namespace
