// The main of every test program: tests run headless unless the caller says otherwise
// (offscreen video, silent audio, message boxes to standard error).
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("LETTERBOX_MESSAGEBOX", "stderr", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
