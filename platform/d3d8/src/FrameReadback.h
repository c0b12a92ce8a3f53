// Reads presented pictures back without stopping the pipeline. A picture is read only once
// a later frame has been queued behind it and its own drawing is done: read at once, the
// read would wait for the rasteriser to finish the frame, and the program could not
// prepare the next one meanwhile.
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

    // Notes that width x height pixels of the framebuffer's colour attachment are to be
    // read once what is queued now has been drawn. The attachment must keep the picture
    // until deliver() has handed it over. The GL context must be current; false when GL
    // refused.
    bool queue(GLuint framebuffer, uint32_t width, uint32_t height);
    // Hands over, oldest first, the reads beyond the last `keep`; each waits for its
    // fence. A read GL refuses is handed over as nothing (null pixels).
    void deliver(size_t keep, const Receiver& receiver);
    size_t pending() const { return reads.size(); }
    // Hands over everything queued.
    void release(const Receiver& receiver);

private:
    struct Read {
        GLuint framebuffer = 0;
        GLsync fence = nullptr;
        uint32_t width = 0;
        uint32_t height = 0;
    };

    std::deque<Read> reads;
    std::vector<uint8_t> pixels; // kept for the next read
};
