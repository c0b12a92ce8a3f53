// The window's copy of the picture: where it goes for each window shape, and that the
// quad shows the same pixels, the same way up, as a linear blit of the same rectangle,
// with black bars around it and an exact copy when the sizes match; and that the CPU's
// scaler gives the quad's pixels.
#include "BilinearScaler.h"
#include "GlContext.h"
#include "ScaledCopy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

TEST(ScaledCopyPlacement, FillsTheWindowWithTheAspectKeptAndCentred) {
    auto expectPlace = [](int sw, int sh, int dw, int dh, ScaledCopy::Placement want) {
        const ScaledCopy::Placement at = ScaledCopy::place(sw, sh, dw, dh);
        EXPECT_EQ(at.x, want.x) << sw << "x" << sh << " in " << dw << "x" << dh;
        EXPECT_EQ(at.y, want.y) << sw << "x" << sh << " in " << dw << "x" << dh;
        EXPECT_EQ(at.width, want.width) << sw << "x" << sh << " in " << dw << "x" << dh;
        EXPECT_EQ(at.height, want.height) << sw << "x" << sh << " in " << dw << "x" << dh;
    };
    expectPlace(800, 600, 1920, 1080, {240, 0, 1440, 1080}); // bars left and right
    expectPlace(800, 600, 800, 600, {0, 0, 800, 600});       // one pixel each
    expectPlace(800, 600, 1000, 1000, {0, 125, 1000, 750});  // bars above and below
    expectPlace(800, 600, 1366, 768, {171, 0, 1024, 768});   // odd margin: one more right
    expectPlace(0, 600, 800, 600, {0, 0, 0, 0});
    expectPlace(800, 600, 0, 600, {0, 0, 0, 0});
}

std::vector<uint32_t> blockPicture();

// A picture's rectangle copied into a window of the given size.
struct CopyCase {
    RECT rect;
    int windowWidth, windowHeight;
};

// Draws into colour textures on the process's context (on its own hidden window).
class ScaledCopyTest : public ::testing::Test {
protected:
    // The block picture below in a texture, and the framebuffer showing it.
    struct BlockSource {
        std::vector<uint32_t> picture;
        GLuint texture = 0;
        GLuint framebuffer = 0;
    };
    BlockSource blockSource() {
        BlockSource block{blockPicture()};
        block.framebuffer = target(80, 60, &block.picture);
        block.texture = textures.back();
        return block;
    }

    void SetUp() override {
        GlContext* context = GlContext::get();
        if (context == nullptr || !context->makeCurrent(nullptr)) {
            GTEST_SKIP() << "no OpenGL 3.3 context";
        }
    }
    void TearDown() override {
        for (GLuint framebuffer : framebuffers) {
            glDeleteFramebuffers(1, &framebuffer);
        }
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    // A texture of width x height with the given pixels (0xAARRGGBB, GL rows bottom first)
    // and a framebuffer showing it.
    GLuint target(int width, int height, const std::vector<uint32_t>* pixels = nullptr) {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     pixels ? pixels->data() : nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        textures.push_back(texture);
        GLuint framebuffer = 0;
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
        if (pixels == nullptr) {
            // Anything the copy fails to write shows as this.
            glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        framebuffers.push_back(framebuffer);
        return framebuffer;
    }

    static std::vector<uint32_t> read(GLuint framebuffer, int width, int height) {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static int channelDifference(uint32_t a, uint32_t b) {
        int most = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
        }
        return most;
    }

    std::vector<GLuint> textures;
    std::vector<GLuint> framebuffers;
};

// An 80 x 60 picture of 10 x 10 blocks of distinct colours, shaded inside each block so
// filtering shows; rows bottom first as our targets hold them (GL row 0 = the top row).
std::vector<uint32_t> blockPicture() {
    std::vector<uint32_t> pixels(80 * 60);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 80; ++x) {
            const uint32_t block = uint32_t(y / 10 * 8 + x / 10);
            pixels[size_t(y) * 80 + x] = 0xFF000000u | (block * 5u) << 16 |
                                         uint32_t(x % 10 * 20) << 8 | uint32_t(y % 10 * 20);
        }
    }
    return pixels;
}

