#include "WavWriter.h"

#include "common/WavHeader.h"

#include <cstdio>

bool WavWriter::write(const std::string& path, const PcmFormat& format,
                      const std::vector<uint8_t>& samples, std::string& error) {
    // RIFF sizes are 32-bit; keep the whole file under 4 GB.
    if (samples.size() > 0xffffffffull - 44) {
        error = path + ": too much sound for one WAV file";
        return false;
    }
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size());
    std::vector<uint8_t> header;
    putWavHeader(header, format.channels, format.sampleRate, format.bitsPerSample, dataBytes);
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
