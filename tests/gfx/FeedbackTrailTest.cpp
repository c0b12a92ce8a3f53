#include "gfx/FeedbackTrail.h"
#include "FrameReadback.h"
#include "gfx/GraphicsDevice.h"
#include "RecordingDevice.h"
#include "TestWindow.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const int WIDTH = 800;
const int HEIGHT = 600;

// The trail on the real device, full screen 800 x 600, created as the scenes do.
class TrailOnTheDevice : public ::testing::Test {
protected:
    void SetUp() override {
        HWND window = makeTestWindow("FEEDBACK_TRAIL_TEST");
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(graphics.create(window, WIDTH, HEIGHT), 0);
        graphics.setWindowed(0);
        device = graphics.getDevice();
        trail.attach(device);
        D3DPRESENT_PARAMETERS parameters;
        ASSERT_TRUE(trail.create(*graphics.getPresentParameters(&parameters), 1024, 1024,
                                 graphics.getWidth(), graphics.getHeight()));
    }

    // One captured frame: the capture, the scene's own black clear, white in
    // the given rectangles, the composite, then the presented picture.
    Frame frameWithWhite(int32_t mode, const D3DRECT* rects, DWORD count, D3DCOLOR clear = 0) {
        device->BeginScene();
        EXPECT_EQ(trail.beginCapture(), D3D_OK);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000 | clear, 1.0f, 0);
        if (count > 0) {
            device->Clear(count, rects, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
        }
        trail.composite(mode);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        Frame frame;
        EXPECT_TRUE(readFrontBuffer(device, WIDTH, HEIGHT, &frame));
        return frame;
    }

    GraphicsDevice graphics;
    IDirect3DDevice8* device = nullptr;
    FeedbackTrail trail;
};

int red(const Frame& frame, int x, int y) {
    return static_cast<int>((frame.at(x, y) >> 16) & 0xFF);
}
int blue(const Frame& frame, int x, int y) {
    return static_cast<int>(frame.at(x, y) & 0xFF);
}

TEST_F(TrailOnTheDevice, TheOldImageWeighs192And255ThsAndTheImagesSwapEveryFrame) {
    EXPECT_EQ(trail.current, 0);
    EXPECT_FLOAT_EQ(trail.viewportWidth / trail.textureWidth, 0.78125f);
    EXPECT_FLOAT_EQ(trail.viewportHeight / trail.textureHeight, 0.5859375f);

    // First frame: red over the black start image shows at 63/255. (The
    // outermost row and column sample across the texture's wrapped edge, as
    // every full-screen copy with linear filtering does, and come out darker.)
    Frame first = frameWithWhite(FeedbackTrail::MODE_STILL, nullptr, 0, 0x00FF0000);
    EXPECT_EQ(trail.current, 1);
    for (int y : {2, 300, 597}) {
        for (int x : {2, 400, 797}) {
            EXPECT_NEAR(red(first, x, y), 63, 2) << x << ", " << y;
            EXPECT_EQ(blue(first, x, y), 0);
        }
    }
    // Second: blue at 63, the red picture before it at 192/255 of 63.
    Frame second = frameWithWhite(FeedbackTrail::MODE_STILL, nullptr, 0, 0x000000FF);
    EXPECT_EQ(trail.current, 0);
    EXPECT_NEAR(blue(second, 400, 300), 63, 2);
    EXPECT_NEAR(red(second, 400, 300), 47, 2);
    // Third: black; both older pictures fade by the same factor again.
    Frame third = frameWithWhite(FeedbackTrail::MODE_STILL, nullptr, 0, 0);
    EXPECT_EQ(trail.current, 1);
    EXPECT_NEAR(blue(third, 400, 300), 47, 2);
    EXPECT_NEAR(red(third, 400, 300), 35, 2);
    writePng(third, "feedback-trail-still.png");

    // Clearing the images starts the fade from black again.
    trail.clearImages();
    Frame cleared = frameWithWhite(FeedbackTrail::MODE_STILL, nullptr, 0, 0);
    EXPECT_LE(red(cleared, 400, 300), 1);
    EXPECT_LE(blue(cleared, 400, 300), 1);
}

