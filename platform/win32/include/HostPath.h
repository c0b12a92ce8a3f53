// Windows file names as the program writes them ("data\obi.bmp") turned into
// host paths: backslashes become slashes; relative names stay relative to the
// working directory.
#pragma once

#include <string>

std::string hostPathFromWindows(const char* name);
