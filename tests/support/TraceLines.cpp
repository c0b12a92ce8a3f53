#include "TraceLines.h"

#include <fstream>

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string callOf(const std::string& line) {
    size_t start = line.find("::");
    size_t end = line.find('(');
    if (start == std::string::npos || end == std::string::npos) {
        return line;
    }
    return line.substr(start + 2, end - start - 2);
}
