// Little-endian integers in byte buffers, the order RIFF and bitmap files keep them in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline void putLe16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void putLe32(std::vector<uint8_t>& out, uint32_t value) {
    putLe16(out, value & 0xFFFF);
    putLe16(out, value >> 16);
}

// A four-character chunk tag such as "RIFF".
inline void putTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(tag[i]));
    }
}

inline uint32_t getLe16(const std::vector<uint8_t>& in, size_t at) {
    return in[at] | (in[at + 1] << 8);
}

inline uint32_t getLe32(const std::vector<uint8_t>& in, size_t at) {
    return getLe16(in, at) | (getLe16(in, at + 2) << 16);
}
