// The presenter's copy of an 800 x 600 picture into a 1920 x 1080 window (1440 x 1080 of
// picture, bars left and right), as a textured quad, as the linear blit it replaced, and
// as the software rasteriser's presenter makes it under X: read back and scaled by the CPU
// (without the X server's copy into the window). CPU time of the whole process per copy, the
// rasteriser's threads included; each copy is waited for.
#include "BilinearScaler.h"
#include "GlContext.h"
#include "Presenter.h"
#include "ScaledCopy.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int WINDOW_WIDTH = 1920, WINDOW_HEIGHT = 1080;

// The picture and a window-sized target on the process's context.
struct CopyScene {
    GLuint picture = 0, window = 0, windowFramebuffer = 0, pictureFramebuffer = 0;

    // False, with the benchmark marked skipped, without a context.
    bool open(benchmark::State& state) {
        GlContext* context = GlContext::get();
        if (context == nullptr || !context->makeCurrent(nullptr)) {
            state.SkipWithError("no OpenGL 3.3 context");
            return false;
        }
        std::vector<uint32_t> pixels(800 * 600);
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
        }
        glGenTextures(1, &picture);
        glBindTexture(GL_TEXTURE_2D, picture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 800, 600, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     pixels.data());
        glGenTextures(1, &window);
        glBindTexture(GL_TEXTURE_2D, window);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, WINDOW_WIDTH, WINDOW_HEIGHT, 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glGenFramebuffers(1, &windowFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, windowFramebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, window, 0);
        glGenFramebuffers(1, &pictureFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, pictureFramebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, picture, 0);
        return true;
    }
    ~CopyScene() {
        glDeleteFramebuffers(1, &windowFramebuffer);
        glDeleteFramebuffers(1, &pictureFramebuffer);
        glDeleteTextures(1, &picture);
        glDeleteTextures(1, &window);
    }
    Presenter::Frame frame() const {
        Presenter::Frame f;
        f.texture = picture;
        f.textureWidth = 800;
        f.textureHeight = 600;
        f.source = RECT{0, 0, 800, 600};
        f.drawableWidth = WINDOW_WIDTH;
        f.drawableHeight = WINDOW_HEIGHT;
        return f;
    }
};

void BM_WindowCopyQuad(benchmark::State& state) {
    CopyScene scene;
    if (!scene.open(state)) {
        return;
    }
    ScaledCopy copy;
    const Presenter::Frame f = scene.frame();
    for (auto _ : state) {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, scene.windowFramebuffer);
        copy.draw(f.texture, f.textureWidth, f.textureHeight, f.source, f.drawableWidth,
                  f.drawableHeight);
        glFinish();
    }
    glUseProgram(0);
    glBindVertexArray(0);
    glBindSampler(0, 0);
}
BENCHMARK(BM_WindowCopyQuad)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_WindowCopyLinearBlit(benchmark::State& state) {
    CopyScene scene;
    if (!scene.open(state)) {
        return;
    }
    const Presenter::Frame f = scene.frame();
    for (auto _ : state) {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, scene.windowFramebuffer);
        Presenter::drawScaled(scene.pictureFramebuffer, f);
        glFinish();
    }
}
BENCHMARK(BM_WindowCopyLinearBlit)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_WindowCopyCpu(benchmark::State& state) {
    CopyScene scene;
    if (!scene.open(state)) {
        return;
    }
    std::vector<uint8_t> picture(800 * 600 * 4);
    std::vector<uint8_t> window(size_t(WINDOW_WIDTH) * WINDOW_HEIGHT * 4);
    BilinearScaler scaler;
    for (auto _ : state) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, scene.pictureFramebuffer);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
        scaler.prepare(800, 600, BilinearScaler::Area{0, 0, 800, 600}, 1440, 1080);
        scaler.scale(picture.data(), 800 * 4, window.data() + 240 * 4, WINDOW_WIDTH * 4);
        benchmark::DoNotOptimize(window.data());
    }
}
BENCHMARK(BM_WindowCopyCpu)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

} // namespace
