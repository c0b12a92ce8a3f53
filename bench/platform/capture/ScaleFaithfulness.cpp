// How faithful a capture drawn at a larger render scale is to the program's own size:
// reads two YUV4MPEG2 streams of the same run (files or pipes), the first at 800 x 600
// and the second at N times that, and for the first frame of every second averages the
// second's luma over N x N blocks and prints its PSNR against the first's, then the worst.
// Usage: letterbox_scale_faithfulness SMALL.y4m LARGE.y4m
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr uint32_t TICK_MS = 17;

struct Stream {
    FILE* file = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;

    bool open(const char* path) {
        file = std::fopen(path, "rb");
        if (!file) {
            return false;
        }
        char header[256];
        if (!std::fgets(header, sizeof header, file)) {
            return false;
        }
        const std::string text = header;
        const size_t w = text.find(" W"), h = text.find(" H");
        if (text.rfind("YUV4MPEG2", 0) != 0 || w == std::string::npos || h == std::string::npos) {
            return false;
        }
        width = static_cast<uint32_t>(std::stoul(text.substr(w + 2)));
        height = static_cast<uint32_t>(std::stoul(text.substr(h + 2)));
        return width > 0 && height > 0;
    }
    // The next frame's luma; false at the end.
    bool next(std::vector<uint8_t>& luma) {
        char tag[6];
        if (std::fread(tag, 1, 6, file) != 6) {
            return false;
        }
        const size_t lumaBytes = size_t{width} * height;
        luma.resize(lumaBytes);
        std::vector<uint8_t> chroma(lumaBytes / 2);
        return std::fread(luma.data(), 1, lumaBytes, file) == lumaBytes &&
               std::fread(chroma.data(), 1, chroma.size(), file) == chroma.size();
    }
};

bool firstOfSecond(uint32_t frame) {
    const uint64_t ms = uint64_t{frame} * TICK_MS;
    return frame == 0 || ms / 1000 != (ms - TICK_MS) / 1000;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SMALL.y4m LARGE.y4m\n", argv[0]);
        return 2;
    }
    Stream small, large;
    if (!small.open(argv[1]) || !large.open(argv[2])) {
        std::fprintf(stderr, "cannot read the two YUV4MPEG2 streams\n");
        return 1;
    }
    const uint32_t n = large.width / small.width;
    if (n == 0 || large.width != n * small.width || large.height != n * small.height) {
        std::fprintf(stderr, "%ux%u is not a whole multiple of %ux%u\n", large.width, large.height,
                     small.width, small.height);
        return 1;
    }
    std::printf("luma PSNR of the %ux%u frames averaged over %ux%u blocks against %ux%u\n",
                large.width, large.height, n, n, small.width, small.height);
    std::printf("second  frame   PSNR dB\n");
    std::vector<uint8_t> a, b;
    double worst = INFINITY, sum = 0.0;
    uint32_t worstSecond = 0, counted = 0;
    for (uint32_t frame = 0; small.next(a) && large.next(b); ++frame) {
        if (!firstOfSecond(frame)) {
            continue;
        }
        double squared = 0.0;
        const double area = double(n) * n;
        for (uint32_t y = 0; y < small.height; ++y) {
            for (uint32_t x = 0; x < small.width; ++x) {
                uint32_t total = 0;
                for (uint32_t dy = 0; dy < n; ++dy) {
                    const uint8_t* row = &b[size_t{y * n + dy} * large.width + size_t{x} * n];
                    for (uint32_t dx = 0; dx < n; ++dx) {
                        total += row[dx];
                    }
                }
                const double d = total / area - a[size_t{y} * small.width + x];
                squared += d * d;
            }
        }
        const double mse = squared / (double(small.width) * small.height);
        const double psnr = mse > 0.0 ? 10.0 * std::log10(255.0 * 255.0 / mse) : 99.0;
        const uint32_t second = static_cast<uint32_t>(uint64_t{frame} * TICK_MS / 1000);
        std::printf("%6u  %5u  %8.2f\n", second, frame, psnr);
        sum += psnr;
        ++counted;
        if (psnr < worst) {
            worst = psnr;
            worstSecond = second;
        }
    }
    if (counted == 0) {
        std::fprintf(stderr, "no frames\n");
        return 1;
    }
    std::printf("mean %.2f dB over %u seconds; worst %.2f dB at second %u\n", sum / counted,
                counted, worst, worstSecond);
    return 0;
}
