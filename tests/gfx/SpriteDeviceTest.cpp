#include "FrameReadback.h"
#include "TraceLines.h"
#include "gfx/GraphicsDevice.h"
#include "gfx/Sprite.h"
#include "TestWindow.h"

#include <PlatformOptions.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// An 8 x 8 24-bit bitmap of one colour.
void writeBitmap(const char* path, uint8_t red, uint8_t green, uint8_t blue) {
    const int side = 8;
    const int rowBytes = side * 3;
    std::vector<uint8_t> bytes(54 + rowBytes * side, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
        }
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, side);
    put32(22, side);
    bytes[26] = 1;
    bytes[28] = 24;
    for (int i = 0; i < side * side; ++i) {
        bytes[54 + i * 3 + 0] = blue;
        bytes[54 + i * 3 + 1] = green;
        bytes[54 + i * 3 + 2] = red;
    }
    FILE* file = std::fopen(path, "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

TEST(SpriteOnTheDevice, DrawsItsTintedTextureWithTheTracedCallsInOrder) {
    const std::string trace = ::testing::TempDir() + "sprite-device-trace.txt";
    writeBitmap("sprite-test.bmp", 0x20, 0x80, 0xC0);
    PlatformOptions::get().tracePath = trace;
    HWND window = makeTestWindow("SPRITE_DEVICE_TEST");
    ASSERT_NE(window, nullptr);
    {
        GraphicsDevice graphics;
        ASSERT_EQ(graphics.create(window, 800, 600), 0);
        IDirect3DDevice8* device = graphics.getDevice();
        Sprite sprite;
        sprite.attach(device);
        ASSERT_EQ(sprite.loadTexture("sprite-test.bmp"), 0);
        ASSERT_NE(sprite.getTexture(), nullptr);
        sprite.setColor(255, 0, 255);

        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        sprite.draw(100.0f, 100.0f, 200.0f, 100.0f, 0.5f);
        Frame frame;
        ASSERT_TRUE(presentAndRead(device, &frame));
        // The texture modulated by the tint: green removed.
        EXPECT_EQ(frame.rgb(100, 100), 0x2000C0u);
        EXPECT_EQ(frame.rgb(200, 150), 0x2000C0u);
        EXPECT_EQ(frame.rgb(299, 199), 0x2000C0u);
        EXPECT_EQ(frame.rgb(99, 150), 0u);
        EXPECT_EQ(frame.rgb(300, 150), 0u);
        EXPECT_EQ(frame.rgb(200, 200), 0u);
        sprite.release();
    }
    PlatformOptions::get().tracePath.clear();

    std::vector<std::string> lines = readLines(trace);
    size_t begin = 0;
    while (begin < lines.size() && callOf(lines[begin]) != "BeginScene") {
        ++begin;
    }
    ASSERT_LT(begin + 5, lines.size());
    EXPECT_EQ(callOf(lines[begin + 1]), "SetTexture");
    EXPECT_NE(lines[begin + 1].find("Stage = 0, pTexture = texture"), std::string::npos)
        << lines[begin + 1];
    EXPECT_EQ(callOf(lines[begin + 2]), "SetVertexShader");
    EXPECT_NE(lines[begin + 2].find("D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1"),
              std::string::npos)
        << lines[begin + 2];
    EXPECT_EQ(callOf(lines[begin + 3]), "DrawPrimitiveUP");
    EXPECT_NE(lines[begin + 3].find("D3DPT_TRIANGLEFAN, PrimitiveCount = 2"), std::string::npos)
        << lines[begin + 3];
    EXPECT_NE(lines[begin + 3].find("VertexStreamZeroStride = 28"), std::string::npos);
    EXPECT_EQ(callOf(lines[begin + 4]), "SetTexture");
    EXPECT_NE(lines[begin + 4].find("pTexture = NULL"), std::string::npos) << lines[begin + 4];
    EXPECT_EQ(callOf(lines[begin + 5]), "EndScene");
    std::remove(trace.c_str());
    std::remove("sprite-test.bmp");
}

} // namespace
