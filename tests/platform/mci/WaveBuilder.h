// Wave files made in memory for the tests, with every field open to tampering.
#pragma once

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

    static void put16(std::vector<uint8_t>& out, uint16_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
    static void put32(std::vector<uint8_t>& out, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    }
    static void putId(std::vector<uint8_t>& out, const char* id) {
        out.insert(out.end(), id, id + 4);
    }

    uint16_t blockAlign() const {
        return blockAlignOverride >= 0 ? static_cast<uint16_t>(blockAlignOverride)
                                       : static_cast<uint16_t>(channels * bits / 8);
    }

    std::vector<uint8_t> formatChunk() const {
        std::vector<uint8_t> c;
        putId(c, "fmt ");
        put32(c, 16);
        put16(c, formatTag);
        put16(c, channels);
        put32(c, sampleRate);
        put32(c, sampleRate * blockAlign());
        put16(c, blockAlign());
        put16(c, bits);
        return c;
    }

    std::vector<uint8_t> dataChunk() const {
        const uint32_t bytes = frames * static_cast<uint32_t>(channels * bits / 8);
        std::vector<uint8_t> c;
        putId(c, "data");
        put32(c, dataSizeOverride >= 0 ? static_cast<uint32_t>(dataSizeOverride) : bytes);
        for (uint32_t i = 0; i < bytes; ++i) {
            c.push_back(static_cast<uint8_t>(i * 7));
        }
        return c;
    }

    std::vector<uint8_t> build() const {
        std::vector<uint8_t> body;
        putId(body, "WAVE");
        if (!extraChunkBefore.empty()) {
            putId(body, extraChunkBefore.c_str());
            put32(body, 3);
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
        putId(file, "RIFF");
        put32(file, riffSizeOverride >= 0 ? static_cast<uint32_t>(riffSizeOverride)
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
