#include <gtest/gtest.h>

#include "PlatformOptions.h"
#include "windows.h"

namespace {

TEST(MessageBox, GoesToStandardErrorWhenAskedAndAnswersAtOnce) {
    PlatformOptions::get().messageBoxToStderr = true;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Failed Initting", "Error", MB_OK));
    EXPECT_EQ(IDOK,
              MessageBoxA(nullptr, "テクスチャの拡大フィルタを設定することができませんでした。",
                          "エラー", MB_OK));
    EXPECT_EQ(IDYES, MessageBoxA(nullptr, "q", nullptr, MB_YESNO));
    const std::string output = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ("Error: Failed Initting\n"
              "エラー: テクスチャの拡大フィルタを設定することができませんでした。\n"
              "Error: q\n",
              output);
}

} // namespace
