#include "d3dx/BitmapReader.h"

#include <bit>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;

uint16_t word(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t dword(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Widens an n-bit channel value to 8 bits by repeating its bits.
uint32_t widen(uint32_t value, int bits) {
    if (bits == 0) {
        return 0;
    }
    if (bits >= 8) {
        return value >> (bits - 8);
    }
    uint32_t result = 0;
    for (int filled = 0; filled < 8; filled += bits) {
        result = (result << bits) | value;
    }
    return (result >> ((8 + bits - 1) / bits * bits - 8)) & 0xFF;
}

struct Masks {
    uint32_t red, green, blue, alpha;
};

// A bit-field layout the reader accepts, and the format it stands for.
struct FieldLayout {
    uint16_t bits;
    Masks masks;
    D3DFORMAT format;
};

constexpr FieldLayout FIELD_LAYOUTS[] = {
    {16, {0xF800, 0x07E0, 0x001F, 0}, D3DFMT_R5G6B5},
    {16, {0x7C00, 0x03E0, 0x001F, 0}, D3DFMT_X1R5G5B5},
    {16, {0x7C00, 0x03E0, 0x001F, 0x8000}, D3DFMT_A1R5G5B5},
    {16, {0x0F00, 0x00F0, 0x000F, 0xF000}, D3DFMT_A4R4G4B4},
    {16, {0x00E0, 0x001C, 0x0003, 0xFF00}, D3DFMT_A8R3G3B2},
    {16, {0x00FF, 0x0000, 0x0000, 0xFF00}, D3DFMT_A8L8},
    {16, {0x00FF, 0x00FF, 0x00FF, 0xFF00}, D3DFMT_A8L8},
    {24, {0xFF0000, 0xFF00, 0xFF, 0}, D3DFMT_R8G8B8},
    {32, {0xFF0000, 0xFF00, 0xFF, 0}, D3DFMT_X8R8G8B8},
    {32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, D3DFMT_A8R8G8B8},
};

struct Channel {
    uint32_t mask = 0; // 0: the channel is absent
    int shift = 0;
    int bits = 0;
    uint32_t extract(uint32_t texel) const {
        return mask == 0 ? 0 : widen((texel & mask) >> shift, bits);
    }
};

Channel channelOf(uint32_t mask) {
    if (mask == 0) {
        return {0, 0, 0};
    }
    return {mask, std::countr_zero(mask), std::popcount(mask)};
}

// Expands run-length data into one index per pixel; rows are bottom-up in the
// file and written top-down here. Pixels the data never reaches stay 0.
void expandRle(const uint8_t* p, const uint8_t* end, bool fourBit, uint32_t width, uint32_t height,
               std::vector<uint8_t>& out) {
    uint64_t x = 0, y = 0; // y counts rows from the bottom
    auto put = [&](uint8_t index) {
        if (x < width && y < height) {
            out[(height - 1 - y) * width + x] = index;
        }
        ++x;
    };
    while (end - p >= 2 && y < height) {
        uint8_t count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            for (uint32_t i = 0; i < count && x < width; ++i) {
                put(fourBit ? static_cast<uint8_t>(i % 2 == 0 ? value >> 4 : value & 0xF) : value);
            }
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return;
        } else if (value == 2) { // move right and up
            if (end - p < 2) {
                return;
            }
            x += p[0];
            y += p[1];
            p += 2;
        } else { // a literal run of `value` pixels, padded to a 16-bit boundary
            size_t bytes = fourBit ? (value + 1u) / 2 : value;
            size_t padded = bytes + (bytes & 1);
            if (static_cast<size_t>(end - p) < bytes) {
                return;
            }
            for (uint32_t i = 0; i < value; ++i) {
                put(fourBit ? static_cast<uint8_t>(i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2] & 0xF)
                            : p[i]);
            }
            p += std::min(padded, static_cast<size_t>(end - p));
        }
    }
}

