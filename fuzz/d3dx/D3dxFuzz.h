// What the fuzz targets of the utility library do with one input; shared by the
// libFuzzer programs and the short smoke runs in the tests.
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes the input as a bitmap and, when it is one, resamples, halves and writes
// it out in several texture formats.
int fuzzBitmap(const uint8_t* data, size_t size);

// Reads the input as a .x file through the parser into one mesh.
int fuzzXMesh(const uint8_t* data, size_t size);
