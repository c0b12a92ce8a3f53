#pragma once

#include "content/Canvas.h"

#include <string>
#include <vector>

namespace content {

// Our own geometric stroke alphabet: capitals, digits and a little punctuation, each a set of
// polylines on a grid 4 units wide and 6 units tall (y down), with chamfered corners.
class StrokeFont {
public:
    static constexpr float GRID_W = 4.0f;
    static constexpr float GRID_H = 6.0f;

    // Whether the character has a glyph (lower case maps to upper case).
    static bool has(char c);
    // Segments of one glyph placed with its grid origin at (x, y), sx and sy pixels per unit.
    static std::vector<Segment> glyph(char c, float x, float y, float sx, float sy);

    struct Style {
        float height = 12.0f; // cap height in pixels
        float width = 8.0f;   // glyph width in pixels
        float stroke = 2.0f;  // stroke width in pixels
        float spacing = 3.0f; // gap between glyphs in pixels
    };
    static float textWidth(const std::string& text, const Style& style);
    // Draws text with the top-left of its first glyph's box at (x, y) (stroke centre lines).
    static void draw(Canvas& canvas, const std::string& text, float x, float y, const Style& style,
                     Rgb c, float opacity = 1.0f);
    // Draws text centred on cx.
    static void drawCentred(Canvas& canvas, const std::string& text, float cx, float y,
                            const Style& style, Rgb c, float opacity = 1.0f);
};

} // namespace content
