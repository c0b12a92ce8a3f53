#include "FrameReadback.h"

namespace {
// One second: a read that takes longer than this is stuck, not slow.
constexpr GLuint64 WAIT_NS = 1000000000ull;
} // namespace

FrameReadback::~FrameReadback() {
    // Without a current context nothing can be deleted; release() is the normal way out.
    for (Read& read : reads) {
        glDeleteSync(read.fence);
        glDeleteBuffers(1, &read.buffer);
    }
    if (!spare.empty()) {
        glDeleteBuffers(static_cast<GLsizei>(spare.size()), spare.data());
    }
}

bool FrameReadback::queue(GLuint framebuffer, uint32_t width, uint32_t height) {
    Read read;
    read.width = width;
    read.height = height;
    if (!spare.empty()) {
        read.buffer = spare.back();
        spare.pop_back();
    } else {
        glGenBuffers(1, &read.buffer);
    }
    const GLsizeiptr size = GLsizeiptr{width} * height * 4;
    glBindBuffer(GL_PIXEL_PACK_BUFFER, read.buffer);
    GLint capacity = 0;
    glGetBufferParameteriv(GL_PIXEL_PACK_BUFFER, GL_BUFFER_SIZE, &capacity);
    if (capacity != size) {
        glBufferData(GL_PIXEL_PACK_BUFFER, size, nullptr, GL_STREAM_READ);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    // Our targets keep Direct3D's top row at GL row 0, so the rows come top first.
    glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_BGRA,
                 GL_UNSIGNED_BYTE, nullptr);
    read.fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    // Starts the rasteriser on what is queued, without waiting for it.
    glFlush();
    if (glCheckErrors("read back") != 0 || read.fence == nullptr) {
        glDeleteSync(read.fence);
        spare.push_back(read.buffer);
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
        glBindBuffer(GL_PIXEL_PACK_BUFFER, read.buffer);
        const size_t pitch = size_t{read.width} * 4;
        const void* pixels =
            waited == GL_WAIT_FAILED
                ? nullptr
                : glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0,
                                   static_cast<GLsizeiptr>(pitch * read.height), GL_MAP_READ_BIT);
        receiver(static_cast<const uint8_t*>(pixels), read.width, read.height, pitch);
        if (pixels != nullptr) {
            glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
        }
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        spare.push_back(read.buffer);
    }
}

void FrameReadback::release(const Receiver& receiver) {
    deliver(0, receiver);
    if (!spare.empty()) {
        glDeleteBuffers(static_cast<GLsizei>(spare.size()), spare.data());
        spare.clear();
    }
}
