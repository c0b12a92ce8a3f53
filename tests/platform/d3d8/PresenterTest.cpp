// Frames shown by the presenter thread: each reaches the window in order with its own
// pixels while the program draws the next, also across a Reset and when the device goes
// with frames still queued.
#include "Device.h"
#include "DeviceFixture.h"
#include "Presenter.h"

#include "XWindowPixels.h"

#include <SDL.h>

#include <cstring>
#include <mutex>

namespace {

struct ShownFrame {
    uint64_t number = 0;
    uint32_t centre = 0; // 0xAARRGGBB
    uint32_t mark = 0;   // inside the frame's mark on the top rows
    uint32_t beside = 0; // just right of the mark
};

// Reads a pixel of what the window is about to show (GL rows, bottom first) as 0xAARRGGBB.
uint32_t windowPixel(int x, int y) {
    uint8_t rgba[4] = {};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return 0xFF000000u | uint32_t(rgba[0]) << 16 | uint32_t(rgba[1]) << 8 | rgba[2];
}

const D3DCOLOR COLORS[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808000,
                           0xFF008080, 0xFF800080, 0xFF404040, 0xFFC0C0C0};
constexpr int COLOR_COUNT = sizeof(COLORS) / sizeof(COLORS[0]);

class PresenterTest : public DeviceTest {
protected:
    void SetUp() override {
        Presenter::mode = Presenter::Mode::Always;
        DeviceTest::SetUp();
        watch();
    }
    void TearDown() override {
        DeviceTest::TearDown();
        Presenter::mode = Presenter::Mode::Automatic;
    }

    Presenter* presenter() { return static_cast<Device*>(device)->windowPresenter(); }

    // Records every frame the presenter draws into the window (on its thread).
    void watch() {
        ASSERT_NE(presenter(), nullptr);
        presenter()->setShownHook([this](const Presenter::Frame& frame) {
            // The window is 800 x 600 like the picture: one window pixel per picture pixel.
            ShownFrame seen{frame.number, windowPixel(400, 300), 0, 0};
            const int mark = int((frame.number - 1) % COLOR_COUNT) + 1;
            seen.mark = windowPixel(10 * mark - 5, 595);
            seen.beside = windowPixel(10 * mark + 5, 595);
            std::lock_guard lock(shownMutex);
            shown.push_back(seen);
        });
    }

    // Frame n (from 1) in its colour with a white mark whose width tells it apart.
    void presentFrame(uint64_t n) {
        const int index = int((n - 1) % COLOR_COUNT);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, COLORS[index], 1.0f, 0);
        drawQuad(0, 0, 10.0f * (index + 1), 10, 0xFFFFFFFF);
        ASSERT_EQ(device->EndScene(), D3D_OK);
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }

    // The window showed frames first..last, in order, each with its own pixels.
    void expectShown(uint64_t first, uint64_t last) {
        std::lock_guard lock(shownMutex);
        ASSERT_EQ(shown.size(), size_t(last - first + 1));
        for (size_t i = 0; i < shown.size(); ++i) {
            const ShownFrame& seen = shown[i];
            const uint64_t n = first + i;
            ASSERT_EQ(seen.number, n);
            const D3DCOLOR color = COLORS[(n - 1) % COLOR_COUNT];
            EXPECT_EQ(seen.centre, color) << "frame " << n;
            EXPECT_EQ(seen.mark, 0xFFFFFFFFu) << "frame " << n;
            EXPECT_EQ(seen.beside, color) << "frame " << n;
        }
    }

