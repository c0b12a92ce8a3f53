#pragma once

#include "content/Image.h"

namespace content {

// The mirror floor's tile: repeated every half unit and added over the reflections, so it is
// dark with brighter joints.
class FloorArt {
public:
    static Image floor();
};

} // namespace content
