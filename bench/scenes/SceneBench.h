// What the scene benchmarks share: the build folder as working directory (for data/), an
// 800 x 600 device on a hidden window, and a wait for the rasteriser at the end of a frame.
#pragma once

#include "gfx/GraphicsDevice.h"
#include "TestWindow.h"

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
