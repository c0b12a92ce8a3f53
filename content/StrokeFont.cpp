#include "content/StrokeFont.h"

#include <array>
#include <cctype>
#include <sstream>

namespace content {

namespace {

// Polylines separated by ';', points "x,y" separated by spaces.
const char* glyphSource(char c) {
    switch (c) {
    case 'A':
        return "0,6 0,1 1,0 3,0 4,1 4,6; 0,3 4,3";
    case 'B':
        return "0,0 3,0 4,1 4,2 3,3 0,3; 3,3 4,4 4,5 3,6 0,6 0,0";
    case 'C':
        return "4,0 1,0 0,1 0,5 1,6 4,6";
    case 'D':
        return "0,0 3,0 4,1 4,5 3,6 0,6 0,0";
    case 'E':
        return "4,0 0,0 0,6 4,6; 0,3 3,3";
    case 'F':
        return "4,0 0,0 0,6; 0,3 3,3";
    case 'G':
        return "4,0 1,0 0,1 0,5 1,6 4,6 4,3 2,3";
    case 'H':
        return "0,0 0,6; 4,0 4,6; 0,3 4,3";
    case 'I':
        return "2,0 2,6; 1,0 3,0; 1,6 3,6";
    case 'J':
        return "4,0 4,5 3,6 1,6 0,5";
    case 'K':
        return "0,0 0,6; 4,0 1,3 0,3; 1,3 4,6";
    case 'L':
        return "0,0 0,6 4,6";
    case 'M':
        return "0,6 0,0 2,3 4,0 4,6";
    case 'N':
        return "0,6 0,0 4,6 4,0";
    case 'O':
        return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0";
    case 'P':
        return "0,6 0,0 3,0 4,1 4,2 3,3 0,3";
    case 'Q':
        return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0; 2,4 4,6";
    case 'R':
        return "0,6 0,0 3,0 4,1 4,2 3,3 0,3; 2,3 4,6";
    case 'S':
        return "4,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 0,6";
    case 'T':
        return "0,0 4,0; 2,0 2,6";
    case 'U':
        return "0,0 0,5 1,6 3,6 4,5 4,0";
    case 'V':
        return "0,0 2,6 4,0";
    case 'W':
        return "0,0 1,6 2,2 3,6 4,0";
    case 'X':
        return "0,0 4,6; 4,0 0,6";
    case 'Y':
        return "0,0 2,3 4,0; 2,3 2,6";
    case 'Z':
        return "0,0 4,0 0,6 4,6";
    case '0':
        return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0; 1,5 3,1";
    case '1':
        return "1,1 2,0 2,6; 1,6 3,6";
    case '2':
        return "0,1 1,0 3,0 4,1 4,2 0,6 4,6";
    case '3':
        return "0,0 4,0 2,2 3,2 4,3 4,5 3,6 1,6 0,5";
    case '4':
        return "3,6 3,0 0,4 4,4";
    case '5':
        return "4,0 0,0 0,3 3,3 4,4 4,5 3,6 0,6";
    case '6':
        return "3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,4 3,3 0,3";
    case '7':
        return "0,0 4,0 1,6";
    case '8':
        return "1,0 3,0 4,1 4,2 3,3 1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3 1,3 0,2 0,1 1,0";
    case '9':
        return "4,3 1,3 0,2 0,1 1,0 3,0 4,1 4,5 3,6 1,6";
    case '.':
        return "2,6 2,6";
    case ',':
        return "2,5 1,7";
    case ':':
        return "2,2 2,2; 2,5 2,5";
    case '-':
        return "1,3 3,3";
    case '+':
        return "0,3 4,3; 2,1 2,5";
    case '_':
        return "0,6 4,6";
    case '/':
        return "0,6 4,0";
    case '#':
        return "1,0 1,6; 3,0 3,6; 0,2 4,2; 0,4 4,4";
    case '(':
        return "3,0 2,1 2,5 3,6";
    case ')':
        return "1,0 2,1 2,5 1,6";
    case '=':
        return "0,2 4,2; 0,4 4,4";
    default:
        return nullptr;
    }
}

std::vector<std::vector<Point>> parse(const char* src) {
    std::vector<std::vector<Point>> lines;
    std::stringstream all(src);
    std::string line;
    while (std::getline(all, line, ';')) {
        std::stringstream ps(line);
        std::string tok;
        std::vector<Point> pts;
        while (ps >> tok) {
            size_t comma = tok.find(',');
            pts.push_back({std::stof(tok.substr(0, comma)), std::stof(tok.substr(comma + 1))});
        }
        if (!pts.empty()) {
            lines.push_back(pts);
        }
    }
    return lines;
}

const std::vector<std::vector<Point>>& polylines(char c) {
    static const std::array<std::vector<std::vector<Point>>, 128> table = [] {
        std::array<std::vector<std::vector<Point>>, 128> t;
        for (int i = 0; i < 128; ++i) {
            if (const char* src = glyphSource(static_cast<char>(i))) {
                t[i] = parse(src);
            }
        }
        return t;
    }();
    unsigned char u = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
    return table[u < 128 ? u : 0];
}

} // namespace

bool StrokeFont::has(char c) {
    return !polylines(c).empty();
}

std::vector<Segment> StrokeFont::glyph(char c, float x, float y, float sx, float sy) {
    std::vector<Segment> out;
    for (const auto& line : polylines(c)) {
        if (line.size() == 1) {
            Point p{x + line[0].x * sx, y + line[0].y * sy};
            out.push_back({p, p});
        }
        for (size_t i = 1; i < line.size(); ++i) {
            out.push_back({{x + line[i - 1].x * sx, y + line[i - 1].y * sy},
                           {x + line[i].x * sx, y + line[i].y * sy}});
        }
    }
    return out;
}

float StrokeFont::textWidth(const std::string& text, const Style& style) {
    if (text.empty()) {
        return 0.0f;
    }
    return text.size() * (style.width + style.spacing) - style.spacing;
}

void StrokeFont::draw(Canvas& canvas, const std::string& text, float x, float y, const Style& style,
                      Rgb c, float opacity) {
    std::vector<Segment> all;
    float sx = style.width / GRID_W;
    float sy = style.height / GRID_H;
    for (char ch : text) {
        auto g = glyph(ch, x, y, sx, sy);
        all.insert(all.end(), g.begin(), g.end());
        x += style.width + style.spacing;
    }
    canvas.strokes(all, style.stroke, c, opacity);
}

void StrokeFont::drawCentred(Canvas& canvas, const std::string& text, float cx, float y,
                             const Style& style, Rgb c, float opacity) {
    draw(canvas, text, cx - textWidth(text, style) * 0.5f, y, style, c, opacity);
}

} // namespace content
