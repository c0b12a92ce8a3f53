// A scene on the recording device at the program's 800 x 600, as the sequencer hands it
// over: the scene's own fixture resets its program-lifetime state, then loads and starts.
#pragma once

#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "RecordingDevice.h"

#include <gtest/gtest.h>

#include <string>

template <class Scene, class Device = RecordingDevice> class SceneTestBed : public ::testing::Test {
protected:
    // Loads the scene; the message boxes it shows on the way are kept in loadMessages.
    void load() {
        graphics.device = &device;
        graphics.width = 800;
        graphics.height = 600;
        MessageBoxRecorder boxes;
        loadResult = scene.load(&graphics);
        loadMessages = boxes.take();
    }
    void TearDown() override { graphics.device = nullptr; }

    void updates(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(scene.update(), 0);
        }
    }

    Device device;
    GraphicsDevice graphics;
    Scene scene;
    int loadResult = 0;
    std::string loadMessages;
};
