#include <gtest/gtest.h>

#include <cstdlib>

#include "LaunchOptions.h"

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

TEST(LaunchOptions, Environment) {
    const char* display = std::getenv("DISPLAY");
    const std::string savedDisplay = display ? display : "";
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const std::string savedWayland = wayland ? wayland : "";

    setenv("LETTERBOX_MESSAGEBOX", "stderr", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    PlatformOptions headless;
    LaunchOptions::applyEnvironment(headless);
    EXPECT_TRUE(headless.messageBoxToStderr);
    EXPECT_TRUE(headless.headless);

    setenv("LETTERBOX_MESSAGEBOX", "box", 1);
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    PlatformOptions shown;
    LaunchOptions::applyEnvironment(shown);
    EXPECT_FALSE(shown.messageBoxToStderr);
    EXPECT_FALSE(shown.headless);

    unsetenv("WAYLAND_DISPLAY");
    setenv("DISPLAY", ":0", 1);
    PlatformOptions x11;
    LaunchOptions::applyEnvironment(x11);
    EXPECT_FALSE(x11.headless);

    if (display) {
        setenv("DISPLAY", savedDisplay.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
    if (wayland) {
        setenv("WAYLAND_DISPLAY", savedWayland.c_str(), 1);
    }
}

} // namespace
