#pragma once

#include "content/Image.h"

namespace content {

// The last scene's images. All lie on white, because the scene clears to white and draws them
// opaque or fading with alpha: only what is painted on the white shows.
class LatticeArt {
public:
    static Image logo();
    static Image hole();
    static Image thanks();
    // The two spinning images that drift across the lattice.
    static Image back1();
    static Image back2();
};

} // namespace content
