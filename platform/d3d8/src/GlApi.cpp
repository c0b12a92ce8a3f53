#include "GlApi.h"

#include <cstring>
#include <utility>
#include <vector>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

namespace {

// Red and blue trade places in each of count pixels.
void swapRedBlue(uint8_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        std::swap(pixels[i * 4], pixels[i * 4 + 2]);
    }
}

// Holds an upload's B, G, R, A rows, as the unpack row length describes them, as tight R, G,
// B, A rows, and sets the row length to 0 for their upload and back afterwards.
class RgbaUpload {
public:
    RgbaUpload(const void* bgra, GLsizei width, GLsizei height) {
        glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
        const size_t rowPixels = rowLength > 0 ? static_cast<size_t>(rowLength) : width;
        const size_t tight = static_cast<size_t>(width) * 4;
        rgba.resize(tight * static_cast<size_t>(height));
        const auto* source = static_cast<const uint8_t*>(bgra);
        for (GLsizei y = 0; y < height; ++y) {
            std::memcpy(rgba.data() + tight * y, source + rowPixels * 4 * y, tight);
        }
        swapRedBlue(rgba.data(), rgba.size() / 4);
        if (rowLength != 0) {
            glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        }
    }
    ~RgbaUpload() {
        if (rowLength != 0) {
            glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
        }
    }
    RgbaUpload(const RgbaUpload&) = delete;
    RgbaUpload& operator=(const RgbaUpload&) = delete;

    const uint8_t* pixels() const { return rgba.data(); }

private:
    GLint rowLength = 0;
    std::vector<uint8_t> rgba;
};

} // namespace

// clang-format off
EM_JS(void, browserProvokingVertexFirst, (), {
    var gl = GLctx;
    var extension = gl && gl.getExtension('WEBGL_provoking_vertex');
    if (extension) {
        extension.provokingVertexWEBGL(extension.FIRST_VERTEX_CONVENTION_WEBGL);
    }
});
// clang-format on

bool glVersionSufficient() {
    return true;
}

void glProvokingVertex(GLenum mode) {
    if (mode == GL_FIRST_VERTEX_CONVENTION) {
        browserProvokingVertexFirst();
    }
}

void glWriteUnsynchronised(GLenum target, GLintptr offset, GLsizeiptr size, const void* data) {
    glBufferSubData(target, offset, size, data);
}

void glDeclareIndexBuffer(GLuint buffer) {
    // The element binding belongs to the vertex array the device draws with: put it back.
    GLint bound = 0;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &bound);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLuint>(bound));
}

void glTexImage2DBgra(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                      GLsizei height, const void* bgra) {
    const RgbaUpload upload(bgra, width, height);
    glTexImage2D(target, level, internalFormat, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 upload.pixels());
}

void glTexSubImage2DBgra(GLenum target, GLint level, GLint x, GLint y, GLsizei width,
                         GLsizei height, const void* bgra) {
    const RgbaUpload upload(bgra, width, height);
    glTexSubImage2D(target, level, x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, upload.pixels());
}

void glReadPixelsBgra(GLint x, GLint y, GLsizei width, GLsizei height, void* bgra) {
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bgra);
    GLint rowLength = 0;
    glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
    const size_t rowPixels = rowLength > 0 ? static_cast<size_t>(rowLength) : width;
    auto* rows = static_cast<uint8_t*>(bgra);
    for (GLsizei row = 0; row < height; ++row) {
        swapRedBlue(rows + rowPixels * 4 * row, static_cast<size_t>(width));
    }
}

#else

bool glVersionSufficient() {
    return epoxy_gl_version() >= 33;
}

void glDeclareIndexBuffer(GLuint) {}

void glWriteUnsynchronised(GLenum target, GLintptr offset, GLsizeiptr size, const void* data) {
    void* mapped = glMapBufferRange(target, offset, size,
                                    GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT |
                                        GL_MAP_INVALIDATE_RANGE_BIT);
    if (mapped != nullptr) {
        std::memcpy(mapped, data, static_cast<size_t>(size));
        glUnmapBuffer(target);
    }
}

void glTexImage2DBgra(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                      GLsizei height, const void* bgra) {
    glTexImage2D(target, level, internalFormat, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
}

void glTexSubImage2DBgra(GLenum target, GLint level, GLint x, GLint y, GLsizei width,
                         GLsizei height, const void* bgra) {
    glTexSubImage2D(target, level, x, y, width, height, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
}

void glReadPixelsBgra(GLint x, GLint y, GLsizei width, GLsizei height, void* bgra) {
    glReadPixels(x, y, width, height, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
}

#endif
