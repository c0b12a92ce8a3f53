#pragma once

#include "content/Image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace content {

// Every data file of the program, generated in memory and written under one folder.
class ContentGenerator {
public:
    struct File {
        std::string path; // relative to the data folder's parent, with '/' separators
        std::vector<uint8_t> bytes;
    };

    static std::vector<NamedImage> bitmaps();
    static std::vector<File> bitmapFiles();
    static std::vector<File> meshFiles();
    static File soundtrack();

    // Writes everything into dataDir (created if missing). Returns false with a message on
    // the first file that cannot be written.
    static bool writeAll(const std::string& dataDir, std::string& error);
    static bool writeContactSheet(const std::string& pngPath);
};

} // namespace content
