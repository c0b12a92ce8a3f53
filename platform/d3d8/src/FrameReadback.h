// Reads presented pictures back without stopping the pipeline: each read goes into a
// pixel-pack buffer behind a fence, and is handed over once a later frame has been
// queued behind it, so the rasteriser works on the next frame meanwhile.
#pragma once

#include "GlCheck.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

class FrameReadback {
public:
    // A picture as read: rows top first, 4 bytes a pixel in B, G, R, A order.
    using Receiver =
        std::function<void(const uint8_t* bgra, uint32_t width, uint32_t height, size_t pitch)>;

    FrameReadback() = default;
    ~FrameReadback();
    FrameReadback(const FrameReadback&) = delete;
    FrameReadback& operator=(const FrameReadback&) = delete;

    // Starts reading width x height pixels of the framebuffer's colour attachment;
    // the GL context must be current. False when GL refused the read.
    bool queue(GLuint framebuffer, uint32_t width, uint32_t height);
    // Hands over, oldest first, the reads beyond the last `keep`; each waits for its
    // fence. A read that cannot be mapped is handed over as nothing (null pixels).
    void deliver(size_t keep, const Receiver& receiver);
    size_t pending() const { return reads.size(); }
    // Hands over everything queued, then deletes the GL objects.
    void release(const Receiver& receiver);

private:
    struct Read {
        GLuint buffer = 0;
        GLsync fence = nullptr;
        uint32_t width = 0;
        uint32_t height = 0;
    };

    std::deque<Read> reads;
    std::vector<GLuint> spare; // buffers handed over, kept for the next reads
};
