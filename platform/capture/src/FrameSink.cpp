#include "FrameSink.h"
#include "DirectFileWriter.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

bool endsWith(const std::string& text, const char* suffix) {
    const size_t n = std::strlen(suffix);
    if (text.size() < n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[text.size() - n + i])) != suffix[i]) {
            return false;
        }
    }
    return true;
}

// A single-quoted word for /bin/sh.
std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Frames as YUV4MPEG2 into a file or a pipe.
class Y4mStream : public FrameSink {
public:
    // A .y4m file with its sound beside it as PATH-without-.y4m.wav.
    static std::unique_ptr<FrameSink> file(const std::string& path, std::string& error) {
        std::unique_ptr<Y4mStream> sink(new Y4mStream);
        sink->fileWriter = DirectFileWriter::open(path, error);
        if (!sink->fileWriter) {
            return nullptr;
        }
        sink->videoPath = path;
        sink->wavPath = path.substr(0, path.size() - 4) + ".wav";
        return sink;
    }

    // Video through ffmpeg into a temporary file, muxed with the sound at the end.
    static std::unique_ptr<FrameSink> ffmpeg(const std::string& path, std::string& error) {
        const std::string program = findProgram("ffmpeg");
        if (program.empty()) {
            error = "writing " + path +
                    " needs the ffmpeg program, which is not installed (or not on PATH); "
                    "capture to a .y4m file or a folder of PNG files instead";
            return nullptr;
        }
        std::unique_ptr<Y4mStream> sink(new Y4mStream);
        sink->program = program;
        sink->finalPath = path;
        sink->videoPath = path + ".video.mkv";
        sink->wavPath = path + ".sound.wav";
        const std::string command = shellQuote(program) +
                                    " -hide_banner -loglevel error -y -f yuv4mpegpipe -i - "
                                    "-c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p " +
                                    shellQuote(sink->videoPath);
        // A dead ffmpeg must show up as a failed write, not end the process.
        std::signal(SIGPIPE, SIG_IGN);
        sink->out = popen(command.c_str(), "w");
        sink->piped = true;
        if (!sink->out) {
            error = "cannot start ffmpeg";
            return nullptr;
        }
        return sink;
    }

    ~Y4mStream() override { close(); }

    bool write(const PngImage& frame, uint32_t, std::string& error) override {
        return writePlanes(
            frame.width, frame.height, [&](std::vector<uint8_t>& yuv) { yuv = toYuv420(frame); },
            error);
    }

    bool writeBgra(const BgraPicture& frame, uint32_t, std::string& error) override {
        return writePlanes(
            frame.width, frame.height, [&](std::vector<uint8_t>& yuv) { toYuv420(frame, yuv); },
            error);
    }

    bool finish(const PcmFormat& format, const std::vector<uint8_t>& sound,
                std::string& error) override {
        if (!close()) {
            error =
                piped ? "ffmpeg failed while encoding " + finalPath : "cannot write " + videoPath;
            return false;
        }
        if (!WavWriter::write(wavPath, format, sound, error)) {
            return false;
        }
        if (!piped) {
            return true;
        }
        const std::string command = shellQuote(program) + " -hide_banner -loglevel error -y -i " +
                                    shellQuote(videoPath) + " -i " + shellQuote(wavPath) +
                                    " -map 0:v -map 1:a -c:v copy -c:a aac -b:a 192k -shortest " +
                                    shellQuote(finalPath);
        const int status = std::system(command.c_str());
        std::error_code ignored;
        std::filesystem::remove(videoPath, ignored);
        std::filesystem::remove(wavPath, ignored);
        if (status != 0) {
            error = "ffmpeg could not mux the sound into " + finalPath;
            return false;
        }
        return true;
    }

