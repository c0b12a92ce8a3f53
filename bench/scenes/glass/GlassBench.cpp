// The glass ball scene on the device with its data: a whole tick (update,
// render, present) waited out to the last pixel, and the texture-coordinate
// remap of one ball alone, which the scene does ten times per frame.
#include "scenes/glass/GlassBallScene.h"
#include "SceneBench.h"

#include <crtrand.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct Setup : SceneBench {
    GlassBallScene scene;
    bool ready = false;

    Setup() : SceneBench("GLASS_BENCH") {
        if (!opened) {
            return;
        }
        scene.load(&graphics);
        crtSrand(0);
        scene.start();
        ready = scene.ball.getMesh() != nullptr && scene.refraction.quadBuffer != nullptr;
    }
};

void BM_GlassTick(benchmark::State& state) {
    Setup* s = setupOrSkip<Setup>(state);
    if (s == nullptr) {
        return;
    }
    IDirect3DDevice8* device = s->graphics.getDevice();
    for (auto _ : state) {
        // Stay before the white-out, where the balls are worth looking at.
        if (s->scene.frameCount >= 470) {
            s->scene.frameCount = 100;
        }
        s->scene.update();
        device->BeginScene();
        s->scene.render();
        s->present();
    }
}
BENCHMARK(BM_GlassTick)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_BallRemap(benchmark::State& state) {
    Setup* s = setupOrSkip<Setup>(state);
    if (s == nullptr) {
        return;
    }
    ID3DXMesh* ball = s->scene.ball.getMesh();
    for (auto _ : state) {
        s->scene.refraction.mapToScreen(ball);
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