TEST_F(ScaledCopyTest, ScaledPictureMatchesALinearBlitWithBlackBars) {
    const BlockSource block = blockSource();
    const std::vector<uint32_t>& picture = block.picture;
    const GLuint sourceTexture = block.texture;
    const GLuint source = block.framebuffer;
    ScaledCopy copy;
    ASSERT_TRUE(copy.valid());
    // A window of 192 x 108: the picture at x 24 to 167, full height.
    for (const CopyCase& c :
         {CopyCase{{0, 0, 80, 60}, 192, 108}, CopyCase{{10, 5, 50, 35}, 192, 108},
          CopyCase{{0, 0, 80, 60}, 100, 160}}) {
        const ScaledCopy::Placement at = ScaledCopy::place(
            c.rect.right - c.rect.left, c.rect.bottom - c.rect.top, c.windowWidth, c.windowHeight);
        const GLuint window = target(c.windowWidth, c.windowHeight);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, window);
        copy.draw(sourceTexture, 80, 60, c.rect, c.windowWidth, c.windowHeight);
        const std::vector<uint32_t> shown = read(window, c.windowWidth, c.windowHeight);

        const GLuint blitted = target(c.windowWidth, c.windowHeight);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, blitted);
        glBlitFramebuffer(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom, at.x,
                          at.y + at.height, at.x + at.width, at.y, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        const std::vector<uint32_t> expected = read(blitted, c.windowWidth, c.windowHeight);

        int worst = 0;
        for (int y = 0; y < c.windowHeight; ++y) {
            for (int x = 0; x < c.windowWidth; ++x) {
                const size_t i = size_t(y) * c.windowWidth + x;
                const bool inside =
                    x >= at.x && x < at.x + at.width && y >= at.y && y < at.y + at.height;
                if (!inside) {
                    ASSERT_EQ(shown[i], 0xFF000000u) << "bar pixel " << x << "," << y;
                } else {
                    worst = std::max(worst, channelDifference(shown[i], expected[i]));
                }
            }
        }
        EXPECT_LE(worst, 1) << "source " << c.rect.left << "," << c.rect.top;
        // The source's top-left block shows at the window's top left, right way up (red
        // tells the blocks apart: rows of blocks differ by 40, neighbours by 5, and the edge
        // pixel may take a little of the neighbour outside the rectangle, as the blit does).
        const int topLeftRed =
            int(shown[size_t(at.y + at.height - 1) * c.windowWidth + at.x] >> 16 & 0xFF);
        const int sourceRed = int(picture[size_t(c.rect.top) * 80 + c.rect.left] >> 16 & 0xFF);
        EXPECT_LE(std::abs(topLeftRed - sourceRed), 3)
            << "source " << c.rect.left << "," << c.rect.top;
    }
}

TEST_F(ScaledCopyTest, SameSizeIsAnExactCopy) {
    const std::vector<uint32_t> picture = blockPicture();
    target(80, 60, &picture);
    const GLuint sourceTexture = textures.back();
    ScaledCopy copy;
    ASSERT_TRUE(copy.valid());
    const GLuint window = target(80, 60);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, window);
    copy.draw(sourceTexture, 80, 60, RECT{0, 0, 80, 60}, 80, 60);
    const std::vector<uint32_t> shown = read(window, 80, 60);
    // Window row y (bottom first) shows picture row 59 - y (top row first).
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 80; ++x) {
            ASSERT_EQ(shown[size_t(y) * 80 + x], picture[size_t(59 - y) * 80 + x]) << x << "," << y;
        }
    }
}

