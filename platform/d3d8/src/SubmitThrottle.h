// Keeps the drawing queued for the rasteriser small. Mesa's software rasteriser bins every
// triangle of a batch, once for each 64 x 64 tile it touches, before it draws any: a frame
// of large overlapping meshes holds about 20 MB of binned triangles until it is drawn, and
// the frames in flight hold that several times over. Handing the work over in batches of a
// bounded number of primitives, and waiting when too many batches are still queued, bounds
// that memory; the rasteriser also starts on a frame sooner. The pictures are the same:
// batches are drawn in order, each on what the one before left.
#pragma once

#include "GlCheck.h"

#include <cstddef>
#include <cstdint>
#include <deque>

class SubmitThrottle {
public:
    // Primitives drawn before the batch is handed to the rasteriser.
    static constexpr uint32_t BATCH_PRIMITIVES = 1024;
    // Batches that may wait for the rasteriser before drawing waits for the oldest.
    static constexpr size_t MAX_QUEUED_BATCHES = 2;

    SubmitThrottle() = default;
    SubmitThrottle(const SubmitThrottle&) = delete;
    SubmitThrottle& operator=(const SubmitThrottle&) = delete;
    ~SubmitThrottle();

    // After a draw of `primitives` primitives; the GL context must be current.
    void drawn(uint32_t primitives);
    // The frame was handed over (Present flushes): the next batch starts empty.
    void frameEnded() { sinceBatch = 0; }
    // Batches handed over whose drawing may not have finished.
    size_t queuedBatches() const { return batches.size(); }
    uint32_t primitivesInBatch() const { return sinceBatch; }
    // Forgets the fences; the GL context must be current.
    void release();

private:
    uint32_t sinceBatch = 0;
    std::deque<GLsync> batches;
};
