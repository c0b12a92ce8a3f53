#include "FullScreenDevice.h"

#include "TestWindow.h"

#include <gtest/gtest.h>

void openDevice(GraphicsDevice& graphics, const char* className) {
    HWND window = makeTestWindow(className);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(graphics.create(window, 800, 600), 0);
}

void openFullScreen(GraphicsDevice& graphics, const char* className) {
    ASSERT_NO_FATAL_FAILURE(openDevice(graphics, className));
    graphics.setWindowed(0);
}