TEST(BilinearScalerTaps, FollowGlSamplePointsAndClampAtTheEdges) {
    auto expectTap = [](int index, int start, int size, int count, BilinearScaler::Tap want) {
        const BilinearScaler::Tap t = BilinearScaler::tap(index, start, size, count, 800);
        EXPECT_EQ(t.first, want.first) << index << " of " << count << " from " << size;
        EXPECT_EQ(t.second, want.second) << index << " of " << count << " from " << size;
        EXPECT_EQ(t.weight, want.weight) << index << " of " << count << " from " << size;
    };
    expectTap(0, 0, 800, 800, {0, 1, 0});       // same size: the pixel itself
    expectTap(799, 0, 800, 800, {799, 799, 0}); // the last one clamps
    expectTap(0, 0, 800, 1440, {0, 0, 0});      // before the first centre: clamped
    expectTap(1, 0, 800, 1440, {0, 1, 85});     // 1.5 / 1.8 - 0.5 = 0.333...
    expectTap(1439, 0, 800, 1440, {799, 799, 0});
    expectTap(1, 0, 800, 400, {2, 3, 128}); // halving: between two pixels
    // Part of the picture: its edges blend with the pixels outside it, as GL's do.
    expectTap(0, 100, 200, 400, {99, 100, 192});
}

// The CPU's copy, as the presenter makes it on the software rasteriser: the picture read
// back (R, G, B, A, top row first), scaled into B, G, R, X window memory (top row first).
TEST_F(ScaledCopyTest, CpuScalerGivesTheQuadsPixels) {
    const BlockSource block = blockSource();
    ScaledCopy copy;
    ASSERT_TRUE(copy.valid());
    BilinearScaler scaler;
    for (const CopyCase& c :
         {CopyCase{{0, 0, 80, 60}, 192, 108}, CopyCase{{10, 5, 50, 35}, 192, 108},
          CopyCase{{0, 0, 80, 60}, 100, 160}, CopyCase{{0, 0, 80, 60}, 80, 60},
          CopyCase{{0, 0, 80, 60}, 50, 37}}) {
        const int sw = c.rect.right - c.rect.left, sh = c.rect.bottom - c.rect.top;
        const ScaledCopy::Placement at = ScaledCopy::place(sw, sh, c.windowWidth, c.windowHeight);
        const GLuint window = target(c.windowWidth, c.windowHeight);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, window);
        copy.draw(block.texture, 80, 60, c.rect, c.windowWidth, c.windowHeight);
        const std::vector<uint32_t> quad = read(window, c.windowWidth, c.windowHeight);

        std::vector<uint8_t> rgba(80 * 60 * 4);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, block.framebuffer);
        glReadPixels(0, 0, 80, 60, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<uint32_t> memory(size_t(at.width) * at.height, 0xDEADBEEFu);
        scaler.prepare(80, 60, BilinearScaler::Area{int(c.rect.left), int(c.rect.top), sw, sh},
                       at.width, at.height);
        scaler.scale(rgba.data(), 80 * 4, reinterpret_cast<uint8_t*>(memory.data()),
                     size_t(at.width) * 4);

        const bool sameSize = at.width == sw && at.height == sh;
        int worst = 0;
        for (int y = 0; y < at.height; ++y) {
            for (int x = 0; x < at.width; ++x) {
                // Memory row y is the window's row y from the top; the quad's rows count up.
                const uint32_t cpu = memory[size_t(y) * at.width + x] | 0xFF000000u;
                const int windowRow = at.y + at.height - 1 - y;
                const uint32_t gl = quad[size_t(windowRow) * c.windowWidth + at.x + x];
                if (sameSize) {
                    ASSERT_EQ(cpu, gl) << x << "," << y;
                }
                worst = std::max(worst, channelDifference(cpu, gl));
            }
        }
        EXPECT_LE(worst, 1) << "source " << c.rect.left << "," << c.rect.top << " in "
                            << c.windowWidth << "x" << c.windowHeight;
    }
}

} // namespace
