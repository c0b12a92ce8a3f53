// A frame with more primitives than one batch holds: it reaches the rasteriser in several
// batches, never more queued than the bound, and the picture is the one the draws make in
// their order.
#include "Device.h"
#include "DeviceFixture.h"
#include "SubmitThrottle.h"

namespace {

class SubmitThrottleTest : public DeviceTest {
protected:
    Device* gl() { return static_cast<Device*>(device); }
};

// Round r paints column x in this colour; each round differs from the one before.
D3DCOLOR roundColor(uint32_t round) {
    return 0xFF000000u | ((round * 70u + 40u) << 16) | ((200u - round * 50u) << 8) | round * 60u;
}

TEST_F(SubmitThrottleTest, BatchesOfAFrameKeepTheirOrderAndStayBounded) {
    // One-pixel columns from left to right, round after round: each pixel shows the last
    // round that reached its column, which a lost or reordered batch would change.
    const uint32_t quads = 2 * SubmitThrottle::BATCH_PRIMITIVES + 300;
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device->SetRenderState(D3DRS_ZENABLE, FALSE), D3D_OK);
    size_t mostQueued = 0;
    for (uint32_t i = 0; i < quads; ++i) {
        const float x = static_cast<float>(i % 800);
        drawQuad(x, 0, x + 1, 600, roundColor(i / 800));
        mostQueued = std::max(mostQueued, gl()->batchesQueued());
        ASSERT_LE(gl()->batchesQueued(), SubmitThrottle::MAX_QUEUED_BATCHES);
    }
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_GE(mostQueued, 1u); // the frame did go over in batches
    const uint32_t lastRound = (quads - 1) / 800;
    const uint32_t lastColumn = (quads - 1) % 800;
    EXPECT_EQ(readPixel(0, 300), roundColor(lastRound));
    EXPECT_EQ(readPixel(static_cast<int>(lastColumn), 599), roundColor(lastRound));
    EXPECT_EQ(readPixel(static_cast<int>(lastColumn) + 1, 0), roundColor(lastRound - 1));
    EXPECT_EQ(readPixel(799, 300), roundColor(lastRound - 1));
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(SubmitThrottleTest, DeviceGoesCleanlyWithBatchesQueued) {
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    for (uint32_t i = 0; i < 3 * SubmitThrottle::BATCH_PRIMITIVES / 2; ++i) {
        drawQuad(0, 0, 800, 600, roundColor(i % 4));
    }
    ASSERT_EQ(device->EndScene(), D3D_OK);
    // Released by the fixture with the frame never presented: the fences go with it.
    EXPECT_LE(gl()->batchesQueued(), SubmitThrottle::MAX_QUEUED_BATCHES);
}

} // namespace
