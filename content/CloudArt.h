#pragma once

#include "content/Image.h"

namespace content {

// The first scene's images: three tileable cloud layers added onto black, and the two strips
// that are multiplied onto the picture.
class CloudArt {
public:
    static Image cloud1();
    // Drawn over 1600 x 1200 pixels drifting diagonally: clouds in diagonal bands.
    static Image cloud2();
    // Drawn over 1600 x 600 pixels drifting right: clouds in horizontal streaks.
    static Image cloud3();
    // Rows 0 to 44 and 45 to 89 are the strips; white elsewhere so multiplying keeps the picture.
    static Image living();
};

} // namespace content