bool decode(const uint8_t* data, size_t size, BitmapImage& image) {
    // File header: "BM", declared size, pixel offset.
    if (data == nullptr || size < 14 || word(data) != 0x4D42) {
        return false;
    }
    uint32_t fileSize = dword(data + 2);
    uint32_t pixelOffset = dword(data + 10);
    if (fileSize > size) {
        return false;
    }
    if (size - 14 < 40) {
        return false;
    }
    const uint8_t* info = data + 14;
    uint32_t headerSize = dword(info);
    if (headerSize < 40 || headerSize > size - 14) {
        return false;
    }
    int32_t width = static_cast<int32_t>(dword(info + 4));
    int32_t rawHeight = static_cast<int32_t>(dword(info + 8));
    uint16_t planes = word(info + 12);
    uint16_t bits = word(info + 14);
    uint32_t compression = dword(info + 16);
    uint32_t colorsUsed = dword(info + 32);
    if (planes != 1 || width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) {
        return false;
    }
    bool topDown = rawHeight < 0;
    uint32_t height = static_cast<uint32_t>(topDown ? -rawHeight : rawHeight);
    if (static_cast<uint32_t>(width) > BitmapReader::MAX_SIDE || height > BitmapReader::MAX_SIDE ||
        uint64_t(width) * height > BitmapReader::MAX_PIXELS) {
        return false;
    }
    image.width = static_cast<uint32_t>(width);
    image.height = height;

    switch (compression) {
    case BI_RGB:
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
            return false;
        }
        break;
    case BI_RLE8:
    case BI_RLE4:
        if (bits != (compression == BI_RLE8 ? 8 : 4) || topDown) {
            return false;
        }
        break;
    case BI_BITFIELDS:
        if (headerSize < 108 || (bits != 16 && bits != 24 && bits != 32)) {
            return false;
        }
        break;
    default:
        return false;
    }

    // The palette follows the header and must lie inside the data.
    uint64_t paletteEntries = colorsUsed != 0 ? colorsUsed : (bits <= 8 ? 1u << bits : 0);
    uint64_t paletteStart = 14 + uint64_t(headerSize);
    if (paletteStart + paletteEntries * 4 > size) {
        return false;
    }
    if (pixelOffset > size) {
        return false;
    }
    const uint8_t* pixels = data + pixelOffset;
    const uint8_t* end = data + size;

    if (bits <= 8) {
        image.format = D3DFMT_P8;
        image.channelBits = {0, 8, 8, 8};
        image.palette.fill(0xFFFFFFFF);
        image.paletteCount = static_cast<uint32_t>(std::min<uint64_t>(paletteEntries, 256));
        for (uint32_t i = 0; i < image.paletteCount; ++i) {
            const uint8_t* q = data + paletteStart + 4 * i; // blue, green, red, unused
            image.palette[i] = 0xFF000000u | uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
        }
        image.indices.assign(uint64_t(image.width) * height, 0);
        if (compression != BI_RGB) {
            expandRle(pixels, end, compression == BI_RLE4, image.width, height, image.indices);
            return true;
        }
    }

    uint64_t rowBytes = (uint64_t(image.width) * bits + 31) / 32 * 4;
    if (rowBytes * height > static_cast<uint64_t>(end - pixels)) {
        return false;
    }

    Channel red, green, blue, alpha;
    if (compression == BI_BITFIELDS) {
        Masks masks{dword(info + 40), dword(info + 44), dword(info + 48), dword(info + 52)};
        const FieldLayout* layout = nullptr;
        for (const FieldLayout& candidate : FIELD_LAYOUTS) {
            if (candidate.bits == bits && candidate.masks.red == masks.red &&
                candidate.masks.green == masks.green && candidate.masks.blue == masks.blue &&
                candidate.masks.alpha == masks.alpha) {
                layout = &candidate;
                break;
            }
        }
        if (layout == nullptr) {
            return false;
        }
        image.format = layout->format;
        red = channelOf(masks.red);
        // Luminance fills all three colour channels from the one mask.
        green = channelOf(masks.green != 0 ? masks.green : masks.red);
        blue = channelOf(masks.blue != 0 ? masks.blue : masks.red);
        alpha = channelOf(masks.alpha);
    } else if (bits == 16) {
        image.format = D3DFMT_X1R5G5B5;
        red = channelOf(0x7C00), green = channelOf(0x03E0), blue = channelOf(0x001F);
    } else if (bits == 24) {
        image.format = D3DFMT_R8G8B8;
        red = channelOf(0xFF0000), green = channelOf(0xFF00), blue = channelOf(0xFF);
    } else if (bits == 32) {
        image.format = D3DFMT_X8R8G8B8;
        red = channelOf(0xFF0000), green = channelOf(0xFF00), blue = channelOf(0xFF);
    }
    if (!image.palettised()) {
        image.channelBits = {static_cast<uint8_t>(alpha.bits), static_cast<uint8_t>(red.bits),
                             static_cast<uint8_t>(green.bits), static_cast<uint8_t>(blue.bits)};
        image.texels.resize(uint64_t(image.width) * height);
    }

    for (uint32_t row = 0; row < height; ++row) {
        const uint8_t* src = pixels + rowBytes * (topDown ? row : height - 1 - row);
        size_t base = size_t(row) * image.width;
        for (uint32_t x = 0; x < image.width; ++x) {
            if (bits <= 8) {
                uint32_t bitPos = x * bits;
                uint8_t byte = src[bitPos / 8];
                uint32_t shift = 8 - bits - bitPos % 8;
                image.indices[base + x] =
                    static_cast<uint8_t>((byte >> shift) & ((1u << bits) - 1));
                continue;
            }
            uint32_t texel = 0;
            const uint8_t* t = src + size_t(x) * (bits / 8);
            for (int b = 0; b < bits / 8; ++b) {
                texel |= uint32_t(t[b]) << (8 * b);
            }
            uint32_t a = alpha.mask != 0 ? alpha.extract(texel) : 0xFF;
            image.texels[base + x] = a << 24 | red.extract(texel) << 16 |
                                     green.extract(texel) << 8 | blue.extract(texel);
        }
    }
    return true;
}

} // namespace

bool BitmapReader::read(const uint8_t* data, size_t size, BitmapImage& image) {
    image = BitmapImage();
    try {
        if (decode(data, size, image)) {
            return true;
        }
    } catch (const std::bad_alloc&) {
    }
    image = BitmapImage();
    return false;
}
