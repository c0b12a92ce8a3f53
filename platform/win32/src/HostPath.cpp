#include "HostPath.h"

#include <algorithm>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// The folder of the running executable; empty when the system does not say.
std::string programFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        return {};
    }
    std::string path(buffer, static_cast<size_t>(length));
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, std::max<size_t>(slash, 1));
}

} // namespace

std::string hostPathFromWindows(const char* name) {
    std::string path = name ? name : "";
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::vector<std::string> dataFoldersBeside(const std::string& folder) {
    if (folder.empty()) {
        return {};
    }
    // A build folder holds data/ beside the program; an installation keeps the
    // program in bin/ and its data in share/letterbox/.
    return {folder, folder + "/../share/letterbox"};
}

std::string findReadable(const std::string& path, const std::vector<std::string>& folders) {
    if (path.empty() || path[0] == '/' || exists(path)) {
        return path;
    }
    for (const std::string& folder : folders) {
        const std::string candidate = folder + "/" + path;
        if (exists(candidate)) {
            return candidate;
        }
    }
    return path;
}

std::string hostPathForReading(const char* name) {
    static const std::vector<std::string> folders = dataFoldersBeside(programFolder());
    return findReadable(hostPathFromWindows(name), folders);
}
