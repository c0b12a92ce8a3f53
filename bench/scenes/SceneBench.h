// What the scene benchmarks share: the build folder as working directory (for data/), an
// 800 x 600 device on a hidden window, and a wait for the rasteriser at the end of a frame.
#pragma once

#include "gfx/GraphicsDevice.h"
#include "BenchScene.h"
#include "TestWindow.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

struct SceneBench {
    GraphicsDevice graphics;
    bool opened = false;

    explicit SceneBench(const char* windowClass) {
        if (chdir(LETTERBOX_BUILD_DIR) != 0) {
            return;
        }
        HWND window = makeTestWindow(windowClass);
        if (window == nullptr || graphics.create(window, 800, 600) != 0) {
            return;
        }
        graphics.setWindowed(0);
        opened = true;
    }

    // Ends the frame begun with BeginScene, presents it and waits for the rasteriser.
    void present() {
        IDirect3DDevice8* device = graphics.getDevice();
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        finish();
    }

    // Reads one pixel back so that the rasteriser has finished the frame.
    void finish() { bench::waitForFrame(graphics.getDevice()); }
};

// The benchmark's one set-up, made at first use; null, with the run marked skipped, when it
// has no device or no data.
template <class Setup> Setup* setupOrSkip(benchmark::State& state) {
    static Setup instance;
    if (!instance.ready) {
        state.SkipWithError("no device or no data");
        return nullptr;
    }
    return &instance;
}