// A white block over the left 100 columns, then a black frame: where the old
// block lands shows how the previous image was laid.
TEST_F(TrailOnTheDevice, GrowAndShrinkMoveTheOldImageFivePixelsAtEveryEdge) {
    const D3DRECT block = {0, 0, 100, HEIGHT};
    struct Expectation {
        int32_t mode;
        int litAt2, litAt98, litAt103;
    };
    // Grow maps x to -5 + x * 810 / 800 (the edge at 100 lands at 96.25);
    // shrink maps it to 5 + x * 790 / 800 (103.75) and leaves the outer 5
    // pixels to the new frame alone. Each copy through a texture also moves
    // the picture half a pixel right, so the edges come out a pixel further.
    const Expectation cases[] = {
        {FeedbackTrail::MODE_STILL, 1, 1, 0},
        {FeedbackTrail::MODE_GROW, 1, 0, 0},
        {FeedbackTrail::MODE_SHRINK, 0, 1, 1},
    };
    for (const Expectation& expect : cases) {
        trail.clearImages();
        Frame withBlock = frameWithWhite(expect.mode, &block, 1);
        EXPECT_NEAR(red(withBlock, 50, 300), 63, 2);
        Frame after = frameWithWhite(expect.mode, nullptr, 0);
        writePng(after, "feedback-trail-mode" + std::to_string(expect.mode) + ".png");
        const int lit = 47; // 63 x 192 / 255
        EXPECT_NEAR(red(after, 2, 300), expect.litAt2 * lit, 2) << "mode " << expect.mode;
        EXPECT_NEAR(red(after, 98, 300), expect.litAt98 * lit, 2) << "mode " << expect.mode;
        EXPECT_NEAR(red(after, 103, 300), expect.litAt103 * lit, 2) << "mode " << expect.mode;
        // The middle of the block and the far right are the same in every mode.
        EXPECT_NEAR(red(after, 50, 300), lit, 2);
        EXPECT_LE(red(after, 700, 300), 1);
    }
}

