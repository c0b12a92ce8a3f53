// How the platform layer was asked to behave for this run. The entry point fills
// it from the command line and the environment before WinMain; the stand-ins read it.
#pragma once

#include <cstdint>
#include <string>

struct PlatformOptions {
    bool windowed = false;     // an 800 x 600 centred window instead of desktop full screen
    bool virtualClock = false; // Sleep(n) advances time by n ms at once; nothing else moves it
    uint32_t clockStartMs = 0; // where the millisecond clock starts (tests start near the wrap)
    bool messageBoxToStderr = false; // caption and text go to standard error, the box answers IDOK
    bool software = false;           // Mesa's software rasteriser even where a GPU driver exists
    bool headless = false;           // no display: SDL's offscreen video driver
    std::string tracePath;           // when set, every Direct3D call is written there
    std::string capturePath;         // when set, every presented frame is captured there
    // The stretch of playback to capture, in seconds of the scene clock; toSeconds
    // below 0 means to the end. A run with toSeconds set ends there.
    double fromSeconds = 0.0;
    double toSeconds = -1.0;
    std::string contactSheetPath; // one frame per second tiled into this PNG
    bool stats = false;           // per-scene tick and frame times printed at exit
    // The device draws internally at renderScale times the program's sizes (1 to 4);
    // renderScaleAuto lets a live run pick it from the display when the device starts.
    uint32_t renderScale = 1;
    bool renderScaleAuto = false;
    uint32_t multisample = 0; // samples per pixel of every target: 0 (off), 2, 4 or 8

    // The one instance the whole process shares, the environment applied.
    static PlatformOptions& get();
    // LETTERBOX_MESSAGEBOX=stderr sends message boxes to standard error; neither
    // DISPLAY nor WAYLAND_DISPLAY set means headless.
    static void applyEnvironment(PlatformOptions& options);
};
