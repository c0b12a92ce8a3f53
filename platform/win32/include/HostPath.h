// Windows file names as the program writes them ("data\obi.bmp") turned into
// host paths: backslashes become slashes; relative names stay relative to the
// working directory.
#pragma once

#include <string>
#include <vector>

std::string hostPathFromWindows(const char* name);

// A file the program reads: the host path relative to the working directory when
// something is there; otherwise the first of the program's own folders that holds
// it (beside the executable, then the installed share/letterbox beside its bin/).
// When none does, the working-directory path, so a missing file fails as before.
std::string hostPathForReading(const char* name);

// The folders a relative name is looked up in after the working directory, for a
// program whose executable lies in programFolder.
std::vector<std::string> dataFoldersBeside(const std::string& programFolder);

// The lookup itself: path (relative) in the working directory, then in each folder.
std::string findReadable(const std::string& path, const std::vector<std::string>& folders);
