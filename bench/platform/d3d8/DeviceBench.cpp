// What the device costs: CPU time per screen-space quad with a texture change between
// draws, and the frame time of ten full-screen additive textured quads, next to the same
// frame drawn with OpenGL directly.
#include "BenchScene.h"
#include "PlatformOptions.h"
#include <d3d8.h>
#include <windows.h>

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace bench;

void quad(Vertex* v, float x0, float y0, float x1, float y1, D3DCOLOR color) {
    v[0] = {x0, y0, 0.5f, 1.0f, color, 0.0f, 0.0f};
    v[1] = {x1, y0, 0.5f, 1.0f, color, 1.0f, 0.0f};
    v[2] = {x1, y1, 0.5f, 1.0f, color, 1.0f, 1.0f};
    v[3] = {x0, y1, 0.5f, 1.0f, color, 0.0f, 1.0f};
}

// CPU time of one small textured quad from memory; with range(0) 1 the texture changes
// between draws, with 0 it stays (for comparison).
void BM_DrawPrimitiveUPWithTextureChange(benchmark::State& state) {
    const int64_t change = state.range(0);
    Scene scene;
    if (scene.openOrSkip(state) == nullptr) {
        return;
    }
    Vertex v[4];
    quad(v, 10, 10, 26, 26, 0xFFFFFFFF);
    IDirect3DDevice8* device = scene.device;
    device->BeginScene();
    for (int i = 0; i < 2; ++i) { // compiles the rasteriser's code before the timing
        device->SetTexture(0, scene.textures[i]);
        device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, v, sizeof(Vertex));
    }
    int64_t draws = 0;
    for (auto _ : state) {
        device->SetTexture(0, scene.textures[draws & change]);
        device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, v, sizeof(Vertex));
        // A frame's worth at a time, so the queue stays as short as a real frame's.
        if (++draws % 1000 == 0) {
            device->EndScene();
            device->Present(nullptr, nullptr, nullptr, nullptr);
            device->BeginScene();
        }
    }
    device->EndScene();
    device->SetTexture(0, nullptr);
    scene.close();
    state.SetItemsProcessed(draws);
}
BENCHMARK(BM_DrawPrimitiveUPWithTextureChange)->Arg(1)->Arg(0);

// One frame: clear, ten full-screen additive textured quads, present, wait for it. The CPU
// column counts every thread of the process, the rasteriser's included: on a loaded machine
// it compares the work done more fairly than the wall clock.
void BM_TenFullScreenAdditiveQuads_Device(benchmark::State& state) {
    Scene scene;
    IDirect3DDevice8* device = scene.openOrSkip(state);
    if (device == nullptr) {
        return;
    }
    device->SetTexture(0, scene.textures[0]);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    Vertex v[4];
    quad(v, 0, 0, WIDTH, HEIGHT, 0xFF191919);
    scene.runFrames(state, [&](int) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        for (int i = 0; i < 10; ++i) {
            device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, v, sizeof(Vertex));
        }
        device->EndScene();
    });
    device->SetTexture(0, nullptr);
    scene.close();
}
BENCHMARK(BM_TenFullScreenAdditiveQuads_Device)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

