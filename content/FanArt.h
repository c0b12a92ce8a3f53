#pragma once

#include "content/Image.h"

namespace content {

// The third scene's images: the spinning fan and the particle sprites.
class FanArt {
public:
    // Drawn rotated and added onto black: the corners must stay black.
    static Image fan();
    // A soft white dot; the particle colour tints it.
    static Image particle();
    // The burst sprites: channel 0 red, 1 green, 2 blue.
    static Image particleTinted(int channel);
};

} // namespace content
