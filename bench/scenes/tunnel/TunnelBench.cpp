// The ring tunnel scene on the device with its data: a whole tick (update,
// render, present) waited out to the last pixel, in each of its three phases,
// and the trail's own share of a frame.
#include "scenes/tunnel/RingTunnelScene.h"
#include "SceneBench.h"

#include <crtrand.h>

#include <benchmark/benchmark.h>

namespace {

struct Setup : SceneBench {
    RingTunnelScene scene;
    bool ready = false;

    Setup() : SceneBench("TUNNEL_BENCH") {
        if (!opened) {
            return;
        }
        crtSrand(1);
        ready = scene.load(&graphics) == 1 && scene.torus.mesh != nullptr;
        crtSrand(0);
        scene.start();
    }

    // Ticks within [first, last] of frameCount, wrapping back to first.
    void tick(int32_t first, int32_t last) {
        if (scene.frameCount < first || scene.frameCount > last) {
            scene.frameCount = first;
        }
        scene.update();
        graphics.getDevice()->BeginScene();
        scene.render();
        present();
    }
};

void runPhase(benchmark::State& state, int32_t first, int32_t last) {
    Setup* s = setupOrSkip<Setup>(state);
    if (s == nullptr) {
        return;
    }
    for (auto _ : state) {
        s->tick(first, last);
    }
}

void BM_TunnelIntroTick(benchmark::State& state) {
    runPhase(state, 0, 119);
}
BENCHMARK(BM_TunnelIntroTick)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void BM_TunnelTick(benchmark::State& state) {
    runPhase(state, 130, 600);
}
BENCHMARK(BM_TunnelTick)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void BM_TunnelTrailTick(benchmark::State& state) {
    runPhase(state, 640, 1200);
}
BENCHMARK(BM_TunnelTrailTick)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// Frames of draw alone, between BeginScene and a present waited out to the last pixel.
template <class Draw> void runFrames(benchmark::State& state, Draw draw) {
    Setup* s = setupOrSkip<Setup>(state);
    if (s == nullptr) {
        return;
    }
    for (auto _ : state) {
        s->graphics.getDevice()->BeginScene();
        draw(*s);
        s->present();
    }
}

// The trail's own share of a frame: capture, composite and present with
// nothing drawn in between.
void BM_TrailAlone(benchmark::State& state) {
    runFrames(state, [](Setup& s) {
        s.scene.trail.beginCapture();
        s.scene.trail.composite(FeedbackTrail::MODE_GROW);
    });
}
BENCHMARK(BM_TrailAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// An empty frame for comparison: clear and present.
void BM_EmptyFrame(benchmark::State& state) {
    runFrames(state, [](Setup& s) {
        s.graphics.getDevice()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000,
                                      1.0f, 0);
    });
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();
