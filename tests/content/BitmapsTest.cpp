// The generated bitmaps: names, sizes and format, and the layouts and edges their drawing
// relies on (sheet cells, strips, black borders of added sprites, white borders of images
// laid on the white closing background).
#include "content/BmpFile.h"
#include "DataFiles.h"
#include "content/TunnelArt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

using content::BmpFile;

namespace {

BmpFile::Decoded load(const std::string& name) {
    BmpFile::Decoded d;
    EXPECT_TRUE(BmpFile::decode(readDataFile(name), d)) << name;
    return d;
}

// The lowest and the highest channel value in the rectangle.
std::pair<int, int> channelRange(const BmpFile::Decoded& d, int x0, int y0, int w, int h) {
    std::pair<int, int> range{255, 0};
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            const uint8_t* p = d.at(x, y);
            range.first = std::min({range.first, int(p[0]), int(p[1]), int(p[2])});
            range.second = std::max({range.second, int(p[0]), int(p[1]), int(p[2])});
        }
    }
    return range;
}

int brightest(const BmpFile::Decoded& d, int x0, int y0, int w, int h) {
    return channelRange(d, x0, y0, w, h).second;
}

int darkest(const BmpFile::Decoded& d, int x0, int y0, int w, int h) {
    return channelRange(d, x0, y0, w, h).first;
}

double meanLevel(const BmpFile::Decoded& d) {
    double sum = 0;
    for (uint8_t v : d.rgb) {
        sum += v;
    }
    return sum / d.rgb.size() / 255.0;
}

// Largest value on the one-pixel frame around the picture.
int borderMax(const BmpFile::Decoded& d) {
    return std::max({brightest(d, 0, 0, d.width, 1), brightest(d, 0, d.height - 1, d.width, 1),
                     brightest(d, 0, 0, 1, d.height), brightest(d, d.width - 1, 0, 1, d.height)});
}

int borderMin(const BmpFile::Decoded& d) {
    return std::min({darkest(d, 0, 0, d.width, 2), darkest(d, 0, d.height - 2, d.width, 2),
                     darkest(d, 0, 0, 2, d.height), darkest(d, d.width - 2, 0, 2, d.height)});
}

} // namespace

TEST(Bitmaps, EveryFileIsA24BitBitmapOfItsSize) {
    const std::map<std::string, std::pair<int, int>> sizes = {
        {"loading.bmp", {256, 256}},    {"obi.bmp", {256, 64}},        {"cloud1.bmp", {512, 512}},
        {"cloud2.bmp", {512, 512}},     {"cloud3.bmp", {512, 512}},    {"living.bmp", {256, 256}},
        {"TELV_title.bmp", {256, 256}}, {"chars.bmp", {256, 256}},     {"circle.bmp", {256, 256}},
        {"mono1.bmp", {128, 128}},      {"mono2.bmp", {128, 128}},     {"mono3.bmp", {128, 128}},
        {"particle.bmp", {64, 64}},     {"particle_r.bmp", {64, 64}},  {"particle_g.bmp", {64, 64}},
        {"particle_b.bmp", {64, 64}},   {"fan.bmp", {64, 64}},         {"floor.bmp", {128, 128}},
        {"TELV.bmp", {256, 256}},       {"hole.bmp", {256, 256}},      {"faewfaew.bmp", {256, 256}},
        {"back1.bmp", {256, 256}},      {"back2.bmp", {256, 256}},     {"w_face.bmp", {128, 128}},
        {"box_wall.bmp", {256, 256}},   {"box_floor.bmp", {256, 256}},
    };
    for (const auto& [name, size] : sizes) {
        std::vector<uint8_t> bytes = readDataFile(name);
        ASSERT_FALSE(bytes.empty()) << name << " is missing";
        BmpFile::Decoded d;
        ASSERT_TRUE(BmpFile::decode(bytes, d)) << name;
        EXPECT_EQ(d.bitsPerPixel, 24) << name;
        EXPECT_EQ(d.width, size.first) << name;
        EXPECT_EQ(d.height, size.second) << name;
        EXPECT_EQ(d.width & (d.width - 1), 0) << name << " width is not a power of two";
        EXPECT_EQ(d.height & (d.height - 1), 0) << name << " height is not a power of two";
        // The declared file size is the real one (the texture loader rejects larger claims).
        uint32_t declared = bytes[2] | (bytes[3] << 8) | (bytes[4] << 16) | (bytes[5] << 24);
        EXPECT_EQ(declared, bytes.size()) << name;
    }
}

