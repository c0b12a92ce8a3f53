#include "SubmitThrottle.h"

namespace {
// One second: a batch that takes longer than this is stuck, not slow.
constexpr GLuint64 WAIT_NS = 1000000000ull;
} // namespace

SubmitThrottle::~SubmitThrottle() {
    release();
}

void SubmitThrottle::drawn(uint32_t primitives) {
    if constexpr (GL_DIALECT_ES) {
        return; // WebGL waits on no fence: the browser paces what it is given itself
    }
    sinceBatch += primitives;
    if (sinceBatch < BATCH_PRIMITIVES) {
        return;
    }
    sinceBatch = 0;
    // Batches already drawn need no waiting for.
    while (!batches.empty() && glClientWaitSync(batches.front(), 0, 0) != GL_TIMEOUT_EXPIRED) {
        glDeleteSync(batches.front());
        batches.pop_front();
    }
    if (GLsync fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0)) {
        batches.push_back(fence);
    }
    glFlush();
    while (batches.size() > MAX_QUEUED_BATCHES) {
        GLsync oldest = batches.front();
        batches.pop_front();
        while (glClientWaitSync(oldest, 0, WAIT_NS) == GL_TIMEOUT_EXPIRED) {
        }
        glDeleteSync(oldest);
    }
}

void SubmitThrottle::release() {
    for (GLsync fence : batches) {
        glDeleteSync(fence);
    }
    batches.clear();
    sinceBatch = 0;
}
