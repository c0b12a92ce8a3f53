// Pictures read back for the present observer: each arrives a frame after its Present,
// in order, with the frame's own pixels, also across a Reset and when the device goes.
#include "Device.h"
#include "DeviceFixture.h"
#include "d3d8observer.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <set>

namespace {

struct Picture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, rows top first
    bool missing = false;

    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x] | 0xFF000000u; }
};

class RecordingObserver : public PresentObserver {
public:
    RecordingObserver() { PresentObserver::active = this; }
    ~RecordingObserver() { PresentObserver::active = nullptr; }

    void presented(IDirect3DDevice8*, uint64_t) override { ++presents; }
    bool wantsPicture() override { return wanted.empty() || wanted.count(presents) != 0; }
    void pictureRead(const uint8_t* bgra, uint32_t width, uint32_t height, size_t pitch) override {
        Picture picture;
        picture.width = width;
        picture.height = height;
        picture.missing = bgra == nullptr;
        if (bgra != nullptr) {
            picture.pixels.resize(size_t(width) * height);
            for (uint32_t y = 0; y < height; ++y) {
                std::memcpy(&picture.pixels[size_t(y) * width], bgra + y * pitch, width * 4);
            }
        }
        pictures.push_back(std::move(picture));
    }

    int presents = 0;
    std::set<int> wanted; // Present numbers (from 1) to read back; empty: all of them
    std::vector<Picture> pictures;
};

class PresentReadbackTest : public DeviceTest {
protected:
    // A frame of one colour with a white mark whose width tells the frame apart.
    void presentFrame(D3DCOLOR color, int mark) {
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, color, 1.0f, 0);
        drawQuad(0, 0, 10.0f * mark, 10, 0xFFFFFFFF);
        ASSERT_EQ(device->EndScene(), D3D_OK);
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }

    // Releases the device, the last reference: what is still queued is handed over.
    void releaseDevice() {
        ASSERT_EQ(device->Release(), 0u);
        device = nullptr;
    }

    // The picture holds the frame presentFrame drew with these arguments.
    static void expectFrame(const Picture& picture, D3DCOLOR color, int mark) {
        ASSERT_FALSE(picture.missing);
        ASSERT_EQ(picture.width, 800u);
        ASSERT_EQ(picture.height, 600u);
        EXPECT_EQ(picture.at(400, 300), color);
        EXPECT_EQ(picture.at(799, 599), color);
        EXPECT_EQ(picture.at(10 * mark - 1, 0), 0xFFFFFFFFu); // the mark, on the top rows
        EXPECT_EQ(picture.at(10 * mark - 1, 9), 0xFFFFFFFFu);
        EXPECT_EQ(picture.at(10 * mark, 0), color);
        EXPECT_EQ(picture.at(10 * mark - 1, 10), color);
    }

    RecordingObserver observer;
};

const D3DCOLOR COLORS[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808000, 0xFF008080};

TEST_F(PresentReadbackTest, EachFrameComesBackOneFrameLateInOrderWithItsOwnPixels) {
    for (int i = 0; i < 5; ++i) {
        presentFrame(COLORS[i], i + 1);
        // The frame just presented is still on its way; every earlier one has arrived.
        ASSERT_EQ(observer.pictures.size(), size_t(i));
    }
    ASSERT_NO_FATAL_FAILURE(releaseDevice());
    ASSERT_EQ(observer.pictures.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        expectFrame(observer.pictures[i], COLORS[i], i + 1);
    }
}

TEST_F(PresentReadbackTest, ReadingBackLeavesTheDeviceInItsOwnContext) {
    // The pixels are copied through a context of their own; the device's must come back,
    // with its window, before the program draws again.
    presentFrame(COLORS[0], 1);
    SDL_GLContext context = SDL_GL_GetCurrentContext();
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    ASSERT_NE(context, nullptr);
    for (int i = 1; i < 4; ++i) {
        presentFrame(COLORS[i], i + 1);
        ASSERT_EQ(observer.pictures.size(), size_t(i));
        EXPECT_EQ(SDL_GL_GetCurrentContext(), context);
        EXPECT_EQ(SDL_GL_GetCurrentWindow(), window);
    }
    ASSERT_NO_FATAL_FAILURE(releaseDevice());
    ASSERT_EQ(observer.pictures.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        expectFrame(observer.pictures[i], COLORS[i], i + 1);
    }
}

