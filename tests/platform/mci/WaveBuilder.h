// Wave files made in memory for the tests, with every field open to tampering.
#pragma once

#include "common/LittleEndian.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

struct WaveBuilder {
    uint16_t formatTag = 1;
    uint16_t channels = 2;
    uint32_t sampleRate = 22050;
    uint16_t bits = 16;
    uint32_t frames = 2205; // 100 ms
    // When set, these replace the true values in the file.
    int64_t riffSizeOverride = -1;
    int64_t dataSizeOverride = -1;
    int64_t blockAlignOverride = -1;
    bool withFormat = true;
    bool withData = true;
    bool dataBeforeFormat = false;
    std::string extraChunkBefore; // a chunk id placed before "fmt ", with 3 bytes (odd size)

    uint16_t blockAlign() const {
        return blockAlignOverride >= 0 ? static_cast<uint16_t>(blockAlignOverride)
                                       : static_cast<uint16_t>(channels * bits / 8);
    }

    std::vector<uint8_t> formatChunk() const {
        std::vector<uint8_t> c;
        putTag(c, "fmt ");
        putLe32(c, 16);
        putLe16(c, formatTag);
        putLe16(c, channels);
        putLe32(c, sampleRate);
        putLe32(c, sampleRate * blockAlign());
        putLe16(c, blockAlign());
        putLe16(c, bits);
        return c;
    }

    std::vector<uint8_t> dataChunk() const {
        const uint32_t bytes = frames * static_cast<uint32_t>(channels * bits / 8);
        std::vector<uint8_t> c;
        putTag(c, "data");
        putLe32(c, dataSizeOverride >= 0 ? static_cast<uint32_t>(dataSizeOverride) : bytes);
        for (uint32_t i = 0; i < bytes; ++i) {
            c.push_back(static_cast<uint8_t>(i * 7));
        }
        return c;
    }

    std::vector<uint8_t> build() const {
        std::vector<uint8_t> body;
        putTag(body, "WAVE");
        if (!extraChunkBefore.empty()) {
            putTag(body, extraChunkBefore.c_str());
            putLe32(body, 3);
            body.insert(body.end(), {1, 2, 3, 0}); // padded to even
        }
        const auto fmt = formatChunk();
        const auto data = dataChunk();
        if (dataBeforeFormat && withData) {
            body.insert(body.end(), data.begin(), data.end());
        }
        if (withFormat) {
            body.insert(body.end(), fmt.begin(), fmt.end());
        }
        if (!dataBeforeFormat && withData) {
            body.insert(body.end(), data.begin(), data.end());
        }
        std::vector<uint8_t> file;
        putTag(file, "RIFF");
        putLe32(file, riffSizeOverride >= 0 ? static_cast<uint32_t>(riffSizeOverride)
                                            : static_cast<uint32_t>(body.size()));
        file.insert(file.end(), body.begin(), body.end());
        return file;
    }

    void write(const std::string& path) const {
        const auto bytes = build();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
};
