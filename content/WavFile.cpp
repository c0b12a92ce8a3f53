#include "content/WavFile.h"

#include "common/WavHeader.h"

#include <cstring>

namespace content {

std::vector<uint8_t> WavFile::encode(const std::vector<int16_t>& interleaved, uint32_t rate,
                                     uint16_t channels) {
    const uint32_t dataSize = static_cast<uint32_t>(interleaved.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataSize);
    putWavHeader(out, channels, rate, 16, dataSize);
    for (int16_t s : interleaved) {
        putLe16(out, static_cast<uint16_t>(s));
    }
    return out;
}

bool WavFile::decode(const std::vector<uint8_t>& bytes, Decoded& out) {
    if (bytes.size() < 12 || std::memcmp(&bytes[0], "RIFF", 4) != 0 ||
        std::memcmp(&bytes[8], "WAVE", 4) != 0) {
        return false;
    }
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        uint32_t size = getLe32(bytes, at + 4);
        size_t body = at + 8;
        if (body + size > bytes.size()) {
            return false;
        }
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && size >= 16) {
            out.format = static_cast<uint16_t>(getLe16(bytes, body));
            out.channels = static_cast<uint16_t>(getLe16(bytes, body + 2));
            out.rate = getLe32(bytes, body + 4);
            out.bitsPerSample = static_cast<uint16_t>(getLe16(bytes, body + 14));
            haveFormat = true;
        } else if (std::memcmp(&bytes[at], "data", 4) == 0) {
            if (!haveFormat || out.bitsPerSample != 16) {
                return false;
            }
            out.samples.resize(size / 2);
            for (size_t i = 0; i < out.samples.size(); ++i) {
                out.samples[i] = static_cast<int16_t>(getLe16(bytes, body + i * 2));
            }
            return true;
        }
        at = body + size + (size & 1);
    }
    return false;
}

} // namespace content
