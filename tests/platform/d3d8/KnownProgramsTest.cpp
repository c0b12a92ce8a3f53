// The programs compiled behind the loading screen: their keys read back as keys, and
// after the first Present every one is compiled, so drawing with them compiles nothing.
#include "DeviceFixture.h"
#include "KnownPrograms.h"
#include "ShaderCache.h"

#include <cstring>
#include <set>
#include <string>

namespace {

ShaderKey sampleKey() {
    ShaderKey key;
    std::memset(&key, 0, sizeof(key));
    key.fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    key.stageCount = 1;
    key.stages[0].colorOp = D3DTOP_MODULATE;
    key.stages[0].colorArg1 = D3DTA_TEXTURE;
    key.stages[0].hasTexture = 1;
    return key;
}

TEST(ShaderKeyTextTest, KeysGoToTextAndBack) {
    const ShaderKey key = sampleKey();
    const std::string text = ShaderCache::keyText(key);
    EXPECT_EQ("4401000001", text.substr(0, 10));
    ShaderKey back;
    ASSERT_TRUE(ShaderCache::keyFromText(text, back));
    EXPECT_TRUE(back == key);
    // The all-zero key is the empty text.
    ShaderKey zero;
    std::memset(&zero, 0, sizeof(zero));
    EXPECT_EQ("", ShaderCache::keyText(zero));
    ASSERT_TRUE(ShaderCache::keyFromText("", back));
    EXPECT_TRUE(back == zero);
}

TEST(ShaderKeyTextTest, TextThatIsNotAKeyIsRefused) {
    ShaderKey key = sampleKey();
    const ShaderKey before = key;
    EXPECT_FALSE(ShaderCache::keyFromText("441", key));  // half a byte
    EXPECT_FALSE(ShaderCache::keyFromText("44G1", key)); // not hex
    EXPECT_FALSE(ShaderCache::keyFromText("44A1", key)); // upper case is not what keyText writes
    EXPECT_FALSE(ShaderCache::keyFromText(std::string(2 * sizeof(ShaderKey) + 2, '0'), key));
    EXPECT_TRUE(key == before); // left alone
}

TEST(ShaderKeyTextTest, TheKnownListHoldsDistinctKeys) {
    std::set<std::string> seen;
    for (size_t i = 0; i < KNOWN_PROGRAM_COUNT; ++i) {
        ShaderKey key;
        ASSERT_TRUE(ShaderCache::keyFromText(KNOWN_PROGRAM_KEYS[i], key)) << KNOWN_PROGRAM_KEYS[i];
        EXPECT_EQ(KNOWN_PROGRAM_KEYS[i], ShaderCache::keyText(key));
        EXPECT_TRUE(seen.insert(KNOWN_PROGRAM_KEYS[i]).second) << KNOWN_PROGRAM_KEYS[i];
    }
}

TEST_F(DeviceTest, TheFirstPresentCompilesEveryKnownProgram) {
    const uint64_t before = ShaderCache::totalCompiles();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const uint64_t afterFirst = ShaderCache::totalCompiles();
    // Each links (a failure would leave it out of the count).
    EXPECT_EQ(before + KNOWN_PROGRAM_COUNT, afterFirst);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(afterFirst, ShaderCache::totalCompiles()); // once per device
    // An untextured sprite (a screen-space quad in its vertex colour) is one of them:
    // drawing it compiles nothing.
    device->BeginScene();
    drawTexturedQuad(0, 0, 10, 10, 0, 0, 1, 1, 0xFFFF0000);
    device->EndScene();
    EXPECT_EQ(afterFirst, ShaderCache::totalCompiles());
    EXPECT_EQ(readPixel(5, 5), 0xFFFF0000u);
}

} // namespace
