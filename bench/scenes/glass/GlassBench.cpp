// The glass ball scene on the device with its data: a whole tick (update,
// render, present) waited out to the last pixel, and the texture-coordinate
// remap of one ball alone, which the scene does ten times per frame.
#include "GlassBallScene.h"
#include "GraphicsDevice.h"
#include "TestWindow.h"

#include <crtrand.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

struct Setup {
    GraphicsDevice graphics;
    GlassBallScene scene;
    bool ready = false;

    Setup() {
        if (chdir(LETTERBOX_BUILD_DIR) != 0) {
            return;
        }
        HWND window = makeTestWindow("GLASS_BENCH");
        if (window == nullptr || graphics.create(window, 800, 600) != 0) {
            return;
        }
        graphics.setWindowed(0);
        scene.load(&graphics);
        crtSrand(0);
        scene.start();
        ready = scene.ball.getMesh() != nullptr && scene.refraction.quadBuffer != nullptr;
    }

    // Reads one pixel back so that the rasteriser has finished the frame.
    void finish() {
        IDirect3DDevice8* device = graphics.getDevice();
        IDirect3DSurface8* target = nullptr;
        IDirect3DSurface8* image = nullptr;
        device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &target);
        device->CreateImageSurface(1, 1, D3DFMT_A8R8G8B8, &image);
        RECT rect{0, 0, 1, 1};
        POINT origin{0, 0};
        device->CopyRects(target, &rect, 1, image, &origin);
        image->Release();
        target->Release();
    }
};

Setup& setup() {
    static Setup instance;
    return instance;
}

void BM_GlassTick(benchmark::State& state) {
    Setup& s = setup();
    if (!s.ready) {
        state.SkipWithError("no device or no data");
        return;
    }
    IDirect3DDevice8* device = s.graphics.getDevice();
    for (auto _ : state) {
        // Stay before the white-out, where the balls are worth looking at.
        if (s.scene.frameCount >= 470) {
            s.scene.frameCount = 100;
        }
        s.scene.update();
        device->BeginScene();
        s.scene.render();
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        s.finish();
    }
}
BENCHMARK(BM_GlassTick)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_BallRemap(benchmark::State& state) {
    Setup& s = setup();
    if (!s.ready) {
        state.SkipWithError("no device or no data");
        return;
    }
    ID3DXMesh* ball = s.scene.ball.getMesh();
    for (auto _ : state) {
        s.scene.refraction.mapToScreen(ball);
    }
    state.counters["vertices"] = static_cast<double>(ball->GetNumVertices());
}
BENCHMARK(BM_BallRemap)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("LETTERBOX_MESSAGEBOX", "stderr", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
