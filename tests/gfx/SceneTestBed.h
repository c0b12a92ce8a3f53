// A scene on the recording device at the program's 800 x 600, as the sequencer hands it
// over: the scene's own fixture resets its program-lifetime state, then loads and starts.
#pragma once

#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "RecordingDevice.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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

// The one light the tunnel and the floor scenes set: directional, grey diffuse and
// specular, a dimmer ambient, shining down and away from the upper left front.
inline void expectGreyDirectionalLight(const D3DLIGHT8& light) {
    auto rgba = [](const D3DCOLORVALUE& c) { return std::array<float, 4>{c.r, c.g, c.b, c.a}; };
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(rgba(light.Diffuse), (std::array<float, 4>{0.3f, 0.3f, 0.3f, 0.0f}));
    EXPECT_EQ(rgba(light.Specular), (std::array<float, 4>{0.3f, 0.3f, 0.3f, 0.0f}));
    EXPECT_EQ(rgba(light.Ambient), (std::array<float, 4>{0.2f, 0.2f, 0.2f, 0.0f}));
    const std::array<float, 3> direction{light.Direction.x, light.Direction.y, light.Direction.z};
    EXPECT_EQ(direction, (std::array<float, 3>{1.0f, -1.0f, -1.0f}));
    EXPECT_EQ(light.Range, 0.0f);
}

// The render states the lit mesh scenes start with, in the order they are set.
inline const std::vector<std::pair<uint32_t, uint32_t>> LIT_MESH_STATES = {
    {D3DRS_LIGHTING, TRUE},
    {D3DRS_ZENABLE, D3DZB_TRUE},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_SPECULARENABLE, TRUE},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_AMBIENT, 0x00333333},
};
