// What the parser's fuzz target does with one input; shared by the libFuzzer
// program and the short smoke run in the tests.
#pragma once

#include <cstddef>
#include <cstdint>

// The first byte chooses: odd registers the rest as a template block, even opens
// the rest as a file against a fixed set of templates. Every object reached is
// then taken apart through the published calls.
int fuzzXFile(const uint8_t* data, size_t size);
