#include "FrameReadback.h"

namespace {
// One second: a read that takes longer than this is stuck, not slow.
constexpr GLuint64 WAIT_NS = 1000000000ull;
} // namespace

FrameReadback::~FrameReadback() {
    // Without a current context nothing can be deleted; release() is the normal way out.
    for (Read& read : reads) {
        glDeleteSync(read.fence);
    }
}

bool FrameReadback::queue(GLuint framebuffer, uint32_t width, uint32_t height) {
    Read read;
    read.framebuffer = framebuffer;
    read.width = width;
    read.height = height;
    read.fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    // Starts the rasteriser on what is queued, without waiting for it.
    glFlush();
    if (glCheckErrors("read back") != 0 || read.fence == nullptr) {
        glDeleteSync(read.fence);
        return false;
    }
    reads.push_back(read);
    return true;
}

void FrameReadback::deliver(size_t keep, const Receiver& receiver) {
    while (reads.size() > keep) {
        Read read = reads.front();
        reads.pop_front();
        GLenum waited = glClientWaitSync(read.fence, GL_SYNC_FLUSH_COMMANDS_BIT, WAIT_NS);
        while (waited == GL_TIMEOUT_EXPIRED) {
            waited = glClientWaitSync(read.fence, 0, WAIT_NS);
        }
        glDeleteSync(read.fence);
        const size_t pitch = size_t{read.width} * 4;
        pixels.resize(pitch * read.height);
        bool ok = waited != GL_WAIT_FAILED;
        if (ok) {
            // The frame is drawn and nothing queued since writes its target, so the read
            // copies at once.
            glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
            glBindFramebuffer(GL_READ_FRAMEBUFFER, read.framebuffer);
            glPixelStorei(GL_PACK_ALIGNMENT, 4);
            glPixelStorei(GL_PACK_ROW_LENGTH, 0);
            // Our targets keep Direct3D's top row at GL row 0, so the rows come top first.
            glReadPixels(0, 0, static_cast<GLsizei>(read.width), static_cast<GLsizei>(read.height),
                         GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
            ok = glCheckErrors("read back") == 0;
        }
        receiver(ok ? pixels.data() : nullptr, read.width, read.height, pitch);
    }
}

void FrameReadback::release(const Receiver& receiver) {
    deliver(0, receiver);
    pixels = std::vector<uint8_t>();
}