TEST_F(PresentReadbackTest, AtMostTwoFramesWaitForTheRasteriser) {
    observer.wanted = {-1}; // no picture is read back
    auto* real = static_cast<Device*>(device);
    for (int i = 0; i < 6; ++i) {
        presentFrame(COLORS[i % 5], i + 1);
        EXPECT_EQ(real->framesQueued(), std::min<size_t>(i + 1, Device::MAX_FRAMES_IN_FLIGHT));
    }
    EXPECT_TRUE(observer.pictures.empty());
    // Releasing with frames queued is clean.
    ASSERT_NO_FATAL_FAILURE(releaseDevice());
}

TEST_F(PresentReadbackTest, OnlyThePicturesAskedForAreRead) {
    observer.wanted = {2, 4};
    for (int i = 0; i < 5; ++i) {
        presentFrame(COLORS[i], i + 1);
    }
    // The fifth Present hands over the fourth's picture though it reads none itself.
    ASSERT_EQ(observer.pictures.size(), 2u);
    expectFrame(observer.pictures[0], COLORS[1], 2);
    expectFrame(observer.pictures[1], COLORS[3], 4);
}

TEST_F(PresentReadbackTest, ReleasingTheDeviceHandsOverWhatIsStillQueued) {
    presentFrame(COLORS[0], 1);
    presentFrame(COLORS[1], 2);
    ASSERT_EQ(observer.pictures.size(), 1u);
    // Drawing after the last Present does not reach the picture still queued.
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    ASSERT_NO_FATAL_FAILURE(releaseDevice());
    ASSERT_EQ(observer.pictures.size(), 2u);
    expectFrame(observer.pictures[1], COLORS[1], 2);
}

TEST_F(PresentReadbackTest, ResetWithAFrameQueuedKeepsThatFrame) {
    presentFrame(COLORS[0], 1);
    presentFrame(COLORS[1], 2);
    ASSERT_EQ(observer.pictures.size(), 1u);
    D3DPRESENT_PARAMETERS again = params;
    ASSERT_EQ(device->Reset(&again), D3D_OK);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    presentFrame(COLORS[2], 3);
    ASSERT_EQ(observer.pictures.size(), 2u);
    expectFrame(observer.pictures[0], COLORS[0], 1);
    expectFrame(observer.pictures[1], COLORS[1], 2);
    ASSERT_NO_FATAL_FAILURE(releaseDevice());
    ASSERT_EQ(observer.pictures.size(), 3u);
    expectFrame(observer.pictures[2], COLORS[2], 3);
}

TEST_F(PresentReadbackTest, ACopyingSwapChainStillHandsBackEachFramesOwnPicture) {
    // Each Present copies the back buffer over the front buffer, which still holds the
    // picture of the Present before, not read yet.
    D3DPRESENT_PARAMETERS copying = params;
    copying.SwapEffect = D3DSWAPEFFECT_COPY;
    ASSERT_EQ(device->Reset(&copying), D3D_OK);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    for (int i = 0; i < 4; ++i) {
        presentFrame(COLORS[i], i + 1);
    }
    ASSERT_NO_FATAL_FAILURE(releaseDevice());
    ASSERT_EQ(observer.pictures.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        expectFrame(observer.pictures[i], COLORS[i], i + 1);
    }
}

TEST_F(PresentReadbackTest, ThePictureMatchesGetFrontBuffer) {
    presentFrame(COLORS[3], 7);
    IDirect3DSurface8* front = nullptr;
    ASSERT_EQ(device->CreateImageSurface(800, 600, D3DFMT_A8R8G8B8, &front), D3D_OK);
    ASSERT_EQ(device->GetFrontBuffer(front), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(front->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    std::vector<uint32_t> expected(800 * 600);
    for (int y = 0; y < 600; ++y) {
        std::memcpy(&expected[size_t(y) * 800],
                    static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, 800 * 4);
    }
    front->UnlockRect();
    front->Release();
    ASSERT_NO_FATAL_FAILURE(releaseDevice());
    ASSERT_EQ(observer.pictures.size(), 1u);
    const Picture& picture = observer.pictures[0];
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(picture.pixels[i] | 0xFF000000u, expected[i]) << "pixel " << i;
    }
}

} // namespace