TEST(Bitmaps, GlyphSheetCellsHoldTheirInkInsideTheGlyphArea) {
    BmpFile::Decoded d = load("chars.bmp");
    ASSERT_EQ(d.width, 256);
    auto used = [](int c, int r) { return (r == 0 && c < 10) || (r >= 1 && r <= 2 && c < 15); };
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 15; ++c) {
            int x = 17 * c;
            int y = 17 * r;
            if (used(c, r)) {
                EXPECT_GT(brightest(d, x, y, 16, 15), 200) << "cell " << c << "," << r;
            } else {
                EXPECT_EQ(brightest(d, x, y, 17, 17), 0) << "cell " << c << "," << r;
            }
            // Column 16 and rows 15 and 16 of every cell stay black: a glyph drawn as its
            // 16 x 15 area never shows a piece of its neighbour.
            EXPECT_EQ(brightest(d, x + 16, y, 1, 17), 0) << "cell " << c << "," << r;
            EXPECT_EQ(brightest(d, x, y + 15, 17, 2), 0) << "cell " << c << "," << r;
        }
    }
    // Nothing between the glyph rows and the first banner.
    EXPECT_EQ(brightest(d, 0, 51, 256, 19), 0);
}

TEST(Bitmaps, GlyphsOfDifferentLettersDiffer) {
    BmpFile::Decoded d = load("chars.bmp");
    auto cell = [&](int c, int r) {
        std::vector<uint8_t> v;
        for (int y = 0; y < 15; ++y) {
            for (int x = 0; x < 16; ++x) {
                v.push_back(d.at(17 * c + x, 17 * r + y)[0]);
            }
        }
        return v;
    };
    std::map<std::vector<uint8_t>, char> seen;
    std::set<char> letters;
    for (int r = 1; r <= 2; ++r) {
        for (int c = 0; c < 15; ++c) {
            char ch = content::TunnelArt::letterAt(c, r);
            letters.insert(ch);
            auto [it, inserted] = seen.emplace(cell(c, r), ch);
            // Identical pictures are only allowed for the repeated letters.
            EXPECT_TRUE(inserted || it->second == ch) << ch << " looks like " << it->second;
        }
    }
    EXPECT_EQ(letters.size(), 26u);
    for (int a = 0; a < 10; ++a) {
        for (int b = a + 1; b < 10; ++b) {
            EXPECT_NE(cell(a, 0), cell(b, 0)) << "digits " << a << " and " << b;
        }
    }
}

TEST(Bitmaps, GlyphSheetBannersFillTheirStripsWithoutTouchingEachOther) {
    BmpFile::Decoded d = load("chars.bmp");
    EXPECT_GT(brightest(d, 0, 70, 256, 60), 200);
    EXPECT_GT(brightest(d, 0, 130, 256, 60), 200);
    // Two rows of black at each strip edge keep filtering from mixing the strips.
    EXPECT_EQ(brightest(d, 0, 70, 256, 2), 0);
    EXPECT_EQ(brightest(d, 0, 128, 256, 4), 0);
    EXPECT_EQ(brightest(d, 0, 188, 256, 2), 0);
    EXPECT_EQ(brightest(d, 0, 190, 256, 66), 0);
}

TEST(Bitmaps, TitleSheetHasThreeSeparateCells) {
    BmpFile::Decoded d = load("TELV_title.bmp");
    for (int i = 0; i < 3; ++i) {
        EXPECT_GT(brightest(d, 70 * i + 2, 2, 66, 66), 200) << "cell " << i;
        // A black margin inside every cell: the enlarged cell never shows its neighbours.
        EXPECT_EQ(brightest(d, 70 * i, 0, 2, 70), 0) << "cell " << i;
        EXPECT_EQ(brightest(d, 70 * i + 68, 0, 2, 70), 0) << "cell " << i;
        EXPECT_EQ(brightest(d, 70 * i, 68, 70, 2), 0) << "cell " << i;
    }
    EXPECT_EQ(brightest(d, 210, 0, 46, 256), 0);
    EXPECT_EQ(brightest(d, 0, 70, 256, 186), 0);
}

TEST(Bitmaps, LivingStripsAreDarkMarksOnWhite) {
    BmpFile::Decoded d = load("living.bmp");
    auto darkShare = [&](int y0, int h) {
        int dark = 0;
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = 0; x < 256; ++x) {
                dark += d.at(x, y)[1] < 64 ? 1 : 0;
            }
        }
        return dark / double(256 * h);
    };
    // Strip 1 (rows 0..44) is mostly a black bar, strip 2 (rows 45..89) mostly white with marks.
    EXPECT_GT(darkShare(0, 45), 0.5);
    EXPECT_GT(darkShare(45, 45), 0.05);
    EXPECT_LT(darkShare(45, 45), 0.4);
    // Multiplying by white keeps the picture: everything outside the strips is white, and so
    // are the rows at the strips' outer edges, which filtering reaches from the wrapped side.
    EXPECT_EQ(darkest(d, 0, 90, 256, 166), 255);
    EXPECT_EQ(darkest(d, 0, 0, 256, 1), 255);
    EXPECT_EQ(darkest(d, 0, 89, 256, 1), 255);
}

