#include "WavFile.h"

#include <cstring>

namespace content {

namespace {

void put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}

void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

void tag(std::vector<uint8_t>& v, const char* t) {
    for (int i = 0; i < 4; ++i) {
        v.push_back(static_cast<uint8_t>(t[i]));
    }
}

uint32_t get16(const std::vector<uint8_t>& v, size_t at) {
    return v[at] | (v[at + 1] << 8);
}

uint32_t get32(const std::vector<uint8_t>& v, size_t at) {
    return get16(v, at) | (get16(v, at + 2) << 16);
}

} // namespace

std::vector<uint8_t> WavFile::encode(const std::vector<int16_t>& interleaved, uint32_t rate,
                                     uint16_t channels) {
    const uint32_t dataSize = static_cast<uint32_t>(interleaved.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataSize);
    tag(out, "RIFF");
    put32(out, 36 + dataSize);
    tag(out, "WAVE");
    tag(out, "fmt ");
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, channels);
    put32(out, rate);
    put32(out, rate * channels * 2);
    put16(out, channels * 2);
    put16(out, 16);
    tag(out, "data");
    put32(out, dataSize);
    for (int16_t s : interleaved) {
        put16(out, static_cast<uint16_t>(s));
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
        uint32_t size = get32(bytes, at + 4);
        size_t body = at + 8;
        if (body + size > bytes.size()) {
            return false;
        }
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && size >= 16) {
            out.format = static_cast<uint16_t>(get16(bytes, body));
            out.channels = static_cast<uint16_t>(get16(bytes, body + 2));
            out.rate = get32(bytes, body + 4);
            out.bitsPerSample = static_cast<uint16_t>(get16(bytes, body + 14));
            haveFormat = true;
        } else if (std::memcmp(&bytes[at], "data", 4) == 0) {
            if (!haveFormat || out.bitsPerSample != 16) {
                return false;
            }
            out.samples.resize(size / 2);
            for (size_t i = 0; i < out.samples.size(); ++i) {
                out.samples[i] = static_cast<int16_t>(get16(bytes, body + i * 2));
            }
            return true;
        }
        at = body + size + (size & 1);
    }
    return false;
}

} // namespace content
