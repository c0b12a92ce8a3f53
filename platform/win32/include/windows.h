// The Windows programming interface as this program uses it, standing on SDL2
// and POSIX. Include this where the program would include <windows.h>.
#pragma once

#include <windef.h>
#include <winerror.h>
#include <winbase.h>
#include <winuser.h>
#include <mmsystem.h>

// The program's entry, called by the process main once the platform is set up.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);