TEST(Bitmaps, AddedSpritesFadeToBlackAtTheirEdges) {
    for (const char* name :
         {"mono1.bmp", "mono2.bmp", "mono3.bmp", "particle.bmp", "particle_r.bmp", "particle_g.bmp",
          "particle_b.bmp", "fan.bmp", "circle.bmp", "TELV_title.bmp"}) {
        BmpFile::Decoded d = load(name);
        EXPECT_LE(borderMax(d), 2) << name;
        EXPECT_GT(brightest(d, 0, 0, d.width, d.height), 60) << name << " is empty";
    }
    // Each burst sprite carries mostly its own channel.
    for (int ch = 0; ch < 3; ++ch) {
        const char* names[3] = {"particle_r.bmp", "particle_g.bmp", "particle_b.bmp"};
        BmpFile::Decoded d = load(names[ch]);
        double sum[3] = {0, 0, 0};
        for (size_t i = 0; i < d.rgb.size(); ++i) {
            sum[i % 3] += d.rgb[i];
        }
        EXPECT_GT(sum[ch], 1.5 * sum[(ch + 1) % 3]) << names[ch];
        EXPECT_GT(sum[ch], 1.5 * sum[(ch + 2) % 3]) << names[ch];
    }
}

TEST(Bitmaps, CloudsAreDarkAndTile) {
    for (const char* name : {"cloud1.bmp", "cloud2.bmp", "cloud3.bmp"}) {
        BmpFile::Decoded d = load(name);
        // Two layers and a wash are added: each layer stays dark.
        EXPECT_LT(meanLevel(d), 0.15) << name;
        EXPECT_LE(brightest(d, 0, 0, d.width, d.height), 130) << name;
        EXPECT_GT(brightest(d, 0, 0, d.width, d.height), 60) << name;
        // The layers are drawn far larger than the screen and sampled with wrapping: the
        // step across the wrap is no larger than steps inside the picture.
        auto colDiff = [&](int a, int b) {
            double s = 0;
            for (int y = 0; y < d.height; ++y) {
                s += std::abs(int(d.at(a, y)[2]) - int(d.at(b, y)[2]));
            }
            return s / d.height;
        };
        auto rowDiff = [&](int a, int b) {
            double s = 0;
            for (int x = 0; x < d.width; ++x) {
                s += std::abs(int(d.at(x, a)[2]) - int(d.at(x, b)[2]));
            }
            return s / d.width;
        };
        double inside = std::max(colDiff(255, 256), rowDiff(255, 256));
        EXPECT_LE(colDiff(511, 0), inside * 2.0 + 1.0) << name;
        EXPECT_LE(rowDiff(511, 0), inside * 2.0 + 1.0) << name;
    }
}

TEST(Bitmaps, BandStaysDarkForEveryBlend) {
    BmpFile::Decoded d = load("obi.bmp");
    // Opaque it is a black band, multiplied it blacks out, added or inverted it barely shows.
    EXPECT_LE(brightest(d, 0, 0, d.width, d.height), 48);
    EXPECT_GT(brightest(d, 0, 0, d.width, d.height), 16);
    EXPECT_LT(meanLevel(d), 0.05);
}

TEST(Bitmaps, CircleIsPaintedNarrowToLookRoundWhenStretchedToTheScreen) {
    BmpFile::Decoded d = load("circle.bmp");
    int left = 256;
    int right = 0;
    int top = 256;
    int bottom = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            if (d.at(x, y)[1] > 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    double width = right - left + 1;
    double height = bottom - top + 1;
    // 256 x 256 texels are stretched to 800 x 600 pixels.
    EXPECT_NEAR((width * 800.0 / 256.0) / (height * 600.0 / 256.0), 1.0, 0.03);
}

TEST(Bitmaps, ClosingImagesLieOnWhite) {
    for (const char* name : {"TELV.bmp", "hole.bmp", "faewfaew.bmp", "back1.bmp", "back2.bmp"}) {
        BmpFile::Decoded d = load(name);
        EXPECT_EQ(borderMin(d), 255) << name;
        EXPECT_LT(darkest(d, 0, 0, d.width, d.height), 100) << name << " has no marks";
    }
}

TEST(Bitmaps, FloorTileJoinsSeamlessly) {
    BmpFile::Decoded d = load("floor.bmp");
    // Added over the reflections: dark overall, brighter joints where tiles meet.
    EXPECT_LT(meanLevel(d), 0.3);
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(d.at(0, i)[0], d.at(127, i)[0]) << i;
        EXPECT_EQ(d.at(i, 0)[0], d.at(i, 127)[0]) << i;
    }
    EXPECT_GT(d.at(0, 64)[0], d.at(64, 64)[0] + 60);
}
