#include "gfx/ColorQuad.h"
#include "MessageBoxRecorder.h"
#include "RecordingDevice.h"
#include "gfx/Sprite.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A texture pointer the sprite only hands to the device; never dereferenced.
IDirect3DTexture8* const FAKE_TEXTURE = reinterpret_cast<IDirect3DTexture8*>(0x7e57);

class SpriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        sprite.attach(&device);
        quad.attach(&device);
    }
    void TearDown() override { sprite.texture = nullptr; }

    RecordingDevice device;
    Sprite sprite;
    ColorQuad quad;
};

TEST_F(SpriteTest, DrawBindsDrawsAndUnbindsInThatOrder) {
    sprite.texture = FAKE_TEXTURE;
    EXPECT_EQ(sprite.draw(10.0f, 20.0f, 30.0f, 40.0f, 0.5f), D3D_OK);

    ASSERT_EQ(device.names(), (std::vector<std::string>{"SetTexture", "SetVertexShader",
                                                        "DrawPrimitiveUP", "SetTexture"}));
    EXPECT_EQ(device.calls[0].args, (std::vector<uint64_t>{0, 0x7e57}));
    EXPECT_EQ(device.calls[1].args, (std::vector<uint64_t>{0x144}));
    EXPECT_EQ(device.calls[2].args,
              (std::vector<uint64_t>{D3DPT_TRIANGLEFAN, 2, sizeof(ScreenVertex)}));
    EXPECT_EQ(device.calls[3].args, (std::vector<uint64_t>{0, 0}));

    const std::vector<ScreenVertex>& v = device.calls[2].vertices;
    ASSERT_EQ(v.size(), 4u);
    const float xs[4] = {10, 40, 40, 10};
    const float ys[4] = {20, 20, 60, 60};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i].x, xs[i]);
        EXPECT_EQ(v[i].y, ys[i]);
        EXPECT_EQ(v[i].z, 0.0f) << "the depth argument never reaches the vertices";
        EXPECT_EQ(v[i].rhw, 1.0f);
        EXPECT_EQ(v[i].color, 0xFFFFFFFFu);
    }
}

TEST_F(SpriteTest, ColourAndAlphaWrapAndAttachResetsOnlyAlphaAngleScale) {
    sprite.setColor(256, 511, 300);
    sprite.setAlpha(128);
    sprite.draw(0, 0, 1, 1, 0);
    EXPECT_EQ(device.named("DrawPrimitiveUP")[0].vertices[0].color, 0x8000FF2Cu);

    sprite.setAngle(10.0f);
    sprite.setScale(3.0f);
    sprite.attach(&device);
    EXPECT_EQ(sprite.alpha, 255);
    EXPECT_EQ(sprite.angle, 225.0f);
    EXPECT_EQ(sprite.scale, 1.0f);
    // The tint is not attach's business.
    EXPECT_EQ(sprite.red, 256);
    EXPECT_EQ(sprite.green, 511);
}

TEST_F(SpriteTest, DrawRegionCutsTheSourceRectangleOnlyWhenUpright) {
    sprite.setTextureSize(256.0f, 256.0f);
    sprite.drawRegion(271.0f, 200.0f, 256.0f, 45.0f, 0.0f, 45.0f, 256.0f, 45.0f, -3.0f);
    std::vector<ScreenVertex> v = device.named("DrawPrimitiveUP")[0].vertices;
    EXPECT_FLOAT_EQ(v[0].u, 0.0f);
    EXPECT_FLOAT_EQ(v[0].v, 45.0f / 256.0f);
    EXPECT_FLOAT_EQ(v[2].u, 1.0f);
    EXPECT_FLOAT_EQ(v[2].v, 90.0f / 256.0f);
    EXPECT_FLOAT_EQ(v[1].u, 1.0f);
    EXPECT_FLOAT_EQ(v[1].v, 45.0f / 256.0f);
    EXPECT_FLOAT_EQ(v[3].u, 0.0f);
    EXPECT_FLOAT_EQ(v[3].v, 90.0f / 256.0f);
    EXPECT_EQ(v[0].z, 0.0f);

    device.clear();
    sprite.setAngle(30.0f);
    sprite.drawRegion(0.0f, 0.0f, 64.0f, 64.0f, 32.0f, 32.0f, 16.0f, 16.0f, 0.0f);
    v = device.named("DrawPrimitiveUP")[0].vertices;
    const float us[4] = {0, 1, 1, 0};
    const float vs[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i].u, us[i]);
        EXPECT_EQ(v[i].v, vs[i]);
    }
}

