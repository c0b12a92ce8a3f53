#include "FrameReadback.h"

#include "GlContext.h"

namespace {
// One second: a read that takes longer than this is stuck, not slow.
constexpr GLuint64 WAIT_NS = 1000000000ull;
} // namespace

FrameReadback::~FrameReadback() {
    // Without a current context nothing can be deleted; release() is the normal way out.
    for (Read& read : reads) {
        glDeleteSync(read.fence);
    }
    if (readContext != nullptr) {
        SDL_GL_DeleteContext(readContext);
    }
}

bool FrameReadback::queue(GLuint framebuffer, GLuint texture, uint32_t width, uint32_t height) {
    Read read;
    read.framebuffer = framebuffer;
    read.texture = texture;
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
            const std::optional<bool> own = readInOwnContext(read);
            ok = own ? *own : readPixels(read.framebuffer, read);
        }
        receiver(ok ? pixels.data() : nullptr, read.width, read.height, pitch);
    }
}

void FrameReadback::release(const Receiver& receiver) {
    deliver(0, receiver);
    pixels = std::vector<uint8_t>();
    if (readContext != nullptr) {
        // Its framebuffer goes with it.
        SDL_GL_DeleteContext(readContext);
        readContext = nullptr;
        readFramebuffer = 0;
    }
    readContextTried = false;
}

bool FrameReadback::readPixels(GLuint framebuffer, const Read& read) {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    // Our targets keep Direct3D's top row at GL row 0, so the rows come top first.
    glReadPixels(0, 0, static_cast<GLsizei>(read.width), static_cast<GLsizei>(read.height), GL_BGRA,
                 GL_UNSIGNED_BYTE, pixels.data());
    return glCheckErrors("read back") == 0;
}

std::optional<bool> FrameReadback::readInOwnContext(const Read& read) {
    SDL_GLContext device = SDL_GL_GetCurrentContext();
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    if (device == nullptr || window == nullptr || read.texture == 0) {
        return std::nullopt;
    }
    if (!readContextTried) {
        readContextTried = true;
        readContext = GlContext::createShared(window, "reading pictures back");
    }
    if (readContext == nullptr || SDL_GL_MakeCurrent(window, readContext) != 0) {
        return std::nullopt;
    }
    if (readFramebuffer == 0) {
        // Nothing else uses this context: its framebuffer stays bound for reading.
        glGenFramebuffers(1, &readFramebuffer);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
    }
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, read.texture,
                           0);
    const bool ok = readPixels(readFramebuffer, read);
    // Attached, the texture would outlive its deletion by the device.
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    SDL_GL_MakeCurrent(window, device);
    return ok;
}
