#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <shlwapi.h>
#include <windows.h>

namespace {

TEST(Wsprintf, ConversionsReadThirtyTwoBitArguments) {
    char buffer[1024];
    EXPECT_EQ(25, wsprintfA(buffer, "%s が存在しません", "a.x")); // bytes of UTF-8
    EXPECT_STREQ("a.x が存在しません", buffer);
    const DWORD big = 0xFFFFFFFFu;
    const LONG negative = -5;
    wsprintfA(buffer, "%lu %ld %lx %lX %d %i", big, negative, big, 0xABCDu, -1, 42);
    EXPECT_STREQ("4294967295 -5 ffffffff ABCD -1 42", buffer);
    wsprintfA(buffer, "[%5d][%-5d][%05u][%#x][%c][%%][%.2s][%8s]", 42, 42, 42u, 255u, 'Z', "abc",
              "r");
    EXPECT_STREQ("[   42][42   ][00042][0xff][Z][%][ab][       r]", buffer);
    wsprintfA(buffer, "%hd %hu", 70000, 70000);
    EXPECT_STREQ("4464 4464", buffer);
    wsprintfA(buffer, "%s|%q|%", static_cast<const char*>(nullptr));
    EXPECT_STREQ("(null)|q|%", buffer);
}

TEST(Wsprintf, OutputStopsAt1024Characters) {
    std::string longText(3000, 'y');
    char buffer[1100];
    EXPECT_EQ(1023, wsprintfA(buffer, "%s", longText.c_str()));
    EXPECT_EQ(1023u, std::string(buffer).size());
}

TEST(Wsprintf, BoundedFormattingNeverOverruns) {
    char buffer[16 + 4];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(-1, wnsprintfA(buffer, 16, "%s が存在しません", "data\\a-very-long-name.x"));
    EXPECT_EQ(15u, std::strlen(buffer));
    EXPECT_EQ('#', buffer[16]); // nothing written past the given size
    EXPECT_EQ(3, wnsprintfA(buffer, 16, "%d", 123));
    EXPECT_STREQ("123", buffer);
}

} // namespace
