#pragma once

#include "content/Image.h"

namespace content {

// The sequencer's images: the loading picture and the letterbox band.
class FrameArt {
public:
    static Image loading();
    // Stretched over 800 x 40 at the top and the bottom; drawn opaque, added, multiplied or
    // inverted depending on the scene, so it is black with dim film perforations.
    static Image band();
};

} // namespace content
