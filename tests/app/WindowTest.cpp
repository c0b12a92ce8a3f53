#include "app/DemoMain.h"
#include "app/Window.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

int userMessages = 0;

LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) {
        userMessages += 1;
        return 0;
    }
    return windowProc(window, message, wParam, lParam);
}

TEST(Window, CreatesAShownWindowAndKeepsItsSize) {
    Window window;
    EXPECT_EQ(window.getHandle(), nullptr);
    EXPECT_EQ(window.pumpMessages(), 1) << "no window, no loop";

    HWND handle = window.create(10, 20, 806, 629, nullptr, "WINDOW_TEST_SHOWN", countingProc);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(window.getHandle(), handle);
    EXPECT_EQ(window.width, 806);
    EXPECT_EQ(window.height, 629);
    EXPECT_TRUE(IsWindowVisible(handle));

    // The class is registered once: a second window of the same class is refused.
    Window second;
    EXPECT_EQ(second.create(0, 0, 100, 100, nullptr, "WINDOW_TEST_SHOWN", countingProc), nullptr);
    EXPECT_EQ(second.getHandle(), nullptr);
}

TEST(Window, PumpDispatchesUntilTheQuitMessage) {
    Window window;
    HWND handle = window.create(0, 0, 320, 240, nullptr, "WINDOW_TEST_PUMP", countingProc);
    ASSERT_NE(handle, nullptr);
    userMessages = 0;
    PostMessageA(handle, WM_USER, 0, 0);
    PostMessageA(handle, WM_USER, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(window.pumpMessages(), 0);
    EXPECT_EQ(userMessages, 2);
}

} // namespace
