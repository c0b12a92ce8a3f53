#include "HostPath.h"

#include <algorithm>

std::string hostPathFromWindows(const char* name) {
    std::string path = name ? name : "";
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}
