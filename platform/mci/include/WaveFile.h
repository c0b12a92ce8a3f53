// A PCM wave file read whole into memory. Every size in the file is checked
// against the bytes that are really there before anything is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class WaveFile {
public:
    enum class Error {
        None,
        NotFound,      // no such file
        NotAFile,      // a folder or something else that is not a regular file
        Unreadable,    // the file could not be read
        TooLarge,      // over MAX_FILE_BYTES
        NotRiffWave,   // no "RIFF" ... "WAVE" header
        MissingFormat, // no "fmt " chunk before the data
        NotPcm,        // compressed or floating-point samples
        BadFormat,     // channels, rate, sample size or block alignment out of range
        MissingData,   // no "data" chunk
        Truncated      // a size in the file runs past its end
    };

    static constexpr uint64_t MAX_FILE_BYTES = 1ull << 30;

    // Reads a file by its Windows name ("data\dmb.wav").
    Error load(const char* windowsName);
    // Parses a whole file already in memory.
    Error parse(const uint8_t* bytes, size_t size);

    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    // Bits per sample as played: 24-bit files are widened to 32 on reading.
    uint16_t bitsPerSample = 0;
    uint16_t blockAlign = 0;
    // Interleaved little-endian samples, whole frames only.
    std::vector<uint8_t> samples;

    uint32_t frameCount() const { return blockAlign ? samples.size() / blockAlign : 0; }
    // Length in milliseconds, rounded down.
    uint32_t lengthMs() const;

    static const char* describe(Error error);
};
