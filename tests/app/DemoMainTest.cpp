#include "app/DemoMain.h"
#include "MessageBoxRecorder.h"
#include "TestWindow.h"

#include <SystemClock.h>
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RunDemo, WithoutADeviceItShowsItsMessageAndLoadsNothing) {
    quitRequested = 0;
    MessageBoxRecorder boxes;
    runDemo(nullptr);
    std::string shown = boxes.take();
    EXPECT_NE(shown.find("Failed Initting"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("data\\"), std::string::npos) << "nothing was loaded: " << shown;
    EXPECT_EQ(quitRequested, 0);
}

TEST(RunDemo, ACloseRequestedDuringLoadingEndsThePlayCleanly) {
    SystemClock::instance().configure(true, 1000);
    quitRequested = 0;
    HWND window = makeTestWindow("RUN_DEMO_TEST", windowProc);
    ASSERT_NE(window, nullptr);
    // Waits in the queue through device creation and loading.
    PostMessageA(window, WM_CLOSE, 0, 0);
    MessageBoxRecorder boxes;
    runDemo(window);
    std::string shown = boxes.take();
    EXPECT_EQ(shown.find("Failed Initting"), std::string::npos) << shown;
    EXPECT_EQ(quitRequested, 1);
    EXPECT_FALSE(IsWindow(window)) << "the close request destroyed the window";
}

TEST(RunDemo, TheIterationThatClosesTheWindowStillRendersSafely) {
    SystemClock::instance().configure(true, 1000);
    quitRequested = 0;
    HWND window = makeTestWindow("RUN_DEMO_RENDER_TEST", windowProc);
    ASSERT_NE(window, nullptr);
    // On the virtual clock loading takes no time: one message per 1 ms
    // iteration brings the close to the iteration of the first tick (17 ms),
    // which is rendered after the window is gone.
    for (int i = 0; i < 17; ++i) {
        PostMessageA(window, WM_USER, 0, 0);
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    MessageBoxRecorder boxes;
    runDemo(window);
    boxes.take();
    EXPECT_EQ(quitRequested, 1);
    EXPECT_EQ(timeGetTime(), 1000u + 17u) << "ended in the iteration of the first tick";
}

} // namespace