GLuint compileProgram() {
    const char* vs = "#version 330 core\n"
                     "layout(location = 0) in vec2 aPosition;\n"
                     "layout(location = 1) in vec2 aTex;\n"
                     "out vec2 vTex;\n"
                     "void main() { vTex = aTex; gl_Position = vec4(aPosition, 0.5, 1.0); }\n";
    const char* fs = "#version 330 core\n"
                     "in vec2 vTex;\nuniform sampler2D uTexture;\nuniform vec4 uColor;\n"
                     "out vec4 fragColor;\n"
                     "void main() { fragColor = texture(uTexture, vTex) * uColor; }\n";
    GLuint program = glCreateProgram();
    for (auto [type, source] :
         {std::pair{GL_VERTEX_SHADER, vs}, std::pair{GL_FRAGMENT_SHADER, fs}}) {
        GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    return program;
}

// OpenGL directly, with what the device keeps: a target of its own, two noise textures,
// a program that multiplies texture and colour.
struct RawGl {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    SDL_Window* previousWindow = nullptr;
    SDL_GLContext previous = nullptr;
    GLuint program = 0, vao = 0, vbo = 0, target = 0, framebuffer = 0;
    GLuint textures[2] = {};

    bool open(float x0, float y0, float x1, float y1) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        previous = SDL_GL_GetCurrentContext();
        previousWindow = SDL_GL_GetCurrentWindow();
        window = SDL_CreateWindow("", 0, 0, WIDTH, HEIGHT, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        context = window ? SDL_GL_CreateContext(window) : nullptr;
        if (context == nullptr) {
            return false;
        }
        SDL_GL_MakeCurrent(window, context);
        SDL_GL_SetSwapInterval(0);
        program = compileProgram();
        glGenVertexArrays(1, &vao);
        glBindVertexArray(vao);
        // Clip-space corners of the rectangle (x0, y0) to (x1, y1) in pixels.
        auto cx = [](float x) { return x / WIDTH * 2.0f - 1.0f; };
        auto cy = [](float y) { return y / HEIGHT * 2.0f - 1.0f; };
        const float vertices[] = {cx(x0), cy(y0), 0, 0, cx(x1), cy(y0), 1, 0,
                                  cx(x1), cy(y1), 1, 1, cx(x0), cy(y1), 0, 1};
        glGenBuffers(1, &vbo);
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glBufferData(GL_ARRAY_BUFFER, sizeof(vertices), vertices, GL_STATIC_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<void*>(8));
        std::vector<uint32_t> noise(256 * 256);
        uint32_t seed = 1;
        glGenTextures(2, textures);
        for (GLuint texture : textures) {
            for (auto& texel : noise) {
                seed = seed * 214013 + 2531011;
                texel = 0xFF000000 | (seed >> 8);
            }
            glBindTexture(GL_TEXTURE_2D, texture);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 256, 256, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                         noise.data());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        }
        glGenTextures(1, &target);
        glBindTexture(GL_TEXTURE_2D, target);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, WIDTH, HEIGHT, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     nullptr);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);
        glBindTexture(GL_TEXTURE_2D, textures[0]);
        glUseProgram(program);
        glUniform4f(glGetUniformLocation(program, "uColor"), 0.1f, 0.1f, 0.1f, 1.0f);
        glViewport(0, 0, WIDTH, HEIGHT);
        return true;
    }

    void present() {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBlitFramebuffer(0, 0, WIDTH, HEIGHT, 0, HEIGHT, WIDTH, 0, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
        SDL_GL_SwapWindow(window);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    }

    void close() {
        if (context == nullptr) {
            return;
        }
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &target);
        glDeleteTextures(2, textures);
        glDeleteBuffers(1, &vbo);
        glDeleteVertexArrays(1, &vao);
        glDeleteProgram(program);
        SDL_GL_MakeCurrent(previousWindow, previous);
        SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
    }
};

// The quad of the first figure, drawn with OpenGL directly from a static buffer: the cost
// of the texture change in the GL driver itself.
void BM_DrawQuadWithTextureChange_RawOpenGL(benchmark::State& state) {
    RawGl gl;
    if (!gl.open(10, 10, 26, 26)) {
        state.SkipWithError("no GL context");
        return;
    }
    const int64_t change = state.range(0);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4); // compiles the rasteriser's code before the timing
    int64_t draws = 0;
    for (auto _ : state) {
        glBindTexture(GL_TEXTURE_2D, gl.textures[draws & change]);
        glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
        if (++draws % 1000 == 0) {
            gl.present();
        }
    }
    gl.close();
    state.SetItemsProcessed(draws);
}
BENCHMARK(BM_DrawQuadWithTextureChange_RawOpenGL)->Arg(1)->Arg(0);

// The same frame in OpenGL directly: the figure the device is measured against.
void BM_TenFullScreenAdditiveQuads_RawOpenGL(benchmark::State& state) {
    RawGl gl;
    if (!gl.open(0, 0, WIDTH, HEIGHT)) {
        state.SkipWithError("no GL context");
        return;
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    uint32_t pixel = 0;
    auto frame = [&] {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        for (int i = 0; i < 10; ++i) {
            glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
        }
        gl.present();
        glReadPixels(0, 0, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, &pixel);
    };
    frame();
    frame();
    for (auto _ : state) {
        frame();
    }
    benchmark::DoNotOptimize(pixel);
    gl.close();
}
BENCHMARK(BM_TenFullScreenAdditiveQuads_RawOpenGL)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Headless unless told otherwise, as the tests run.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    PlatformOptions::get().headless = std::strcmp(std::getenv("SDL_VIDEODRIVER"), "offscreen") == 0;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
