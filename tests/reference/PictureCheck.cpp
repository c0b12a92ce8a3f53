// Compares a Y4M capture with the reference pictures kept in the tree.
//
//   letterbox-picture-check extract CAPTURE.y4m FOLDER
//       writes FOLDER/second-NN.png (the frame that starts each whole second, its
//       Y, Cb and Cr planes stacked as one grey picture) and FOLDER/frames.txt
//       (the header line and a 64-bit FNV-1a hash of every frame's bytes).
//   letterbox-picture-check compare CAPTURE.y4m FOLDER [--tolerance N] [--exact]
//       compares every reference picture the capture reaches, sample by sample,
//       and every frame's hash. Fails when a sample differs by more than N
//       (default 2), or with --exact when any frame's bytes differ. A shorter
//       capture (--to) is compared as far as it goes.
#include "common/PngFile.h"

#include <png.h>

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int FRAME_MS = 17;
constexpr int DEFAULT_TOLERANCE = 2;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A 4:2:0 YUV4MPEG2 stream read frame by frame.
class Y4mReader {
public:
    bool open(const std::string& path, std::string& error) {
        file.reset(std::fopen(path.c_str(), "rb"));
        if (!file) {
            error = "cannot open " + path;
            return false;
        }
        if (!readLine(header) || header.rfind("YUV4MPEG2 ", 0) != 0) {
            error = path + " is not a YUV4MPEG2 stream";
            return false;
        }
        width = field('W');
        height = field('H');
        if (width <= 0 || height <= 0 || width % 2 || height % 2) {
            error = path + ": no usable frame size in the header";
            return false;
        }
        frame.resize(frameBytes());
        return true;
    }

    // False at the end of the stream; a cut-off frame is an error.
    bool next(std::string& error) {
        std::string tag;
        if (!readLine(tag)) {
            return false;
        }
        if (tag.rfind("FRAME", 0) != 0) {
            error = "frame " + std::to_string(count) + " has no FRAME tag";
            return false;
        }
        if (std::fread(frame.data(), 1, frame.size(), file.get()) != frame.size()) {
            error = "frame " + std::to_string(count) + " is cut off";
            return false;
        }
        ++count;
        return true;
    }

    size_t frameBytes() const { return size_t(width) * height * 3 / 2; }

    std::string header;
    int width = 0;
    int height = 0;
    int count = 0; // frames read so far
    std::vector<uint8_t> frame;

private:
    bool readLine(std::string& line) {
        line.clear();
        int c;
        while ((c = std::fgetc(file.get())) != EOF && c != '\n') {
            line.push_back(static_cast<char>(c));
        }
        return c == '\n';
    }

    int field(char key) const {
        const std::string tag = std::string(" ") + key;
        const size_t at = header.find(tag);
        return at == std::string::npos ? 0 : std::atoi(header.c_str() + at + 2);
    }

    File file;
};

uint64_t fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t b : bytes) {
        hash = (hash ^ b) * 1099511628211ull;
    }
    return hash;
}

// The frame that starts whole second s on the capture's 17 ms clock.
int frameOfSecond(int s) {
    return (s * 1000 + FRAME_MS - 1) / FRAME_MS;
}

std::string referenceName(const std::string& folder, int second) {
    char name[32];
    std::snprintf(name, sizeof name, "/second-%02d.png", second);
    return folder + name;
}

// The planes as one grey picture: Y (W x H) on top, then Cb and Cr side by side
// (W/2 x H/2 each), so the file holds exactly the frame's bytes.
void planesToPicture(const Y4mReader& y4m, std::vector<uint8_t>& picture) {
    const size_t w = y4m.width, h = y4m.height, cw = w / 2, ch = h / 2;
    picture.assign(w * (h + ch), 0);
    std::memcpy(picture.data(), y4m.frame.data(), w * h);
    const uint8_t* cb = y4m.frame.data() + w * h;
    const uint8_t* cr = cb + cw * ch;
    for (size_t row = 0; row < ch; ++row) {
        uint8_t* out = picture.data() + (h + row) * w;
        std::memcpy(out, cb + row * cw, cw);
        std::memcpy(out + cw, cr + row * cw, cw);
    }
}

bool writeGrey(const std::string& path, const std::vector<uint8_t>& pixels, int w, int h) {
    auto fillRow = [&](uint32_t row, uint8_t* out) {
        std::memcpy(out, pixels.data() + size_t(row) * w, size_t(w));
    };
    return writePngFile(path, w, h, fillRow, PngCompression::Best, PngPixels::Grey);
}

