#include "ScaledCopy.h"

#include <SDL.h>

#include <cstdint>

namespace {

// The quad's corners come from the vertex number: no vertex buffer. place is the window
// rectangle in clip space (left, bottom, right, top), source the texture rectangle in
// texture coordinates (left, top, right, bottom), so the window's top shows the source's
// top row.
const char* const VERTEX_SHADER = R"(#version 330 core
uniform vec4 place;
uniform vec4 source;
noperspective out vec2 texcoord;
void main() {
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    texcoord = mix(source.xw, source.zy, corner);
    gl_Position = vec4(mix(place.xy, place.zw, corner), 0.0, 1.0);
}
)";

const char* const FRAGMENT_SHADER = R"(#version 330 core
uniform sampler2D picture;
noperspective in vec2 texcoord;
out vec4 color;
void main() {
    color = textureLod(picture, texcoord, 0.0);
}
)";

GLuint compile(GLenum type, const char* text) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

ScaledCopy::Placement ScaledCopy::place(int sourceWidth, int sourceHeight, int windowWidth,
                                        int windowHeight) {
    if (sourceWidth <= 0 || sourceHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) {
        return {};
    }
    int64_t w = windowWidth, h = static_cast<int64_t>(windowWidth) * sourceHeight / sourceWidth;
    if (h > windowHeight) {
        h = windowHeight;
        w = static_cast<int64_t>(windowHeight) * sourceWidth / sourceHeight;
    }
    return {static_cast<int>((windowWidth - w) / 2), static_cast<int>((windowHeight - h) / 2),
            static_cast<int>(w), static_cast<int>(h)};
}

ScaledCopy::ScaledCopy() {
    GLuint vertex = compile(GL_VERTEX_SHADER, VERTEX_SHADER);
    GLuint fragment = compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER);
    if (vertex != 0 && fragment != 0) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint ok = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (ok != GL_TRUE) {
            glDeleteProgram(program);
            program = 0;
        }
    }
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (program == 0) {
        SDL_LogWarn(SDL_LOG_CATEGORY_RENDER, "letterbox: the window's copy program failed");
        return;
    }
    placeLocation = glGetUniformLocation(program, "place");
    sourceLocation = glGetUniformLocation(program, "source");
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "picture"), 0);
    glGenVertexArrays(1, &vertexArray);
    glGenSamplers(1, &sampler);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

ScaledCopy::~ScaledCopy() {
    glDeleteSamplers(1, &sampler);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteProgram(program);
}

void ScaledCopy::draw(GLuint texture, int textureWidth, int textureHeight, const RECT& source,
                      int windowWidth, int windowHeight) {
    const int sw = source.right - source.left, sh = source.bottom - source.top;
    const Placement at = place(sw, sh, windowWidth, windowHeight);
    if (at.width <= 0 || !valid() || textureWidth <= 0 || textureHeight <= 0) {
        return;
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    // The bars come from one clear of the whole window: the software rasteriser fills a
    // whole target at memory speed, where a clear confined to the bars by a scissor is drawn
    // as quads and cost more than filling the window.
    glClear(GL_COLOR_BUFFER_BIT);
    const int right = at.x + at.width, top = at.y + at.height;
    // One texel per window pixel when the sizes match: nothing to filter.
    const GLint filter = at.width == sw && at.height == sh ? GL_NEAREST : GL_LINEAR;
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, filter);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, filter);
    glViewport(0, 0, windowWidth, windowHeight);
    glUseProgram(program);
    const float toClipX = 2.0f / static_cast<float>(windowWidth);
    const float toClipY = 2.0f / static_cast<float>(windowHeight);
    glUniform4f(placeLocation, static_cast<float>(at.x) * toClipX - 1.0f,
                static_cast<float>(at.y) * toClipY - 1.0f,
                static_cast<float>(right) * toClipX - 1.0f,
                static_cast<float>(top) * toClipY - 1.0f);
    const float tw = static_cast<float>(textureWidth), th = static_cast<float>(textureHeight);
    glUniform4f(sourceLocation, static_cast<float>(source.left) / tw,
                static_cast<float>(source.top) / th, static_cast<float>(source.right) / tw,
                static_cast<float>(source.bottom) / th);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindSampler(0, sampler);
    glBindVertexArray(vertexArray);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    // The texture is the device's: let go of it so the device may draw into it again.
    glBindTexture(GL_TEXTURE_2D, 0);
}
