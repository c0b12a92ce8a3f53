#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "launcher/LaunchOptions.h"

namespace {

TEST(LaunchOptions, CommandLine) {
    PlatformOptions options;
    std::string message;
    const char* plain[] = {"letterbox"};
    EXPECT_EQ(LaunchOptions::Outcome::Run, LaunchOptions::parse(1, plain, options, message));
    EXPECT_FALSE(options.windowed);

    const char* windowed[] = {"letterbox", "--windowed"};
    EXPECT_EQ(LaunchOptions::Outcome::Run, LaunchOptions::parse(2, windowed, options, message));
    EXPECT_TRUE(options.windowed);

    const char* help[] = {"letterbox", "--help"};
    EXPECT_EQ(LaunchOptions::Outcome::Exit, LaunchOptions::parse(2, help, options, message));
    EXPECT_NE(std::string::npos, message.find("--windowed"));

    const char* wrong[] = {"letterbox", "--fast"};
    EXPECT_EQ(LaunchOptions::Outcome::Error, LaunchOptions::parse(2, wrong, options, message));
    EXPECT_NE(std::string::npos, message.find("--fast"));
}

// Parses argv after "letterbox"; the outcome, with options and message filled.
LaunchOptions::Outcome parseArgs(std::vector<const char*> args, PlatformOptions& options,
                                 std::string& message) {
    args.insert(args.begin(), "letterbox");
    return LaunchOptions::parse(static_cast<int>(args.size()), args.data(), options, message);
}

TEST(LaunchOptions, CaptureTurnsOnTheVirtualClockOffScreen) {
    PlatformOptions options;
    std::string message;
    ASSERT_EQ(LaunchOptions::Outcome::Run,
              parseArgs({"--capture", "out.y4m", "--from=1.5", "--to", "3", "--trace", "calls.txt",
                         "--stats", "--software"},
                        options, message))
        << message;
    EXPECT_EQ("out.y4m", options.capturePath);
    EXPECT_DOUBLE_EQ(1.5, options.fromSeconds);
    EXPECT_DOUBLE_EQ(3.0, options.toSeconds);
    EXPECT_EQ("calls.txt", options.tracePath);
    EXPECT_TRUE(options.stats);
    EXPECT_TRUE(options.software);
    EXPECT_TRUE(options.virtualClock);
    EXPECT_TRUE(options.headless);
    EXPECT_TRUE(options.messageBoxToStderr);

    PlatformOptions sheetOnly;
    ASSERT_EQ(LaunchOptions::Outcome::Run,
              parseArgs({"--contact-sheet", "sheet.PNG"}, sheetOnly, message));
    EXPECT_TRUE(sheetOnly.virtualClock);
    EXPECT_TRUE(sheetOnly.capturePath.empty());

    // A live run keeps the real clock; --to alone ends it early.
    PlatformOptions live;
    ASSERT_EQ(LaunchOptions::Outcome::Run, parseArgs({"--to", "10", "--stats"}, live, message));
    EXPECT_FALSE(live.virtualClock);
    EXPECT_DOUBLE_EQ(10.0, live.toSeconds);
    EXPECT_DOUBLE_EQ(0.0, live.fromSeconds);
}

TEST(LaunchOptions, ScaleAndSamples) {
    PlatformOptions plain;
    std::string message;
    ASSERT_EQ(LaunchOptions::Outcome::Run, parseArgs({}, plain, message));
    EXPECT_EQ(1u, plain.renderScale);
    EXPECT_FALSE(plain.renderScaleAuto);
    EXPECT_EQ(0u, plain.multisample);

    PlatformOptions captured;
    ASSERT_EQ(LaunchOptions::Outcome::Run,
              parseArgs({"--scale", "4", "--msaa=8", "--capture", "x.y4m"}, captured, message));
    EXPECT_EQ(4u, captured.renderScale);
    EXPECT_EQ(8u, captured.multisample);

    PlatformOptions live;
    ASSERT_EQ(LaunchOptions::Outcome::Run, parseArgs({"--scale=auto"}, live, message));
    EXPECT_TRUE(live.renderScaleAuto);
}

TEST(LaunchOptions, EveryBadCommandLineSaysWhy) {
    const struct {
        std::vector<const char*> args;
        const char* says;
    } cases[] = {
        {{"--capture"}, "--capture needs a value"},
        {{"--capture", ""}, "needs a file name"},
        {{"--to", "soon", "--capture", "x"}, "'soon' is not a number"},
        {{"--to", "-1"}, "out of range"},
        {{"--to", "1e9"}, "out of range"},
        {{"--to", "nan"}, "not a number"},
        {{"--to", "2s"}, "not a number"},
        {{"--to", " 2"}, "not a number"},
        {{"--from", "1"}, "--from needs --capture"},
        {{"--capture", "x", "--from", "3", "--to", "2"}, "--to must come after --from"},
        {{"--capture", "x", "--from", "2", "--to", "2"}, "--to must come after --from"},
        {{"--contact-sheet", "sheet.jpg"}, "does not end in .png"},
        {{"--stats=yes"}, "--stats takes no value"},
        {{"--windowed", "--windowed"}, "given twice"},
        {{"--trace"}, "--trace needs a value"},
        {{"capture"}, "unknown option 'capture'"},
        {{"--scale", "5"}, "'5' is not one of 1, 2, 3, 4"},
        {{"--scale", "0"}, "not one of"},
        {{"--scale", "2x"}, "not one of"},
        {{"--scale", "auto", "--capture", "x"}, "a capture needs a number"},
        {{"--msaa", "3"}, "'3' is not one of 2, 4, 8"},
        {{"--msaa", "1"}, "not one of"},
    };
    for (const auto& c : cases) {
        PlatformOptions options;
        std::string message;
        EXPECT_EQ(LaunchOptions::Outcome::Error, parseArgs(c.args, options, message))
            << c.args.front();
        EXPECT_NE(std::string::npos, message.find(c.says)) << message;
        EXPECT_NE(std::string::npos, message.find("--help")) << message;
    }
}

TEST(LaunchOptions, HelpListsEveryOptionAndVersionNamesTheProgram) {
    PlatformOptions options;
    std::string message;
    ASSERT_EQ(LaunchOptions::Outcome::Exit, parseArgs({"--stats", "--help"}, options, message));
    for (const char* option : {"--windowed", "--capture PATH", "--from SECONDS", "--to SECONDS",
                               "--contact-sheet FILE.png", "--trace FILE", "--stats", "--software",
                               "--scale N", "--msaa S", "--version", "--help"}) {
        EXPECT_NE(std::string::npos, message.find(option)) << option;
    }
    ASSERT_EQ(LaunchOptions::Outcome::Exit, parseArgs({"--version"}, options, message));
    EXPECT_EQ(0u, message.rfind("letterbox ", 0)) << message;
}

// The clock start comes from the environment, whatever the command line says.
TEST(LaunchOptions, ClockStartFromTheEnvironment) {
    struct Case {
        const char* value;
        uint32_t startMs;
    };
    const Case good[] = {{"0", 0u},
                         {"4294957296", 4294957296u},
                         {"4294967295", 4294967295u},
                         {"-10000", 4294957296u},
                         {"-1", 4294967295u},
                         {"-4294967295", 1u},
                         {"007", 7u}};
    for (const Case& c : good) {
        setenv("LETTERBOX_CLOCK_START", c.value, 1);
        PlatformOptions options;
        std::string message;
        EXPECT_EQ(LaunchOptions::Outcome::Run, parseArgs({"--to", "3"}, options, message))
            << c.value << ": " << message;
        EXPECT_EQ(c.startMs, options.clockStartMs) << c.value;
    }
    for (const char* bad : {"4294967296", "-4294967296", "-0", "-", "12ms", " 5", "1e3", "+5",
                            "99999999999999999999", "0x10"}) {
        setenv("LETTERBOX_CLOCK_START", bad, 1);
        PlatformOptions options;
        std::string message;
        EXPECT_EQ(LaunchOptions::Outcome::Error, parseArgs({}, options, message)) << bad;
        EXPECT_NE(std::string::npos, message.find("LETTERBOX_CLOCK_START")) << message;
        EXPECT_EQ(0u, options.clockStartMs) << bad;
    }
    // Empty is the same as unset.
    setenv("LETTERBOX_CLOCK_START", "", 1);
    PlatformOptions options;
    std::string message;
    EXPECT_EQ(LaunchOptions::Outcome::Run, parseArgs({}, options, message)) << message;
    EXPECT_EQ(0u, options.clockStartMs);
    unsetenv("LETTERBOX_CLOCK_START");
}

} // namespace
