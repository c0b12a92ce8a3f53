// A stand-in program for the entry tests: its WinMain reports what the process
// entry set up, and returns 7 so the exit status shows it came from here.
#include <cstdio>
#include <cstdlib>

#include "PlatformOptions.h"
#include "SystemClock.h"
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int) {
    const PlatformOptions& options = PlatformOptions::get();
    std::printf("instance=%d previous=%d windowed=%d headless=%d stderr=%d virtual=%d cmd=[%s]\n",
                instance == GetModuleHandleA(nullptr), previous == nullptr, options.windowed,
                options.headless, options.messageBoxToStderr, SystemClock::instance().isVirtual(),
                commandLine);
    // PROBE_OPEN names a file to open for reading, as the program opens its data.
    if (const char* name = std::getenv("PROBE_OPEN")) {
        HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            std::printf("open=error %lu\n", static_cast<unsigned long>(GetLastError()));
        } else {
            char bytes[64] = {};
            DWORD read = 0;
            ReadFile(file, bytes, sizeof bytes - 1, &read, nullptr);
            std::printf("open=[%s]\n", bytes);
            CloseHandle(file);
        }
    }
    return 7;
}
