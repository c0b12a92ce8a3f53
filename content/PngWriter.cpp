#include "content/PngWriter.h"

#include "common/PngFile.h"

namespace content {

bool PngWriter::write(const Image& image, const std::string& path) {
    auto fillRow = [&image](uint32_t y, uint8_t* row) {
        for (int x = 0; x < image.width(); ++x) {
            image.rgb8(x, static_cast<int>(y), &row[static_cast<size_t>(x) * 3]);
        }
    };
    return writePngFile(path, static_cast<uint32_t>(image.width()),
                        static_cast<uint32_t>(image.height()), fillRow);
}

} // namespace content
