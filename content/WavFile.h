#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace content {

// 16-bit PCM RIFF/WAVE files.
class WavFile {
public:
    // Interleaved samples (left, right, ...) at the given rate and channel count.
    static std::vector<uint8_t> encode(const std::vector<int16_t>& interleaved, uint32_t rate,
                                       uint16_t channels);

    struct Decoded {
        uint16_t format = 0;
        uint16_t channels = 0;
        uint32_t rate = 0;
        uint16_t bitsPerSample = 0;
        std::vector<int16_t> samples; // interleaved
    };
    // Reads the fmt and data chunks of a 16-bit PCM file; false when anything is missing.
    static bool decode(const std::vector<uint8_t>& bytes, Decoded& out);
};

} // namespace content