bool readGrey(const std::string& path, std::vector<uint8_t>& pixels, int& w, int& h) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file.get());
    png_read_info(png, info);
    if (png_get_color_type(png, info) != PNG_COLOR_TYPE_GRAY || png_get_bit_depth(png, info) != 8) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    w = static_cast<int>(png_get_image_width(png, info));
    h = static_cast<int>(png_get_image_height(png, info));
    pixels.resize(size_t(w) * h);
    for (int row = 0; row < h; ++row) {
        png_read_row(png, pixels.data() + size_t(row) * w, nullptr);
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// Opens the capture and the reference folder's frame list in mode "w" or "r"; says on
// standard error what could not be opened.
bool openCaptureAndList(const std::string& capture, const std::string& folder, const char* mode,
                        Y4mReader& y4m, File& list) {
    std::string error;
    if (!y4m.open(capture, error)) {
        std::fprintf(stderr, "picture-check: %s\n", error.c_str());
        return false;
    }
    list.reset(std::fopen((folder + "/frames.txt").c_str(), mode));
    if (!list) {
        std::fprintf(stderr, "picture-check: cannot %s %s/frames.txt\n",
                     mode[0] == 'w' ? "write" : "read", folder.c_str());
        return false;
    }
    return true;
}

int extract(const std::string& capture, const std::string& folder) {
    Y4mReader y4m;
    File list;
    if (!openCaptureAndList(capture, folder, "w", y4m, list)) {
        return 2;
    }
    std::string error;
    std::fprintf(list.get(), "%s\n", y4m.header.c_str());
    std::vector<uint8_t> picture;
    int second = 0;
    while (y4m.next(error)) {
        const int index = y4m.count - 1;
        std::fprintf(list.get(), "%016" PRIx64 "\n", fnv1a(y4m.frame));
        if (index == frameOfSecond(second)) {
            planesToPicture(y4m, picture);
            if (!writeGrey(referenceName(folder, second), picture, y4m.width, y4m.height * 3 / 2)) {
                std::fprintf(stderr, "picture-check: cannot write %s\n",
                             referenceName(folder, second).c_str());
                return 2;
            }
            ++second;
        }
    }
    if (!error.empty()) {
        std::fprintf(stderr, "picture-check: %s\n", error.c_str());
        return 2;
    }
    std::printf("picture-check: %d frames hashed, %d reference pictures written\n", y4m.count,
                second);
    return 0;
}

int compare(const std::string& capture, const std::string& folder, int tolerance, bool exact) {
    Y4mReader y4m;
    File list;
    if (!openCaptureAndList(capture, folder, "r", y4m, list)) {
        return 2;
    }
    std::string error;
    char line[512];
    if (!std::fgets(line, sizeof line, list.get()) ||
        std::string(line, std::strcspn(line, "\n")) != y4m.header) {
        std::printf("FAIL: the header differs from the reference's\n");
        return 1;
    }
    std::vector<uint64_t> hashes;
    uint64_t hash;
    while (std::fscanf(list.get(), "%" SCNx64, &hash) == 1) {
        hashes.push_back(hash);
    }

    int failures = 0;
    int differentFrames = 0;
    int firstDifferent = -1;
    int second = 0;
    std::vector<uint8_t> picture, reference;
    while (y4m.next(error)) {
        const int index = y4m.count - 1;
        if (index >= static_cast<int>(hashes.size())) {
            std::printf("FAIL: the capture has more frames than the reference's %zu\n",
                        hashes.size());
            return 1;
        }
        if (fnv1a(y4m.frame) != hashes[index]) {
            ++differentFrames;
            if (firstDifferent < 0) {
                firstDifferent = index;
            }
        }
        if (index != frameOfSecond(second)) {
            continue;
        }
        int w = 0, h = 0;
        if (!readGrey(referenceName(folder, second), reference, w, h)) {
            std::fprintf(stderr, "picture-check: cannot read %s\n",
                         referenceName(folder, second).c_str());
            return 2;
        }
        planesToPicture(y4m, picture);
        if (w != y4m.width || h != y4m.height * 3 / 2) {
            std::printf("FAIL: %s has another size\n", referenceName(folder, second).c_str());
            return 1;
        }
        int worst = 0;
        size_t differing = 0, beyond = 0;
        for (size_t i = 0; i < picture.size(); ++i) {
            const int d = std::abs(int(picture[i]) - int(reference[i]));
            worst = std::max(worst, d);
            differing += d != 0;
            beyond += d > tolerance;
        }
        if (beyond > 0) {
            ++failures;
            std::printf("FAIL: second %d (frame %d): %zu samples differ by more than %d "
                        "(worst %d, %zu differ at all)\n",
                        second, index, beyond, tolerance, worst, differing);
        } else if (differing > 0) {
            std::printf("second %d (frame %d): %zu samples differ, by at most %d\n", second, index,
                        differing, worst);
        }
        ++second;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "picture-check: %s\n", error.c_str());
        return 2;
    }
    if (y4m.count == 0) {
        std::printf("FAIL: the capture holds no frame\n");
        return 1;
    }
    std::printf("picture-check: %d of %zu frames compared, %d reference pictures; ", y4m.count,
                hashes.size(), second);
    if (differentFrames == 0) {
        std::printf("every frame byte-identical\n");
    } else {
        std::printf("%d frames not byte-identical (first: frame %d)\n", differentFrames,
                    firstDifferent);
    }
    if (failures > 0) {
        std::printf("FAIL: %d reference pictures differ beyond the tolerance of %d\n", failures,
                    tolerance);
        return 1;
    }
    if (exact && differentFrames > 0) {
        std::printf("FAIL: --exact and %d frames differ\n", differentFrames);
        return 1;
    }
    return 0;
}

int usage() {
    std::fprintf(stderr, "usage: letterbox-picture-check extract CAPTURE.y4m FOLDER\n"
                         "       letterbox-picture-check compare CAPTURE.y4m FOLDER "
                         "[--tolerance N] [--exact]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return usage();
    }
    const std::string command = argv[1];
    if (command == "extract" && argc == 4) {
        return extract(argv[2], argv[3]);
    }
    if (command != "compare") {
        return usage();
    }
    int tolerance = DEFAULT_TOLERANCE;
    bool exact = false;
    for (int i = 4; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--exact") {
            exact = true;
        } else if (arg == "--tolerance" && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 0 || value > 255) {
                return usage();
            }
            tolerance = static_cast<int>(value);
        } else {
            return usage();
        }
    }
    return compare(argv[2], argv[3], tolerance, exact);
}
