#include "BmpFile.h"

namespace content {

namespace {

void put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}

void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

uint32_t get32(const std::vector<uint8_t>& v, size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}

uint32_t get16(const std::vector<uint8_t>& v, size_t at) {
    return v[at] | (v[at + 1] << 8);
}

} // namespace

std::vector<uint8_t> BmpFile::encode(const Image& image) {
    const uint32_t w = static_cast<uint32_t>(image.width());
    const uint32_t h = static_cast<uint32_t>(image.height());
    const uint32_t stride = (w * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * h;
    const uint32_t offset = 14 + 40;
    std::vector<uint8_t> out;
    out.reserve(offset + dataSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + dataSize);
    put32(out, 0);
    put32(out, offset);
    put32(out, 40); // information header size
    put32(out, w);
    put32(out, h);  // positive: rows stored bottom-up
    put16(out, 1);  // planes
    put16(out, 24); // bits per pixel
    put32(out, 0);  // no compression
    put32(out, dataSize);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (uint32_t row = 0; row < h; ++row) {
        int y = static_cast<int>(h - 1 - row);
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t c[3];
            image.rgb8(static_cast<int>(x), y, c);
            out.push_back(c[2]);
            out.push_back(c[1]);
            out.push_back(c[0]);
        }
        for (uint32_t p = w * 3; p < stride; ++p) {
            out.push_back(0);
        }
    }
    return out;
}

bool BmpFile::decode(const std::vector<uint8_t>& bytes, Decoded& out) {
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        return false;
    }
    if (get32(bytes, 2) > bytes.size() || get32(bytes, 14) < 40 || get16(bytes, 26) != 1) {
        return false;
    }
    int32_t w = static_cast<int32_t>(get32(bytes, 18));
    int32_t h = static_cast<int32_t>(get32(bytes, 22));
    out.bitsPerPixel = static_cast<int>(get16(bytes, 28));
    if (w <= 0 || h <= 0 || out.bitsPerPixel != 24 || get32(bytes, 30) != 0) {
        return false;
    }
    uint32_t offset = get32(bytes, 10);
    uint32_t stride = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    if (offset + static_cast<uint64_t>(stride) * h > bytes.size()) {
        return false;
    }
    out.width = w;
    out.height = h;
    out.rgb.assign(static_cast<size_t>(w) * h * 3, 0);
    for (int32_t row = 0; row < h; ++row) {
        int32_t y = h - 1 - row;
        const uint8_t* src = &bytes[offset + static_cast<size_t>(row) * stride];
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* dst = &out.rgb[(static_cast<size_t>(y) * w + x) * 3];
            dst[0] = src[x * 3 + 2];
            dst[1] = src[x * 3 + 1];
            dst[2] = src[x * 3];
        }
    }
    return true;
}

} // namespace content