    uint32_t frontBufferCentre() {
        IDirect3DSurface8* image = nullptr;
        EXPECT_EQ(device->CreateImageSurface(800, 600, D3DFMT_A8R8G8B8, &image), D3D_OK);
        EXPECT_EQ(device->GetFrontBuffer(image), D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(image->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        const auto* row = static_cast<const uint8_t*>(locked.pBits) + 300 * locked.Pitch;
        uint32_t pixel = 0;
        std::memcpy(&pixel, row + 400 * 4, 4);
        image->UnlockRect();
        image->Release();
        return pixel | 0xFF000000u;
    }

    std::mutex shownMutex;
    std::vector<ShownFrame> shown;
};

TEST_F(PresenterTest, FramesReachTheWindowInOrderWithTheirOwnPixels) {
    for (uint64_t n = 1; n <= 12; ++n) {
        presentFrame(n);
        // The front buffer is the program's picture at once, whatever the presenter does.
        EXPECT_EQ(frontBufferCentre(), COLORS[(n - 1) % COLOR_COUNT]) << "frame " << n;
    }
    presenter()->finish();
    EXPECT_EQ(presenter()->shownCount(), 12u);
    expectShown(1, 12);
}

TEST_F(PresenterTest, CopySwapEffectKeepsTheBackBufferAndShowsEachFrame) {
    D3DPRESENT_PARAMETERS p = params;
    p.SwapEffect = D3DSWAPEFFECT_COPY;
    ASSERT_EQ(device->Reset(&p), D3D_OK);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    for (uint64_t n = 1; n <= 4; ++n) {
        presentFrame(n);
    }
    // The back buffer still holds the last frame after the copy.
    EXPECT_EQ(readPixel(400, 300) | 0xFF000000u, COLORS[3]);
    presenter()->finish();
    expectShown(1, 4);
}

TEST_F(PresenterTest, ResetWithFramesQueuedShowsThemFirstAndGoesOn) {
    for (uint64_t n = 1; n <= 3; ++n) {
        presentFrame(n);
    }
    D3DPRESENT_PARAMETERS p = params;
    ASSERT_EQ(device->Reset(&p), D3D_OK);
    EXPECT_EQ(presenter()->shownCount(), 3u);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    for (uint64_t n = 4; n <= 6; ++n) {
        presentFrame(n);
    }
    presenter()->finish();
    expectShown(1, 6);
}

TEST_F(PresenterTest, ReleaseWithFramesQueuedEndsCleanlyAndANewDeviceShows) {
    for (uint64_t n = 1; n <= 5; ++n) {
        presentFrame(n);
    }
    // Whatever was still queued is dropped; nothing hangs, and what was shown is in order.
    EXPECT_EQ(device->Release(), 0u);
    device = nullptr;
    {
        std::lock_guard lock(shownMutex);
        EXPECT_LE(shown.size(), 5u);
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].number, i + 1);
        }
        shown.clear();
    }
    D3DPRESENT_PARAMETERS p = params;
    ASSERT_EQ(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, testWindow(),
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device),
              D3D_OK);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    watch();
    presentFrame(1);
    presentFrame(2);
    presenter()->finish();
    expectShown(1, 2);
}

// On a real X server with the software rasteriser the presenter scales frames on the CPU
// into memory it shares with the server. Run by ctest on an X server of its own
// (tests/platform/win32/on-bare-x-server.sh); skipped elsewhere.
class PresenterOnX : public PresenterTest {
protected:
    void SetUp() override {
        testWindow(); // starts SDL's video
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver == nullptr || std::strcmp(driver, "x11") != 0) {
            GTEST_SKIP() << "not on an X server";
        }
        // The server keeps the pixels of a window on the screen only.
        ShowWindow(testWindow(), SW_SHOWNORMAL);
        PresenterTest::SetUp();
    }
};

TEST_F(PresenterOnX, FramesReachTheWindowThroughSharedMemory) {
    if (!presenter()->copiesOnCpu()) {
        GTEST_SKIP() << "not the software rasteriser, or no shared memory with the server";
    }
    for (uint64_t n = 1; n <= 5; ++n) {
        presentFrame(n);
    }
    presenter()->finish();
    EXPECT_EQ(presenter()->shownCount(), 5u);
    EXPECT_TRUE(presenter()->copiesOnCpu());
    // The window is 800 x 600 like the picture: the last frame, pixel for pixel.
    const std::vector<uint32_t> pixels = xWindowPixels(presenter()->xWindowId(), 800, 600);
    ASSERT_EQ(pixels.size(), size_t(800 * 600));
    const uint32_t color = COLORS[4] & 0xFFFFFFu;
    EXPECT_EQ(pixels[300 * 800 + 400], color);
    EXPECT_EQ(pixels[5 * 800 + 45], 0xFFFFFFu); // the fifth frame's mark, 50 wide
    EXPECT_EQ(pixels[5 * 800 + 55], color);     // just right of it
    EXPECT_EQ(pixels[595 * 800 + 45], color);   // the mark is at the top, right way up
}

} // namespace
