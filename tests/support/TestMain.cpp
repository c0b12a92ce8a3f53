// The main of every test program: tests run headless unless the caller says otherwise
// (offscreen video, silent audio, message boxes to standard error).
#include <gtest/gtest.h>

#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
// Read by AddressSanitizer at start-up, before ASAN_OPTIONS. Its dynamic-TLS tracking can
// take one of its own chunk headers for a TLS block's extent and crash the leak check at
// exit (see TEST_ENV in the Makefile); leak checks still scan those blocks without it.
extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}
#endif

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("LETTERBOX_MESSAGEBOX", "stderr", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
