#include "BitmapFiles.h"
#include "d3dx/BitmapReader.h"

#include <gtest/gtest.h>

using namespace bmptest;

namespace {

BitmapImage decode(const std::vector<uint8_t>& file) {
    BitmapImage image;
    EXPECT_TRUE(BitmapReader::read(file.data(), file.size(), image));
    return image;
}

bool accepts(const std::vector<uint8_t>& file) {
    BitmapImage image;
    return BitmapReader::read(file.data(), file.size(), image);
}

BitmapLayout palettised(uint16_t bits, int32_t width, int32_t height, std::vector<uint8_t> pixels) {
    BitmapLayout layout;
    layout.bits = bits;
    layout.width = width;
    layout.height = height;
    layout.palette = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF};
    layout.pixels = std::move(pixels);
    return layout;
}

} // namespace

TEST(BitmapReader, TrueColourDepthsAndRowOrder) {
    // 24 bits, 3 x 2 (rows padded from 9 to 12 bytes), stored bottom-up.
    BitmapLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.pixels = rows24({{0xFF0000, 0x00FF00, 0x0000FF}, {0x123456, 0x000000, 0xFFFFFF}});
    BitmapImage image = decode(makeBitmap(layout));
    EXPECT_EQ(image.format, D3DFMT_R8G8B8);
    ASSERT_EQ(image.texels.size(), 6u);
    EXPECT_EQ(image.texels[0], 0xFFFF0000u); // top row first, opaque
    EXPECT_EQ(image.texels[2], 0xFF0000FFu);
    EXPECT_EQ(image.texels[3], 0xFF123456u);
    EXPECT_EQ(image.channelBits, (std::array<uint8_t, 4>{0, 8, 8, 8}));

    // 32 bits, top-down: the fourth byte is not alpha.
    layout = BitmapLayout();
    layout.bits = 32;
    layout.width = 2;
    layout.height = -2;
    layout.pixels = {0x01, 0x02, 0x03, 0x12, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
    image = decode(makeBitmap(layout));
    EXPECT_EQ(image.format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(image.texels[0], 0xFF030201u);
    EXPECT_EQ(image.texels[3], 0xFF0C0B0Au);

    // 16 bits are X1R5G5B5, channels widened by repeating their bits.
    layout = BitmapLayout();
    layout.bits = 16;
    layout.width = 2;
    layout.height = 1;
    layout.pixels = {0x00, 0x7C, 0x21, 0x04};
    image = decode(makeBitmap(layout));
    EXPECT_EQ(image.format, D3DFMT_X1R5G5B5);
    EXPECT_EQ(image.texels[0], 0xFFFF0000u);
    EXPECT_EQ(image.texels[1], 0xFF080808u); // 00001 -> 00001000
}

TEST(BitmapReader, PalettisedDepths) {
    // 8 bits: indices kept, palette reordered to ARGB, unused entries all ones.
    BitmapImage image = decode(makeBitmap(palettised(8, 3, 1, {3, 1, 0, 0})));
    EXPECT_EQ(image.format, D3DFMT_P8);
    EXPECT_EQ(image.paletteCount, 4u);
    EXPECT_EQ(image.palette[0], 0xFF102030u);
    EXPECT_EQ(image.palette[3], 0xFF0000FFu);
    EXPECT_EQ(image.palette[4], 0xFFFFFFFFu);
    EXPECT_EQ(image.palette[255], 0xFFFFFFFFu);
    EXPECT_EQ(image.indices, (std::vector<uint8_t>{3, 1, 0}));

    // 4 bits, high nibble first; 2 rows bottom-up.
    image = decode(makeBitmap(palettised(4, 3, 2, {0x30, 0x20, 0, 0, 0x12, 0x30, 0, 0})));
    EXPECT_EQ(image.indices, (std::vector<uint8_t>{1, 2, 3, 3, 0, 2}));

    // 1 bit, most significant bit first; a palette of 2^bits entries when none is counted.
    BitmapLayout layout = palettised(1, 10, 1, {0xA5, 0x40, 0, 0});
    layout.palette = {0x000000, 0xFFFFFF};
    std::vector<uint8_t> file = makeBitmap(layout);
    file[14 + 32] = 0; // biClrUsed = 0: two entries implied
    image = decode(file);
    EXPECT_EQ(image.paletteCount, 2u);
    EXPECT_EQ(image.indices, (std::vector<uint8_t>{1, 0, 1, 0, 0, 1, 0, 1, 0, 1}));
}

TEST(BitmapReader, RunLengthWithDeltaAndEndOfLine) {
    // 4 x 3, RLE8. Bottom row: run of 2 x index 1, then end of line. Middle row:
    // a literal run of 3 (1 pad byte), end of line. Top row: delta right 2, run of
    // 1 x index 3, end of bitmap. Pixels not written stay index 0.
    BitmapLayout layout = palettised(8, 4, 3, {2, 1, 0, 0,       //
                                               0, 3, 2, 3, 1, 0, //
                                               0, 0,             //
                                               0, 2, 2, 0, 1, 3, //
                                               0, 1});
    layout.compression = 1;
    BitmapImage image = decode(makeBitmap(layout));
    EXPECT_EQ(image.indices, (std::vector<uint8_t>{0, 0, 3, 0, //
                                                   2, 3, 1, 0, //
                                                   1, 1, 0, 0}));

    // RLE4: a run of 5 alternating 1 and 2, end of line; then a literal run of 3
    // (two bytes) and end of bitmap.
    layout = palettised(4, 5, 2, {5, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 1});
    layout.compression = 2;
    image = decode(makeBitmap(layout));
    EXPECT_EQ(image.indices, (std::vector<uint8_t>{3, 2, 1, 0, 0, //
                                                   1, 2, 1, 2, 1}));

    // Runs and deltas that leave the image are clipped, not written elsewhere.
    layout = palettised(8, 2, 2, {200, 1, 0, 2, 250, 250, 7, 2, 0, 1});
    layout.compression = 1;
    image = decode(makeBitmap(layout));
    EXPECT_EQ(image.indices, (std::vector<uint8_t>{0, 0, 1, 1}));

    // Run-length data is bottom-up only.
    layout.height = -2;
    EXPECT_FALSE(accepts(makeBitmap(layout)));
}

TEST(BitmapReader, BitFieldLayouts) {
    BitmapLayout layout{.width = 2,
                        .height = 1,
                        .bits = 16,
                        .compression = 3,
                        .headerSize = 108,
                        .palette = {},
                        .masks = {0xF800, 0x07E0, 0x001F, 0},
                        .pixels = {0x1F, 0xF8, 0xE0, 0x07}};
    BitmapImage image = decode(makeBitmap(layout));
    EXPECT_EQ(image.format, D3DFMT_R5G6B5);
    EXPECT_EQ(image.texels[0], 0xFFFF00FFu);
    EXPECT_EQ(image.texels[1], 0xFF00FF00u);
    EXPECT_EQ(image.channelBits, (std::array<uint8_t, 4>{0, 5, 6, 5}));

    layout.masks[0] = 0x0F00, layout.masks[1] = 0x00F0, layout.masks[2] = 0x000F,
    layout.masks[3] = 0xF000;
    layout.pixels = {0x5A, 0x83, 0, 0};
    image = decode(makeBitmap(layout));
    EXPECT_EQ(image.format, D3DFMT_A4R4G4B4);
    EXPECT_EQ(image.texels[0], 0x883355AAu); // 0x835A: a 8, r 3, g 5, b A

    layout.masks[0] = 0xFF, layout.masks[1] = 0, layout.masks[2] = 0, layout.masks[3] = 0xFF00;
    layout.pixels = {0x40, 0x80, 0, 0};
    image = decode(makeBitmap(layout));
    EXPECT_EQ(image.format, D3DFMT_A8L8);
    EXPECT_EQ(image.texels[0], 0x80404040u);

    BitmapLayout wide{.bits = 32,
                      .compression = 3,
                      .headerSize = 124,
                      .palette = {},
                      .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                      .pixels = {1, 2, 3, 4}};
    image = decode(makeBitmap(wide));
    EXPECT_EQ(image.format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(image.texels[0], 0x04030201u);

    // Masks outside the list, and bit fields behind a 40-byte header, are refused.
    wide.masks[0] = 0xFF;
    wide.masks[2] = 0xFF0000;
    EXPECT_FALSE(accepts(makeBitmap(wide)));
    layout.headerSize = 40;
    EXPECT_FALSE(accepts(makeBitmap(layout)));
}

TEST(BitmapReader, LyingAndTruncatedFilesAreRefused) {
    std::vector<uint8_t> good = gradient24(4, 4);
    ASSERT_TRUE(accepts(good));

    std::vector<uint8_t> bad = good;
    bad[2] += 1; // declared size one byte more than the data
    EXPECT_FALSE(accepts(bad));
    bad = good;
    bad[0] = 'X';
    EXPECT_FALSE(accepts(bad));
    bad = good;
    bad[14 + 12] = 2; // two planes
    EXPECT_FALSE(accepts(bad));
    bad = good;
    bad[14 + 14] = 2; // 2 bits per pixel
    EXPECT_FALSE(accepts(bad));
    bad = good;
    bad[14 + 16] = 4; // compressed as JPEG
    EXPECT_FALSE(accepts(bad));
    bad = good;
    bad[14] = 12; // an old 12-byte header
    EXPECT_FALSE(accepts(bad));
    bad = good;
    bad[14 + 32] = 0xFF, bad[14 + 33] = 0xFF, bad[14 + 35] = 0x7F; // palette far past the end
    EXPECT_FALSE(accepts(bad));

    // Pixel rows cut short, with the declared size cut to match.
    bad = good;
    bad.resize(bad.size() - 1);
    bad[2] -= 1;
    EXPECT_FALSE(accepts(bad));
    bad = good;
    bad[10] = 0xF0; // pixels said to start past the end
    EXPECT_FALSE(accepts(bad));

    // Sizes: none, negative width, and more than the reader will hold.
    for (int32_t w : {0, -4}) {
        BitmapLayout layout;
        layout.width = w;
        EXPECT_FALSE(accepts(makeBitmap(layout))) << w;
    }
    BitmapLayout huge = palettised(8, 100000, 100000, {0, 1});
    huge.compression = 1;
    EXPECT_FALSE(accepts(makeBitmap(huge)));
    BitmapLayout flat;
    flat.height = 0;
    EXPECT_FALSE(accepts(makeBitmap(flat)));

    // Every prefix of a good file is refused without reading past it.
    for (size_t cut = 0; cut < good.size(); ++cut) {
        std::vector<uint8_t> prefix(good.begin(), good.begin() + cut);
        EXPECT_FALSE(accepts(prefix)) << cut;
    }
}
