// The lattice scene loaded and started on a recording device, with the
// program-wide statics back at their values of program start and a cube mesh
// that notes its draws in place of the one the device cannot build.
#pragma once

#include "scenes/lattice/BoxLatticeScene.h"
#include "SceneTestBed.h"
#include "LatticeRecorder.h"
#include "MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <string>

class LatticeSceneFixture : public SceneTestBed<BoxLatticeScene, LatticeRecorder> {
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
        load();
        loadCalls = device.calls;
        scene.box.mesh = &mesh;
        scene.start();
        device.clear();
    }
    void TearDown() override {
        scene.box.mesh = nullptr;
        SceneTestBed::TearDown();
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

    RecordingMesh mesh = cubeMesh(&device);
    std::vector<RecordedCall> loadCalls;
};
