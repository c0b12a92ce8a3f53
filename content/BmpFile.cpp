#include "content/BmpFile.h"

#include "common/LittleEndian.h"

namespace content {

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
    putLe32(out, offset + dataSize);
    putLe32(out, 0);
    putLe32(out, offset);
    putLe32(out, 40); // information header size
    putLe32(out, w);
    putLe32(out, h);  // positive: rows stored bottom-up
    putLe16(out, 1);  // planes
    putLe16(out, 24); // bits per pixel
    putLe32(out, 0);  // no compression
    putLe32(out, dataSize);
    putLe32(out, 2835); // 72 dpi
    putLe32(out, 2835);
    putLe32(out, 0);
    putLe32(out, 0);
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
    if (getLe32(bytes, 2) > bytes.size() || getLe32(bytes, 14) < 40 || getLe16(bytes, 26) != 1) {
        return false;
    }
    int32_t w = static_cast<int32_t>(getLe32(bytes, 18));
    int32_t h = static_cast<int32_t>(getLe32(bytes, 22));
    out.bitsPerPixel = static_cast<int>(getLe16(bytes, 28));
    if (w <= 0 || h <= 0 || out.bitsPerPixel != 24 || getLe32(bytes, 30) != 0) {
        return false;
    }
    uint32_t offset = getLe32(bytes, 10);
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
