#include "WaveFile.h"

#include <cstring>
#include <fstream>
#include <sys/stat.h>

#include "HostPath.h"

namespace {
constexpr uint16_t FORMAT_PCM = 1;
constexpr uint16_t FORMAT_EXTENSIBLE = 0xFFFE;
constexpr uint32_t MAX_SAMPLE_RATE = 768000;
constexpr uint16_t MAX_CHANNELS = 8;
// The tail of KSDATAFORMAT_SUBTYPE_PCM after its first two bytes.
constexpr uint8_t PCM_SUBTYPE_TAIL[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                          0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
} // namespace

uint32_t WaveFile::lengthMs() const {
    return sampleRate ? static_cast<uint32_t>(uint64_t{frameCount()} * 1000 / sampleRate) : 0;
}

WaveFile::Error WaveFile::load(const char* windowsName) {
    const std::string path = hostPathForReading(windowsName);
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        return Error::NotFound;
    }
    if (!S_ISREG(st.st_mode)) {
        return Error::NotAFile;
    }
    if (static_cast<uint64_t>(st.st_size) > MAX_FILE_BYTES) {
        return Error::TooLarge;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Error::Unreadable;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
    if (!bytes.empty() && !in.read(reinterpret_cast<char*>(bytes.data()),
                                   static_cast<std::streamsize>(bytes.size()))) {
        return Error::Unreadable;
    }
    return parse(bytes.data(), bytes.size());
}

WaveFile::Error WaveFile::parse(const uint8_t* bytes, size_t size) {
    *this = WaveFile{};
    if (!bytes || size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 ||
        std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        return Error::NotRiffWave;
    }
    const uint64_t riffEnd = uint64_t{read32(bytes + 4)} + 8;
    if (riffEnd > size) {
        return Error::Truncated;
    }
    bool haveFormat = false;
    uint16_t fileBits = 0;
    const uint8_t* data = nullptr;
    uint32_t dataSize = 0;
    uint64_t pos = 12;
    while (pos + 8 <= riffEnd && !data) {
        const uint8_t* chunk = bytes + pos;
        const uint32_t chunkSize = read32(chunk + 4);
        if (chunkSize > riffEnd - pos - 8) {
            return Error::Truncated;
        }
        const uint8_t* body = chunk + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
            if (chunkSize < 16) {
                return Error::BadFormat;
            }
            const uint16_t tag = read16(body);
            bool pcm = tag == FORMAT_PCM;
            if (tag == FORMAT_EXTENSIBLE) {
                if (chunkSize < 40) {
                    return Error::BadFormat;
                }
                pcm = read16(body + 24) == FORMAT_PCM &&
                      std::memcmp(body + 26, PCM_SUBTYPE_TAIL, sizeof PCM_SUBTYPE_TAIL) == 0;
            }
            if (!pcm) {
                return Error::NotPcm;
            }
            channels = read16(body + 2);
            sampleRate = read32(body + 4);
            blockAlign = read16(body + 12);
            fileBits = read16(body + 14);
            const bool bitsOk = fileBits == 8 || fileBits == 16 || fileBits == 24 || fileBits == 32;
            if (channels == 0 || channels > MAX_CHANNELS || sampleRate == 0 ||
                sampleRate > MAX_SAMPLE_RATE || !bitsOk || blockAlign != channels * fileBits / 8) {
                return Error::BadFormat;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                return Error::MissingFormat;
            }
            data = body;
            dataSize = chunkSize;
        }
        // Chunks are padded to an even size.
        pos += 8 + uint64_t{chunkSize} + (chunkSize & 1);
    }
    if (!haveFormat) {
        return Error::MissingFormat;
    }
    if (!data) {
        return Error::MissingData;
    }
    // A ragged last frame is dropped.
    const uint32_t frames = dataSize / blockAlign;
    if (fileBits == 24) {
        // SDL has no 24-bit samples: widen each to 32 bits, low byte zero.
        const uint32_t count = frames * channels;
        samples.resize(size_t{count} * 4);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* s = data + size_t{i} * 3;
            uint8_t* d = samples.data() + size_t{i} * 4;
            d[0] = 0;
            d[1] = s[0];
            d[2] = s[1];
            d[3] = s[2];
        }
        bitsPerSample = 32;
        blockAlign = static_cast<uint16_t>(channels * 4);
    } else {
        samples.assign(data, data + size_t{frames} * blockAlign);
        bitsPerSample = fileBits;
    }
    return Error::None;
}

const char* WaveFile::describe(Error error) {
    switch (error) {
    case Error::None:
        return "no error";
    case Error::NotFound:
        return "file not found";
    case Error::NotAFile:
        return "not a regular file";
    case Error::Unreadable:
        return "file could not be read";
    case Error::TooLarge:
        return "file too large";
    case Error::NotRiffWave:
        return "not a RIFF WAVE file";
    case Error::MissingFormat:
        return "no format chunk before the data";
    case Error::NotPcm:
        return "samples are not PCM";
    case Error::BadFormat:
        return "format out of range";
    case Error::MissingData:
        return "no data chunk";
    case Error::Truncated:
        return "file is truncated or its sizes are wrong";
    }
    return "unknown error";
}
