// The OpenGL the device draws with: OpenGL 3.3 core through libepoxy on the desktop, OpenGL
// ES 3.0 as WebGL 2 offers it in the browser. The device is written against the desktop
// names; where the two differ, the difference lives here: GL_DIALECT_ES tells the device
// which one it speaks, and the helpers below do the few things each does its own way.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>

inline constexpr bool GL_DIALECT_ES = true;

// Desktop names the device's code mentions on paths the browser build never takes (a
// border colour, an LOD bias, quads from points: WebGL 2 has none of these).
#define GL_BGRA 0x80E1
#define GL_CLAMP_TO_BORDER 0x812D
#define GL_TEXTURE_BORDER_COLOR 0x1004
#define GL_TEXTURE_LOD_BIAS 0x8501
#define GL_DEPTH_COMPONENT32 0x81A7
#define GL_PROGRAM_POINT_SIZE 0x8642
#define GL_POINT_SPRITE_COORD_ORIGIN 0x8CA0
#define GL_LOWER_LEFT 0x8CA2
#define GL_FIRST_VERTEX_CONVENTION 0x8E4D
#define GL_GEOMETRY_SHADER 0x8DD9
#define GL_POINT 0x1B00
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02

#define GL_POINT_SIZE_RANGE GL_ALIASED_POINT_SIZE_RANGE

// ES 3.0 draws from no base vertex: the device starts the vertex layout at the base
// instead, and passes a base of 0 here.
inline void glDrawElementsBaseVertex(GLenum mode, GLsizei count, GLenum type, const void* indices,
                                     GLint) {
    glDrawElements(mode, count, type, indices);
}
inline void glClearDepth(double depth) {
    glClearDepthf(static_cast<float>(depth));
}
inline void glDepthRange(double nearValue, double farValue) {
    glDepthRangef(static_cast<float>(nearValue), static_cast<float>(farValue));
}
// WebGL 2 fills every polygon; the program draws filled ones only.
inline void glPolygonMode(GLenum, GLenum) {}
// Points are always sized by the vertex stage, and their coordinates' origin is fixed at
// the upper left: the fragment stage turns it over (SPRITE_COORD below).
inline void glPointParameteri(GLenum, GLint) {}
// Through the browser's WEBGL_provoking_vertex where it has one; the last vertex otherwise.
void glProvokingVertex(GLenum mode);
#else
#include <epoxy/gl.h>

inline constexpr bool GL_DIALECT_ES = false;
#endif

// Whether the current context has what the device draws with: OpenGL 3.3 on the desktop;
// any WebGL 2 context in the browser.
bool glVersionSufficient();

// The first lines of every shader the device compiles: the language version, in the
// browser the precisions ES wants stated, and SPRITE_COORD, a point sprite's coordinate with
// its origin at the lower left. (GL_ names are reserved in GLSL.)
inline const char* glShaderPrologue() {
    if constexpr (GL_DIALECT_ES) {
        return "#version 300 es\n"
               "precision highp float;\nprecision highp int;\nprecision highp sampler2D;\n"
               "#define SPRITE_COORD vec2(gl_PointCoord.x, 1.0 - gl_PointCoord.y)\n";
    }
    return "#version 330 core\n#define SPRITE_COORD gl_PointCoord\n";
}

// Writes size bytes at offset into the buffer bound to target, where no queued draw reads
// them: mapped without synchronising on the desktop; WebGL 2 maps nothing.
void glWriteUnsynchronised(GLenum target, GLintptr offset, GLsizeiptr size, const void* data);

// Marks a new buffer as one that will hold indices. WebGL fixes a buffer's kind at its first
// binding and draws indices from no other kind; the desktop needs nothing.
void glDeclareIndexBuffer(GLuint buffer);

// Texture images from B, G, R, A bytes (Direct3D's A8R8G8B8 in memory). WebGL 2 takes
// R, G, B, A only, so there the rows are reordered on the way.
void glTexImage2DBgra(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                      GLsizei height, const void* bgra);
void glTexSubImage2DBgra(GLenum target, GLint level, GLint x, GLint y, GLsizei width,
                         GLsizei height, const void* bgra);
// Reads B, G, R, A bytes from the bound read framebuffer into memory (the pack state as set).
void glReadPixelsBgra(GLint x, GLint y, GLsizei width, GLsizei height, void* bgra);
