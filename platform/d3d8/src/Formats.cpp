#include "Formats.h"

#include <cstring>

namespace {

// Widens an n-bit channel to 8 bits by bit replication, as the hardware does.
inline uint8_t expand(uint32_t value, uint32_t bits) {
    switch (bits) {
    case 1:
        return value ? 255 : 0;
    case 2:
        return static_cast<uint8_t>(value * 85);
    case 3:
        return static_cast<uint8_t>((value << 5) | (value << 2) | (value >> 1));
    case 4:
        return static_cast<uint8_t>(value * 17);
    case 5:
        return static_cast<uint8_t>((value << 3) | (value >> 2));
    case 6:
        return static_cast<uint8_t>((value << 2) | (value >> 4));
    default:
        return static_cast<uint8_t>(value);
    }
}

inline uint32_t narrow(uint8_t value, uint32_t bits) {
    // Round to the nearest representable level.
    uint32_t levels = (1u << bits) - 1;
    return (value * levels + 127) / 255;
}

inline uint16_t load16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline void store16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

} // namespace

uint32_t formatBytesPerPixel(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D32:
        return 4;
    case D3DFMT_R8G8B8:
        return 3;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_X4R4G4B4:
    case D3DFMT_A8L8:
    case D3DFMT_D16:
    case D3DFMT_D16_LOCKABLE:
        return 2;
    case D3DFMT_R3G3B2:
    case D3DFMT_A8:
    case D3DFMT_L8:
        return 1;
    default:
        return 0;
    }
}

bool isColorFormat(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R8G8B8:
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_R3G3B2:
    case D3DFMT_A8:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_X4R4G4B4:
    case D3DFMT_L8:
    case D3DFMT_A8L8:
        return true;
    default:
        return false;
    }
}

bool isDepthFormat(D3DFORMAT format) {
    return format == D3DFMT_D24S8 || format == D3DFMT_D24X8 || format == D3DFMT_D16 ||
           format == D3DFMT_D32 || format == D3DFMT_D16_LOCKABLE;
}

bool formatHasStencil(D3DFORMAT format) {
    return format == D3DFMT_D24S8;
}

bool formatHasAlpha(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_A8L8:
        return true;
    default:
        return false;
    }
}

void convertRowToBgra8(D3DFORMAT format, const uint8_t* s, uint8_t* d, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x, d += 4) {
        uint32_t r = 0, g = 0, b = 0, a = 255;
        switch (format) {
        case D3DFMT_A8R8G8B8:
            std::memcpy(d, s + 4 * x, 4);
            continue;
        case D3DFMT_X8R8G8B8:
            b = s[4 * x];
            g = s[4 * x + 1];
            r = s[4 * x + 2];
            break;
        case D3DFMT_R8G8B8:
            b = s[3 * x];
            g = s[3 * x + 1];
            r = s[3 * x + 2];
            break;
        case D3DFMT_R5G6B5: {
            uint32_t v = load16(s + 2 * x);
            r = expand(v >> 11, 5);
            g = expand((v >> 5) & 63, 6);
            b = expand(v & 31, 5);
            break;
        }
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5: {
            uint32_t v = load16(s + 2 * x);
            r = expand((v >> 10) & 31, 5);
            g = expand((v >> 5) & 31, 5);
            b = expand(v & 31, 5);
            if (format == D3DFMT_A1R5G5B5) {
                a = expand(v >> 15, 1);
            }
            break;
        }
        case D3DFMT_A4R4G4B4:
        case D3DFMT_X4R4G4B4: {
            uint32_t v = load16(s + 2 * x);
            r = expand((v >> 8) & 15, 4);
            g = expand((v >> 4) & 15, 4);
            b = expand(v & 15, 4);
            if (format == D3DFMT_A4R4G4B4) {
                a = expand(v >> 12, 4);
            }
            break;
        }
        case D3DFMT_A8R3G3B2:
        case D3DFMT_R3G3B2: {
            uint32_t v = format == D3DFMT_R3G3B2 ? s[x] : load16(s + 2 * x);
            r = expand((v >> 5) & 7, 3);
            g = expand((v >> 2) & 7, 3);
            b = expand(v & 3, 2);
            if (format == D3DFMT_A8R3G3B2) {
                a = v >> 8;
            }
            break;
        }
        case D3DFMT_A8:
            a = s[x];
            break;
        case D3DFMT_L8:
            r = g = b = s[x];
            break;
        case D3DFMT_A8L8:
            r = g = b = s[2 * x];
            a = s[2 * x + 1];
            break;
        default:
            break;
        }
        d[0] = static_cast<uint8_t>(b);
        d[1] = static_cast<uint8_t>(g);
        d[2] = static_cast<uint8_t>(r);
        d[3] = static_cast<uint8_t>(a);
    }
}

void convertRowFromBgra8(D3DFORMAT format, const uint8_t* s, uint8_t* d, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x, s += 4) {
        uint8_t b = s[0], g = s[1], r = s[2], a = s[3];
        switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
            std::memcpy(d + 4 * x, s, 4);
            break;
        case D3DFMT_R8G8B8:
            d[3 * x] = b;
            d[3 * x + 1] = g;
            d[3 * x + 2] = r;
            break;
        case D3DFMT_R5G6B5:
            store16(d + 2 * x, (narrow(r, 5) << 11) | (narrow(g, 6) << 5) | narrow(b, 5));
            break;
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
            store16(d + 2 * x, ((a >= 128 ? 1u : 0u) << 15) | (narrow(r, 5) << 10) |
                                   (narrow(g, 5) << 5) | narrow(b, 5));
            break;
        case D3DFMT_A4R4G4B4:
        case D3DFMT_X4R4G4B4:
            store16(d + 2 * x, (narrow(a, 4) << 12) | (narrow(r, 4) << 8) | (narrow(g, 4) << 4) |
                                   narrow(b, 4));
            break;
        case D3DFMT_R3G3B2:
            d[x] = static_cast<uint8_t>((narrow(r, 3) << 5) | (narrow(g, 3) << 2) | narrow(b, 2));
            break;
        case D3DFMT_A8R3G3B2:
            store16(d + 2 * x,
                    (uint32_t(a) << 8) | (narrow(r, 3) << 5) | (narrow(g, 3) << 2) | narrow(b, 2));
            break;
        case D3DFMT_A8:
            d[x] = a;
            break;
        case D3DFMT_L8:
            // Rec. 601 luma, as a grey conversion would weigh it.
            d[x] = static_cast<uint8_t>((r * 299 + g * 587 + b * 114 + 500) / 1000);
            break;
        case D3DFMT_A8L8:
            d[2 * x] = static_cast<uint8_t>((r * 299 + g * 587 + b * 114 + 500) / 1000);
            d[2 * x + 1] = a;
            break;
        default:
            break;
        }
    }
}
