// The scene loaded and started on the recording device, with its
// program-lifetime animation state back at its starting values.
#pragma once

#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "RecordingDevice.h"
#include "scenes/tunnel/RingTunnelScene.h"

#include <string>

#include <crtrand.h>

#include "demo/RandRange.h"

#include <gtest/gtest.h>

inline void resetTunnelAnimation() {
    RingTunnelScene::titleZoom = 5.199999809265137;
    RingTunnelScene::cameraAngle = 0.0;
    for (int i = 0; i < 3; ++i) {
        RingTunnelScene::cameraUp[i] = 0.0;
        RingTunnelScene::cycleColor[i] = 0.3;
    }
    RingTunnelScene::cyclePhase = 0;
    RingTunnelScene::ringMaterial = D3DMATERIAL8{};
}

class TunnelOnRecorder : public ::testing::Test {
protected:
    void SetUp() override {
        resetTunnelAnimation();
        graphics.width = 800;
        graphics.height = 600;
        graphics.device = &recorder;
        recorder.AddRef(); // the graphics device releases it at the end
        crtSrand(1);
        MessageBoxRecorder boxes; // the textures' load messages
        scene.load(&graphics);
        loadMessages = boxes.take();
        scene.start();
    }

    // Updates until frameCount reaches the given value.
    void updateTo(int32_t frameCount) {
        while (scene.frameCount < frameCount) {
            scene.update();
        }
    }

    RecordingDevice recorder;
    GraphicsDevice graphics;
    RingTunnelScene scene;
    std::string loadMessages;
};
