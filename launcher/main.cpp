// The process entry: reads how the run is asked for, sets the platform up and
// enters the program at WinMain.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "launcher/LaunchOptions.h"
#include "Launcher.h"
#include "PlatformOptions.h"
#include "SystemClock.h"
#include <windows.h>

int main(int argc, char** argv) {
    PlatformOptions& options = PlatformOptions::get(); // the environment applied
    std::string message;
    switch (LaunchOptions::parse(argc, argv, options, message)) {
    case LaunchOptions::Outcome::Exit:
        std::fputs(message.c_str(), stdout);
        return 0;
    case LaunchOptions::Outcome::Error:
        std::fputs(message.c_str(), stderr);
        return 2;
    case LaunchOptions::Outcome::Run:
        break;
    }
    if (!options.capturePath.empty() || !options.contactSheetPath.empty()) {
        // A capture renders off screen whatever the display, and plays no sound aloud.
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    } else if (options.headless) {
        SDL_LogWarn(SDL_LOG_CATEGORY_VIDEO, "letterbox: no display (neither DISPLAY nor "
                                            "WAYLAND_DISPLAY is set); rendering off screen");
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    SystemClock::instance().configure(options.virtualClock, options.clockStartMs);

    // Capture, statistics and the end time watch the run from outside the program.
    Launcher launcher(options);
    std::string error;
    if (!launcher.begin(error)) {
        SDL_LogError(SDL_LOG_CATEGORY_APPLICATION, "letterbox: %s", error.c_str());
        return 1;
    }

    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    }
    const int status =
        WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
    const int launcherStatus = launcher.finish();
    SDL_Quit();
    return status != 0 ? status : launcherStatus;
}
