#include "gfx/GraphicsDevice.h"
#include "MessageBoxRecorder.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

TEST(GraphicsDevice, CreatesTheDeviceWithTheDefaultStatesAndGoesFullScreen) {
    HWND window = makeTestWindow("GRAPHICS_DEVICE_TEST");
    ASSERT_NE(window, nullptr);
    GraphicsDevice graphics;
    ASSERT_EQ(graphics.create(window, 800, 600), 0);
    IDirect3DDevice8* device = graphics.getDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(graphics.getWidth(), 800);
    EXPECT_EQ(graphics.getHeight(), 600);

    DWORD value = 0;
    device->GetTextureStageState(0, D3DTSS_MAGFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_LINEAR));
    device->GetTextureStageState(0, D3DTSS_MINFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_LINEAR));
    device->GetRenderState(D3DRS_DITHERENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(TRUE));

    D3DPRESENT_PARAMETERS parameters;
    EXPECT_EQ(graphics.getPresentParameters(&parameters), &parameters);
    EXPECT_EQ(parameters.Windowed, TRUE);
    EXPECT_EQ(parameters.BackBufferWidth, 800u);
    EXPECT_LE(parameters.BackBufferCount, 1u) << "0 (one back buffer), or 1 as the device read it";
    EXPECT_EQ(parameters.SwapEffect, D3DSWAPEFFECT_FLIP);
    EXPECT_EQ(parameters.AutoDepthStencilFormat, D3DFMT_D24S8);

    graphics.setWindowed(0);
    graphics.getPresentParameters(&parameters);
    // A later recovery Reset with these stays in full screen.
    EXPECT_EQ(parameters.Windowed, FALSE);
    EXPECT_EQ(parameters.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(parameters.BackBufferCount, 1u);
    EXPECT_EQ(parameters.BackBufferHeight, 600u);
    EXPECT_EQ(graphics.getDevice(), device);
    device->GetTextureStageState(0, D3DTSS_MINFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_LINEAR)) << "the filters are set again";

    graphics.setWindowed(1);
    graphics.getPresentParameters(&parameters);
    EXPECT_EQ(parameters.Windowed, TRUE);
    EXPECT_EQ(parameters.BackBufferCount, 1u) << "the back buffer count is kept";
    EXPECT_EQ(graphics.getDevice(), device);
}

// Creates graphics without a window, which fails; the messages it showed.
std::string failToCreate(GraphicsDevice& graphics) {
    MessageBoxRecorder boxes;
    EXPECT_EQ(graphics.create(nullptr, 800, 600), 1);
    return boxes.take();
}

TEST(GraphicsDevice, NoDeviceForTheWindowFailsWithItsMessage) {
    GraphicsDevice graphics;
    std::string shown = failToCreate(graphics);
    EXPECT_NE(shown.find("Failed Initting"), std::string::npos) << shown;
    EXPECT_EQ(graphics.direct3d, nullptr);
    EXPECT_EQ(graphics.getDevice(), nullptr);
    // Switching and destroying an empty object do nothing and do not fail.
    graphics.setWindowed(0);
}

TEST(GraphicsDevice, NoDirect3DAtAllFailsWithTheSameMessage) {
    // Without a video driver that offers OpenGL there is no Direct3D object.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    IDirect3D8* probe = Direct3DCreate8(D3D_SDK_VERSION);
    if (probe != nullptr) {
        probe->Release();
        GTEST_SKIP() << "this machine offers Direct3D even without a video driver";
    }
    GraphicsDevice graphics;
    std::string shown = failToCreate(graphics);
    EXPECT_NE(shown.find("Failed Initting"), std::string::npos) << shown;
    EXPECT_EQ(graphics.direct3d, nullptr);
}

} // namespace
