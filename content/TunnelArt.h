#pragma once

#include "content/Image.h"

#include <string>

namespace content {

// The second scene's images: the title sheet, the circle, the glyph sheet and the three
// point-sprite images of the star clouds.
class TunnelArt {
public:
    // Three 70 x 70 cells at x = 0, 70, 140 (y = 0), white on black, shown enlarged.
    static Image title();
    // Drawn stretched over the whole 800 x 600 screen, so its rings are painted 3:4 narrow.
    static Image circle();
    // 17 x 17 cells, glyph ink in the top-left 16 x 15; digits in row 0, letters in rows 1
    // and 2; banner strips of 256 x 60 at (0, 70) and (0, 130).
    static Image glyphs();
    static Image mono(int index);

    // The letter in column c (0..14) of row r (1 or 2) of the glyph sheet.
    static char letterAt(int column, int row);
};

} // namespace content