TEST_F(TrailOnTheDevice, CompositeLeavesTheBackBufferBoundWithItsBlendAndStageStates) {
    IDirect3DSurface8* backBuffer = nullptr;
    ASSERT_EQ(device->GetRenderTarget(&backBuffer), D3D_OK);
    device->BeginScene();
    trail.beginCapture();
    IDirect3DSurface8* target = nullptr;
    ASSERT_EQ(device->GetRenderTarget(&target), D3D_OK);
    EXPECT_EQ(target, trail.surfaces[0]) << "the capture draws into image 0 first";
    target->Release();
    D3DVIEWPORT8 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 800u);
    EXPECT_EQ(viewport.Height, 600u);

    trail.composite(FeedbackTrail::MODE_GROW);
    device->EndScene();
    ASSERT_EQ(device->GetRenderTarget(&target), D3D_OK);
    EXPECT_EQ(target, backBuffer);
    target->Release();
    backBuffer->Release();

    DWORD value = 0;
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(TRUE));
    device->GetRenderState(D3DRS_SRCBLEND, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DBLEND_SRCALPHA));
    device->GetRenderState(D3DRS_DESTBLEND, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    const std::pair<D3DTEXTURESTAGESTATETYPE, DWORD> stage[] = {
        {D3DTSS_COLOROP, D3DTOP_MODULATE}, {D3DTSS_COLORARG1, D3DTA_TEXTURE},
        {D3DTSS_COLORARG2, D3DTA_DIFFUSE}, {D3DTSS_ALPHAOP, D3DTOP_MODULATE},
        {D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
    };
    for (const auto& [type, expected] : stage) {
        device->GetTextureStageState(0, type, &value);
        EXPECT_EQ(value, expected) << "stage state " << type;
    }
    // The image just shown stays bound to stage 0.
    IDirect3DBaseTexture8* bound = nullptr;
    ASSERT_EQ(device->GetTexture(0, &bound), D3D_OK);
    EXPECT_EQ(bound, static_cast<IDirect3DBaseTexture8*>(trail.textures[0]));
    if (bound != nullptr) {
        bound->Release();
    }
    device->SetTexture(0, nullptr);
}

TEST_F(TrailOnTheDevice, TeardownGivesBackTheReferencesToTheSavedTargets) {
    IDirect3DSurface8* backBuffer = nullptr;
    ASSERT_EQ(device->GetRenderTarget(&backBuffer), D3D_OK);
    ULONG withTrail = backBuffer->AddRef() - 1;
    backBuffer->Release();
    {
        FeedbackTrail second;
        second.attach(device);
        D3DPRESENT_PARAMETERS parameters;
        ASSERT_TRUE(second.create(*graphics.getPresentParameters(&parameters), 256, 256, 200, 100));
    }
    EXPECT_EQ(backBuffer->AddRef() - 1, withTrail);
    backBuffer->Release();
    backBuffer->Release();
}

// On the recording device: the quads composite draws, in order.
TEST(TrailQuads, CompositeDrawsTheOldImageByModeThenTheNewOneWhole) {
    RecordingDevice recorder;
    struct Case {
        int32_t mode;
        float left, top, right, bottom;
    };
    const Case cases[] = {
        {0, 0.0f, 0.0f, 800.0f, 600.0f},
        {1, -5.0f, -5.0f, 805.0f, 605.0f},
        {2, 5.0f, 5.0f, 795.0f, 595.0f},
    };
    for (const Case& c : cases) {
        FeedbackTrail trail;
        trail.attach(&recorder);
        trail.textureWidth = 1024.0f;
        trail.textureHeight = 1024.0f;
        trail.viewportWidth = 800.0f;
        trail.viewportHeight = 600.0f;
        recorder.clear();
        trail.composite(c.mode);
        std::vector<RecordedCall> draws = recorder.named("DrawPrimitiveUP");
        ASSERT_EQ(draws.size(), 2u);
        const std::vector<ScreenVertex>& old = draws[0].vertices;
        const std::vector<ScreenVertex>& shown = draws[1].vertices;
        ASSERT_EQ(old.size(), 4u);
        ASSERT_EQ(shown.size(), 4u);
        const float xs[] = {c.left, c.right, c.right, c.left};
        const float ys[] = {c.top, c.top, c.bottom, c.bottom};
        const float us[] = {0.0f, 0.78125f, 0.78125f, 0.0f};
        const float vs[] = {0.0f, 0.0f, 0.5859375f, 0.5859375f};
        const float fullX[] = {0.0f, 800.0f, 800.0f, 0.0f};
        const float fullY[] = {0.0f, 0.0f, 600.0f, 600.0f};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(old[i].x, xs[i]) << "mode " << c.mode << " corner " << i;
            EXPECT_EQ(old[i].y, ys[i]) << "mode " << c.mode << " corner " << i;
            EXPECT_EQ(old[i].u, us[i]);
            EXPECT_EQ(old[i].v, vs[i]);
            EXPECT_EQ(old[i].color, 0xC0FFFFFFu);
            EXPECT_EQ(old[i].rhw, 1.0f);
            EXPECT_EQ(shown[i].x, fullX[i]);
            EXPECT_EQ(shown[i].y, fullY[i]);
            EXPECT_EQ(shown[i].u, us[i]);
            EXPECT_EQ(shown[i].v, vs[i]);
            EXPECT_EQ(shown[i].color, 0xFFFFFFFFu);
        }
        // The back buffer goes back between the two draws.
        std::vector<std::string> names = recorder.names();
        std::vector<std::string> tail(names.end() - 7, names.end());
        EXPECT_EQ(tail, (std::vector<std::string>{
                            "SetTexture", "SetVertexShader", "DrawPrimitiveUP", "SetRenderTarget",
                            "SetTexture", "SetVertexShader", "DrawPrimitiveUP"}));
        EXPECT_EQ(trail.current, 1);
    }
}

TEST(TrailQuads, AFailedCreateReportsFalseAndTearsDownSafely) {
    RecordingDevice recorder; // answers GetRenderTarget with a failure
    FeedbackTrail trail;
    trail.attach(&recorder);
    D3DPRESENT_PARAMETERS parameters{};
    EXPECT_FALSE(trail.create(parameters, 1024, 1024, 800, 600));
    EXPECT_EQ(recorder.names(), std::vector<std::string>{"GetRenderTarget"});
    trail.clearImages(); // nothing to clear: no call reaches the device
    EXPECT_EQ(recorder.calls.size(), 1u);

    FeedbackTrail unattached;
    EXPECT_FALSE(unattached.create(parameters, 1024, 1024, 800, 600));
}

} // namespace