    std::string soundPath() const override { return piped ? finalPath : wavPath; }

private:
    // One frame of the stream, the header first; planes(yuv) puts its YUV planes in yuv.
    template <typename Planes>
    bool writePlanes(uint32_t frameWidth, uint32_t frameHeight, const Planes& planes,
                     std::string& error) {
        if (!headerWritten) {
            width = frameWidth;
            height = frameHeight;
            const std::string header = y4mHeader(width, height);
            if (!put(header.data(), header.size())) {
                return failed(error);
            }
            headerWritten = true;
        }
        if (frameWidth != width || frameHeight != height) {
            error = "the picture size changed during the capture";
            return false;
        }
        static const char FRAME[] = "FRAME\n";
        planes(yuv);
        if (!put(FRAME, 6) || !put(yuv.data(), yuv.size())) {
            return failed(error);
        }
        return true;
    }

    bool put(const void* data, size_t size) {
        if (fileWriter) {
            return fileWriter->write(data, size);
        }
        return std::fwrite(data, 1, size, out) == size;
    }

    bool failed(std::string& error) {
        error = piped ? "ffmpeg stopped taking frames" : "cannot write " + videoPath;
        return false;
    }

    bool close() {
        if (fileWriter) {
            const bool ok = fileWriter->close();
            fileWriter.reset();
            return ok;
        }
        if (!out) {
            return true;
        }
        const bool ok = pclose(out) == 0;
        out = nullptr;
        return ok;
    }

    FILE* out = nullptr; // the pipe to ffmpeg
    std::unique_ptr<DirectFileWriter> fileWriter;
    bool piped = false;
    bool headerWritten = false;
    // The planes of the frame being written, kept from frame to frame.
    std::vector<uint8_t> yuv;
    uint32_t width = 0, height = 0;
    std::string program, finalPath, videoPath, wavPath;
};

// Numbered PNG files in a folder, soundtrack.wav beside them.
class PngFolder : public FrameSink {
public:
    static std::unique_ptr<FrameSink> open(const std::string& path, std::string& error) {
        std::error_code code;
        std::filesystem::create_directories(path, code);
        if (code || !std::filesystem::is_directory(path)) {
            error = "cannot make the folder " + path;
            return nullptr;
        }
        std::unique_ptr<PngFolder> sink(new PngFolder);
        sink->folder = path;
        return sink;
    }

    bool write(const PngImage& frame, uint32_t index, std::string& error) override {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%05u.png", index);
        return frame.write((std::filesystem::path(folder) / name).string(), error);
    }

    bool finish(const PcmFormat& format, const std::vector<uint8_t>& sound,
                std::string& error) override {
        return WavWriter::write(soundPath(), format, sound, error);
    }

    std::string soundPath() const override {
        return (std::filesystem::path(folder) / "soundtrack.wav").string();
    }

private:
    std::string folder;
};

uint8_t clampByte(int v) {
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

} // namespace

std::unique_ptr<FrameSink> FrameSink::open(const std::string& path, std::string& error) {
    if (endsWith(path, ".y4m")) {
        return Y4mStream::file(path, error);
    }
    if (endsWith(path, ".mp4") || endsWith(path, ".mkv")) {
        return Y4mStream::ffmpeg(path, error);
    }
    return PngFolder::open(path, error);
}

std::string FrameSink::y4mHeader(uint32_t width, uint32_t height) {
    return "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) + " F" +
           std::to_string(RATE_NUMERATOR) + ":" + std::to_string(RATE_DENOMINATOR) +
           " Ip A1:1 C420jpeg XCOLORRANGE=LIMITED\n";
}

