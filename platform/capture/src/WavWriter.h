// Writes interleaved PCM samples as a RIFF WAVE file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PcmFormat {
    uint16_t channels = 2;
    uint32_t sampleRate = 44100;
    uint16_t bitsPerSample = 16;
    uint16_t blockAlign() const { return static_cast<uint16_t>(channels * bitsPerSample / 8); }
    // The byte that is silence: 8-bit samples are unsigned.
    uint8_t silence() const { return bitsPerSample == 8 ? 0x80 : 0x00; }
};

class WavWriter {
public:
    // `samples` holds whole frames of `format`; false (with `error`) on failure.
    static bool write(const std::string& path, const PcmFormat& format,
                      const std::vector<uint8_t>& samples, std::string& error);
};
