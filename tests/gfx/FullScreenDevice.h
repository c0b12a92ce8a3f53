// The real graphics device as the program runs it: 800 x 600, switched to full screen.
#pragma once

#include "gfx/GraphicsDevice.h"
#include "gfx/Sprite.h"

// Creates graphics in a new test window of className; a fatal test failure when the window
// or the device cannot be had (callers wrap it in ASSERT_NO_FATAL_FAILURE).
void openDevice(GraphicsDevice& graphics, const char* className);
// The same, then switched to full screen.
void openFullScreen(GraphicsDevice& graphics, const char* className);

// One frame as the sequencer presents it: the scene, then the letterbox bands over it.
template <class Scene> void presentFramed(IDirect3DDevice8* device, Scene& scene, Sprite& bands) {
    device->BeginScene();
    scene.render();
    bands.draw(0.0f, 0.0f, 800.0f, 40.0f, 0.0f);
    bands.draw(0.0f, 560.0f, 800.0f, 40.0f, 0.0f);
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}
