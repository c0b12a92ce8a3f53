#include "DemoMain.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RunDemo, WithoutADeviceItShowsItsMessageAndLoadsNothing) {
    quitRequested = 0;
    ::testing::internal::CaptureStderr();
    runDemo(nullptr);
    std::string shown = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("Failed Initting"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("data\\"), std::string::npos) << "nothing was loaded: " << shown;
    EXPECT_EQ(quitRequested, 0);
}

} // namespace
