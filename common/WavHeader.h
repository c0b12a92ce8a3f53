// The 44-byte header of a PCM RIFF WAVE file whose sample data follows it.
#pragma once

#include "common/LittleEndian.h"

// dataBytes of samples in frames of channels x bitsPerSample; an odd amount of data is
// padded to even length after it, which the RIFF size counts.
inline void putWavHeader(std::vector<uint8_t>& out, uint16_t channels, uint32_t sampleRate,
                         uint16_t bitsPerSample, uint32_t dataBytes) {
    const uint32_t blockAlign = channels * bitsPerSample / 8u;
    putTag(out, "RIFF");
    putLe32(out, 36 + dataBytes + (dataBytes & 1));
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putLe32(out, 16);
    putLe16(out, 1); // PCM
    putLe16(out, channels);
    putLe32(out, sampleRate);
    putLe32(out, sampleRate * blockAlign);
    putLe16(out, blockAlign);
    putLe16(out, bitsPerSample);
    putTag(out, "data");
    putLe32(out, dataBytes);
}