namespace {

uint8_t lumaOf(int r, int g, int b) {
    return static_cast<uint8_t>(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
}
uint8_t blueDifferenceOf(int r, int g, int b) {
    return clampByte(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
}
uint8_t redDifferenceOf(int r, int g, int b) {
    return clampByte(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
}

// Where the Y, Cb and Cr planes of a w x h picture lie in `planes`, sized to hold them.
struct Planes420 {
    uint32_t cw, ch;
    uint8_t *luma, *cb, *cr;

    static Planes420 of(std::vector<uint8_t>& planes, uint32_t w, uint32_t h) {
        const uint32_t cw = (w + 1) / 2, ch = (h + 1) / 2;
        planes.resize(size_t{w} * h + 2 * size_t{cw} * ch);
        uint8_t* luma = planes.data();
        uint8_t* cb = luma + size_t{w} * h;
        return {cw, ch, luma, cb, cb + size_t{cw} * ch};
    }
    bool empty() const { return cw == 0 || ch == 0; }
};

// BT.601 studio-range 4:2:0 planes of a picture of STEP bytes a pixel whose red, green and
// blue sit at bytes R, G and B of each pixel, rows `stride` bytes apart, into `planes`.
template <size_t STEP, size_t R, size_t G, size_t B>
void yuv420Planes(const uint8_t* pixels, uint32_t w, uint32_t h, size_t stride,
                  std::vector<uint8_t>& planes) {
    const Planes420 to = Planes420::of(planes, w, h);
    if (to.empty()) {
        return;
    }
    const uint32_t cw = to.cw, ch = to.ch;
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* p = pixels + size_t{y} * stride;
        uint8_t* out = to.luma + size_t{y} * w;
        for (uint32_t x = 0; x < w; ++x, p += STEP) {
            out[x] = lumaOf(p[R], p[G], p[B]);
        }
    }
    // Chroma of each 2 x 2 block's mean colour (the last row and column repeat on odd sizes).
    for (uint32_t y = 0; y < ch; ++y) {
        const uint8_t* top = pixels + size_t{2 * y} * stride;
        const uint8_t* bottom = 2 * y + 1 < h ? top + stride : top;
        uint8_t* cbRow = to.cb + size_t{y} * cw;
        uint8_t* crRow = to.cr + size_t{y} * cw;
        for (uint32_t x = 0; x < cw; ++x) {
            const size_t left = size_t{2 * x} * STEP;
            const size_t right = 2 * x + 1 < w ? left + STEP : left;
            const int r =
                (top[left + R] + top[right + R] + bottom[left + R] + bottom[right + R] + 2) >> 2;
            const int g =
                (top[left + G] + top[right + G] + bottom[left + G] + bottom[right + G] + 2) >> 2;
            const int b =
                (top[left + B] + top[right + B] + bottom[left + B] + bottom[right + B] + 2) >> 2;
            cbRow[x] = blueDifferenceOf(r, g, b);
            crRow[x] = redDifferenceOf(r, g, b);
        }
    }
}

// The same for the device's read-back pictures (B, G, R, A), every frame of a capture:
// each pixel is read as one 32-bit word and each block's columns are whole pairs, so the
// compiler vectorises both loops. The last odd row or column goes the general way.
__attribute__((always_inline)) inline void bgraPlanesBody(const uint8_t* pixels, uint32_t w,
                                                          uint32_t h, size_t stride, uint8_t* luma,
                                                          uint8_t* cb, uint8_t* cr) {
    const uint32_t cw = (w + 1) / 2;
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* row = pixels + size_t{y} * stride;
        uint8_t* out = luma + size_t{y} * w;
        for (uint32_t x = 0; x < w; ++x) {
            uint32_t p;
            std::memcpy(&p, row + size_t{x} * 4, 4);
            out[x] = lumaOf(static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
                            static_cast<int>(p & 0xff));
        }
    }
    const uint32_t pairs = w / 2;
    for (uint32_t y = 0; y < h / 2; ++y) {
        const uint8_t* top = pixels + size_t{2 * y} * stride;
        const uint8_t* bottom = top + stride;
        uint8_t* cbRow = cb + size_t{y} * cw;
        uint8_t* crRow = cr + size_t{y} * cw;
        for (uint32_t x = 0; x < pairs; ++x) {
            uint32_t a, b, c, d;
            std::memcpy(&a, top + size_t{x} * 8, 4);
            std::memcpy(&b, top + size_t{x} * 8 + 4, 4);
            std::memcpy(&c, bottom + size_t{x} * 8, 4);
            std::memcpy(&d, bottom + size_t{x} * 8 + 4, 4);
            auto mean = [&](int shift) {
                return static_cast<int>((((a >> shift) & 0xff) + ((b >> shift) & 0xff) +
                                         ((c >> shift) & 0xff) + ((d >> shift) & 0xff) + 2) >>
                                        2);
            };
            const int r = mean(16), g = mean(8), bl = mean(0);
            cbRow[x] = blueDifferenceOf(r, g, bl);
            crRow[x] = redDifferenceOf(r, g, bl);
        }
    }
}

__attribute__((target("avx2"))) void bgraPlanesAvx2(const uint8_t* pixels, uint32_t w, uint32_t h,
                                                    size_t stride, uint8_t* luma, uint8_t* cb,
                                                    uint8_t* cr) {
    bgraPlanesBody(pixels, w, h, stride, luma, cb, cr);
}
void bgraPlanesPlain(const uint8_t* pixels, uint32_t w, uint32_t h, size_t stride, uint8_t* luma,
                     uint8_t* cb, uint8_t* cr) {
    bgraPlanesBody(pixels, w, h, stride, luma, cb, cr);
}

// The chroma of a block of only two B, G, R, A pixels (each counted twice in the mean).
void pairChroma(const uint8_t* p, const uint8_t* q, uint8_t* cb, uint8_t* cr) {
    const int r = (2 * p[2] + 2 * q[2] + 2) >> 2;
    const int g = (2 * p[1] + 2 * q[1] + 2) >> 2;
    const int b = (2 * p[0] + 2 * q[0] + 2) >> 2;
    *cb = blueDifferenceOf(r, g, b);
    *cr = redDifferenceOf(r, g, b);
}

const bool AVX2 = __builtin_cpu_supports("avx2");

void bgraPlanes(const uint8_t* pixels, uint32_t w, uint32_t h, size_t stride,
                std::vector<uint8_t>& planes) {
    const Planes420 to = Planes420::of(planes, w, h);
    if (to.empty()) {
        return;
    }
    const uint32_t cw = to.cw, ch = to.ch;
    (AVX2 ? bgraPlanesAvx2 : bgraPlanesPlain)(pixels, w, h, stride, to.luma, to.cb, to.cr);
    // An odd last column: each of its blocks is one pixel wide.
    if (w % 2 != 0) {
        for (uint32_t y = 0; y < ch; ++y) {
            const uint8_t* top = pixels + size_t{2 * y} * stride + size_t{w - 1} * 4;
            const uint8_t* bottom = 2 * y + 1 < h ? top + stride : top;
            pairChroma(top, bottom, to.cb + size_t{y} * cw + cw - 1,
                       to.cr + size_t{y} * cw + cw - 1);
        }
    }
    // An odd last row: each of its blocks is one pixel high.
    if (h % 2 != 0) {
        const uint8_t* row = pixels + size_t{h - 1} * stride;
        for (uint32_t x = 0; x < w / 2; ++x) {
            const uint8_t* left = row + size_t{x} * 8;
            pairChroma(left, left + 4, to.cb + size_t{ch - 1} * cw + x,
                       to.cr + size_t{ch - 1} * cw + x);
        }
    }
}

} // namespace

std::vector<uint8_t> FrameSink::toYuv420(const PngImage& frame) {
    std::vector<uint8_t> planes;
    yuv420Planes<3, 0, 1, 2>(frame.rgb.data(), frame.width, frame.height, size_t{frame.width} * 3,
                             planes);
    return planes;
}

std::vector<uint8_t> FrameSink::toYuv420(const BgraPicture& frame) {
    std::vector<uint8_t> planes;
    toYuv420(frame, planes);
    return planes;
}

void FrameSink::toYuv420(const BgraPicture& frame, std::vector<uint8_t>& planes) {
    bgraPlanes(frame.bytes.data(), frame.width, frame.height, size_t{frame.width} * 4, planes);
}

bool FrameSink::writeBgra(const BgraPicture& frame, uint32_t index, std::string& error) {
    return write(frame.toRgb(), index, error);
}

std::string FrameSink::findProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0 && !std::filesystem::is_directory(candidate)) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}
