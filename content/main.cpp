// letterbox-content: writes every data file of the program into the folder given.
//   letterbox-content <data folder> [--contact-sheet <file.png>]
#include "content/ContentGenerator.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <data folder> [--contact-sheet <file.png>]\n", argv[0]);
        return 2;
    }
    std::string dataDir = argv[1];
    std::string sheet;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--contact-sheet" && i + 1 < argc) {
            sheet = argv[++i];
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", arg.c_str());
            return 2;
        }
    }
    std::string error;
    if (!content::ContentGenerator::writeAll(dataDir, error)) {
        std::fprintf(stderr, "letterbox-content: %s\n", error.c_str());
        return 1;
    }
    if (!sheet.empty() && !content::ContentGenerator::writeContactSheet(sheet)) {
        std::fprintf(stderr, "letterbox-content: cannot write %s\n", sheet.c_str());
        return 1;
    }
    return 0;
}
