// Any bytes at all: the reader answers an error or a file whose samples are
// whole frames (at most 4/3 of the input, for widened 24-bit samples), and
// never reads outside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WaveFile wave;
    if (wave.parse(data, size) == WaveFile::Error::None) {
        if (wave.blockAlign == 0 || wave.samples.size() % wave.blockAlign != 0 ||
            wave.samples.size() > size / 3 * 4 + 4) {
            std::abort();
        }
    }
    return 0;
}
