// The lattice scene loaded and started on a recording device, with the
// program-wide statics back at their values of program start and a cube mesh
// that notes its draws in place of the one the device cannot build.
#pragma once

#include "scenes/lattice/BoxLatticeScene.h"
#include "gfx/GraphicsDevice.h"
#include "LatticeRecorder.h"
#include "MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <string>

class LatticeSceneFixture : public ::testing::Test {
protected:
    void SetUp() override {
        BoxLatticeScene::cameraAzimuth = 45.0;
        BoxLatticeScene::cameraElevation = 45.0;
        BoxLatticeScene::cameraFalling = 0;
        BoxLatticeScene::spinAngle = 0.0;
        BoxLatticeScene::scrollOffset = 0.0;
        BoxLatticeScene::logoAlpha = 0.0;
        BoxLatticeScene::logoX = -128.0;
        BoxLatticeScene::logoSpeed = 4.0;
        graphics.device = &device;
        graphics.width = 800;
        graphics.height = 600;
        MessageBoxRecorder boxes;
        loadResult = scene.load(&graphics);
        loadMessages = boxes.take();
        loadCalls = device.calls;
        scene.box.mesh = &mesh;
        scene.start();
        device.clear();
    }
    void TearDown() override {
        scene.box.mesh = nullptr;
        graphics.device = nullptr;
    }

    // Updates until frameCount is n.
    void updateTo(int n) {
        while (scene.frameCount < n) {
            ASSERT_EQ(scene.update(), 0);
        }
    }
    void render() {
        device.clear();
        ASSERT_EQ(scene.render(), 0);
    }

    LatticeRecorder device;
    RecordingMesh mesh = cubeMesh(&device);
    GraphicsDevice graphics;
    BoxLatticeScene scene;
    HRESULT loadResult = 0;
    std::string loadMessages;
    std::vector<RecordedCall> loadCalls;
};
