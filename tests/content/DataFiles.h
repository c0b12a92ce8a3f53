#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads what the build generated under <build>/data.
std::string dataPath(const std::string& name);
std::vector<uint8_t> readDataFile(const std::string& name);
