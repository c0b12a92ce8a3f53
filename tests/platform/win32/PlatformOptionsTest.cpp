#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "PlatformOptions.h"

TEST(PlatformOptions, Environment) {
    const char* display = std::getenv("DISPLAY");
    const std::string savedDisplay = display ? display : "";
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const std::string savedWayland = wayland ? wayland : "";

    setenv("LETTERBOX_MESSAGEBOX", "stderr", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    PlatformOptions headless;
    PlatformOptions::applyEnvironment(headless);
    EXPECT_TRUE(headless.messageBoxToStderr);
    EXPECT_TRUE(headless.headless);

    setenv("LETTERBOX_MESSAGEBOX", "box", 1);
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    PlatformOptions shown;
    PlatformOptions::applyEnvironment(shown);
    EXPECT_FALSE(shown.messageBoxToStderr);
    EXPECT_FALSE(shown.headless);

    unsetenv("WAYLAND_DISPLAY");
    setenv("DISPLAY", ":0", 1);
    PlatformOptions x11;
    PlatformOptions::applyEnvironment(x11);
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
