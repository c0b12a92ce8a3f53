// Reads presented pictures back without stopping the pipeline. A picture is read only once
// a later frame has been queued behind it and its own drawing is done: read at once, the
// read would wait for the rasteriser to finish the frame, and the program could not
// prepare the next one meanwhile.
//
// The pixels are copied through a second context sharing the device's textures. The
// software rasteriser counts a texture as in use until it recycles the batches that drew
// into it, and a read of a texture in use waits for what the reading context has queued
// (the next frame, in the device's context); the fence has already said the picture is
// drawn. Measured, the reads wait less this way, though not always nothing.
#pragma once

#include "GlCheck.h"

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
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

    // Notes that width x height pixels of a 2D texture, also attached as colour to the
    // framebuffer, are to be read once what is queued now has been drawn. The texture must
    // keep the picture until deliver() has handed it over. The GL context must be current;
    // false when GL refused.
    bool queue(GLuint framebuffer, GLuint texture, uint32_t width, uint32_t height);
    // Hands over, oldest first, the reads beyond the last `keep`; each waits for its
    // fence. A read GL refuses is handed over as nothing (null pixels).
    void deliver(size_t keep, const Receiver& receiver);
    size_t pending() const { return reads.size(); }
    // Hands over everything queued, and lets go of the second context.
    void release(const Receiver& receiver);

private:
    struct Read {
        GLuint framebuffer = 0;
        GLuint texture = 0;
        GLsync fence = nullptr;
        uint32_t width = 0;
        uint32_t height = 0;
    };

    // Copies the picture into `pixels` through the given framebuffer of the current context.
    bool readPixels(GLuint framebuffer, const Read& read);
    // Reads through the second context, made current on the device's window for the read,
    // and answers whether GL took the read; nothing when there is no second context, and
    // the caller reads in its own.
    std::optional<bool> readInOwnContext(const Read& read);

    std::deque<Read> reads;
    std::vector<uint8_t> pixels; // kept for the next read
    SDL_GLContext readContext = nullptr;
    GLuint readFramebuffer = 0; // the second context's own: framebuffers are not shared
    bool readContextTried = false;
};
