// Reads the presented picture back through the device's published calls and
// writes it as a PNG file to look at.
#pragma once

#include <d3d8.h>

#include <cstdint>
#include <string>
#include <vector>

struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, row 0 at the top

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // The colour without its alpha byte: targets without alpha read any value there.
    uint32_t rgb(int x, int y) const { return at(x, y) & 0x00FFFFFFu; }
};

// The front buffer (the last presented frame) of a width x height device.
bool readFrontBuffer(IDirect3DDevice8* device, int width, int height, Frame* frame);

// Ends the scene, presents it and reads back the 800 x 600 picture shown; false when the
// present or the read-back fails.
bool presentAndRead(IDirect3DDevice8* device, Frame* frame);

bool writePng(const Frame& frame, const std::string& path);
