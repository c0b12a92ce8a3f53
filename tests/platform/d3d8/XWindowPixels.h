// A window's pixels as the X server holds them, apart from the tests that use them: the
// X headers' macros (Always, None, ...) clash with names the device's code uses.
#pragma once

#include <cstdint>
#include <vector>

// width x height pixels of the X window from its top left, 0xRRGGBB, rows top first;
// empty when the display or the window cannot be read.
std::vector<uint32_t> xWindowPixels(unsigned long window, int width, int height);