TEST_F(SpriteTest, FailedLoadShowsTheFileNameOnceAndLeavesNoTexture) {
    MessageBoxRecorder boxes;
    HRESULT result = sprite.loadTexture("data\\missing-picture.bmp");
    std::string shown = boxes.take();
    EXPECT_LT(result, 0);
    EXPECT_EQ(sprite.getTexture(), nullptr);
    size_t first = shown.find("data\\missing-picture.bmp");
    ASSERT_NE(first, std::string::npos) << shown;
    EXPECT_EQ(shown.find("data\\missing-picture.bmp", first + 1), std::string::npos) << shown;
    EXPECT_NE(shown.find("エラー"), std::string::npos) << shown;

    // Still drawable: no texture is bound, the quad shows its vertex colour.
    device.clear();
    sprite.draw(0, 0, 10, 10, 0);
    EXPECT_EQ(device.calls[0].args, (std::vector<uint64_t>{0, 0}));
    sprite.release();
    sprite.release();
}

TEST_F(SpriteTest, KeyedLoadFailureShowsTheSameMessage) {
    MessageBoxRecorder boxes;
    HRESULT result = sprite.loadTextureKeyed("data\\missing-sheet.bmp", 0xFF000000);
    std::string shown = boxes.take();
    EXPECT_LT(result, 0);
    EXPECT_NE(shown.find("data\\missing-sheet.bmp"), std::string::npos) << shown;
}

TEST_F(SpriteTest, ColorQuadBindsNoTextureAndPassesItsDepth) {
    quad.setColor(300, 0, 511);
    quad.setAlpha(64);
    EXPECT_EQ(quad.draw(0.0f, 0.0f, 800.0f, 600.0f, 0.25f), D3D_OK);
    ASSERT_EQ(device.names(), (std::vector<std::string>{"SetTexture", "SetVertexShader",
                                                        "DrawPrimitiveUP", "SetTexture"}));
    EXPECT_EQ(device.calls[0].args, (std::vector<uint64_t>{0, 0}));
    EXPECT_EQ(device.calls[1].args, (std::vector<uint64_t>{0x144}));
    EXPECT_EQ(device.calls[3].args, (std::vector<uint64_t>{0, 0}));
    const std::vector<ScreenVertex>& v = device.calls[2].vertices;
    const float xs[4] = {0, 800, 800, 0};
    const float ys[4] = {0, 0, 600, 600};
    const float us[4] = {0, 1, 1, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i].x, xs[i]);
        EXPECT_EQ(v[i].y, ys[i]);
        EXPECT_EQ(v[i].z, 0.25f);
        EXPECT_EQ(v[i].u, us[i]);
        EXPECT_EQ(v[i].color, 0x402C00FFu);
    }

    // Unlike the sprite, attach also resets the colour to white.
    quad.attach(&device);
    EXPECT_EQ(quad.red, 255);
    EXPECT_EQ(quad.green, 255);
    EXPECT_EQ(quad.blue, 255);
    quad.release();
    quad.release();
}

TEST_F(SpriteTest, UnattachedDrawablesRefuseToDraw) {
    Sprite loose;
    ColorQuad looseQuad;
    EXPECT_EQ(loose.draw(0, 0, 1, 1, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(looseQuad.draw(0, 0, 1, 1, 0), D3DERR_INVALIDCALL);
}

} // namespace
