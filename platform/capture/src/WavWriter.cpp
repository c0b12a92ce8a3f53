#include "WavWriter.h"

#include <cstdio>

namespace {
void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}
void tag(std::vector<uint8_t>& out, const char* four) {
    out.insert(out.end(), four, four + 4);
}
} // namespace

bool WavWriter::write(const std::string& path, const PcmFormat& format,
                      const std::vector<uint8_t>& samples, std::string& error) {
    // RIFF sizes are 32-bit; keep the whole file under 4 GB.
    if (samples.size() > 0xffffffffull - 44) {
        error = path + ": too much sound for one WAV file";
        return false;
    }
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size());
    std::vector<uint8_t> header;
    tag(header, "RIFF");
    put32(header, 36 + dataBytes + (dataBytes & 1));
    tag(header, "WAVE");
    tag(header, "fmt ");
    put32(header, 16);
    put16(header, 1); // PCM
    put16(header, format.channels);
    put32(header, format.sampleRate);
    put32(header, format.sampleRate * format.blockAlign());
    put16(header, format.blockAlign());
    put16(header, format.bitsPerSample);
    tag(header, "data");
    put32(header, dataBytes);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
              std::fwrite(samples.data(), 1, samples.size(), file) == samples.size();
    if (ok && (dataBytes & 1)) {
        ok = std::fputc(0, file) != EOF; // chunks are padded to even length
    }
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        error = "cannot write " + path;
    }
    return ok;
}
