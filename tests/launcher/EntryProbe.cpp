// A stand-in program for the entry tests: its WinMain reports what the process
// entry set up, and returns 7 so the exit status shows it came from here.
#include <cstdio>

#include "PlatformOptions.h"
#include "SystemClock.h"
#include "windows.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int) {
    const PlatformOptions& options = PlatformOptions::get();
    std::printf("instance=%d previous=%d windowed=%d headless=%d stderr=%d virtual=%d cmd=[%s]\n",
                instance == GetModuleHandleA(nullptr), previous == nullptr, options.windowed,
                options.headless, options.messageBoxToStderr, SystemClock::instance().isVirtual(),
                commandLine);
    return 7;
}
