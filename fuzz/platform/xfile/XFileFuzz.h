// What the parser's fuzz target does with one input; shared by the libFuzzer
// program and the short smoke run in the tests.
#pragma once

#include <cstddef>
#include <cstdint>

// The first byte chooses: odd registers the rest as a template block, even opens
// the rest as a file against a fixed set of templates. Every object reached is
// then taken apart through the published calls.
int fuzzXFile(const uint8_t* data, size_t size);

// The input is the body of a text file (after its "xof 0302txt 0032" header).
int fuzzXFileText(const uint8_t* data, size_t size);

// The input is the body of a binary file (after its "xof 0302bin 0032" header).
int fuzzXFileBinary(const uint8_t* data, size_t size);
