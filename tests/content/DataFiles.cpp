#include "DataFiles.h"

#include <fstream>
#include <iterator>

std::string dataPath(const std::string& name) {
    return std::string(LETTERBOX_BUILD_DIR) + "/data/" + name;
}

std::vector<uint8_t> readDataFile(const std::string& name) {
    std::ifstream in(dataPath(name), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
