#include "scenes/fan/ParticleBurst.h"
#include "RecordingDevice.h"
#include "RuntimeDraws.h"

#include <crtrand.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double DEG = 0.017453293005625408;

class ParticleBurstTest : public ::testing::Test {
protected:
    void SetUp() override {
        burst.load(&device);
        device.clear();
    }

    RecordingDevice device;
    ParticleBurst burst;
};

TEST_F(ParticleBurstTest, LoadMakesThreeCloudsOf64AtFullAlpha) {
    ParticleBurst fresh;
    fresh.alpha = 17;
    RecordingDevice other;
    fresh.load(&other);
    EXPECT_EQ(fresh.alpha, 255);
    for (const ParticleSystem& system : fresh.systems) {
        EXPECT_EQ(system.count, 64);
        EXPECT_EQ(system.device, &other);
    }
    EXPECT_EQ(other.named("CreateVertexBuffer").size(), 3u);
}

TEST_F(ParticleBurstTest, EmitDrawsFiveValuesPerParticleForOneSpeedInEveryDirection) {
    crtSrand(0);
    burst.emit(1.25, -0.5, 2.0000000001);
    RuntimeDraws draws(0);
    for (int k = 0; k < 3; ++k) {
        for (int i = 0; i < 64; ++i) {
            int theta = draws.next() % 360;
            int phi = draws.next() % 360;
            draws.skip(3);
            const Particle& p = burst.systems[k].particles[i];
            EXPECT_EQ(p.x, 1.25f);
            EXPECT_EQ(p.y, -0.5f);
            EXPECT_EQ(p.z, 2.0f) << "the point is rounded to single precision";
            EXPECT_EQ(p.vx, static_cast<float>(10.0 * std::cos(theta * DEG) * std::cos(phi * DEG)))
                << k << " " << i;
            EXPECT_EQ(p.vy, static_cast<float>(10.0 * std::sin(phi * DEG))) << k << " " << i;
            EXPECT_EQ(p.vz, static_cast<float>(10.0 * std::sin(theta * DEG) * std::cos(phi * DEG)))
                << k << " " << i;
            EXPECT_NEAR(std::sqrt(p.vx * p.vx + p.vy * p.vy + p.vz * p.vz), 10.0, 1e-5);
            EXPECT_EQ(p.color, 0xFFFFFFFFu);
        }
    }
    EXPECT_EQ(crtRand(), draws.next()) << "exactly 5 x 192 draws";
    EXPECT_EQ(burst.alpha, 255) << "emit leaves the alpha alone";

    // The point size every later sprite of the scene is drawn with.
    ASSERT_EQ(device.renderStates().size(), 1u);
    EXPECT_EQ(device.renderStates()[0],
              (std::pair<uint32_t, uint32_t>{D3DRS_POINTSIZE, 0x3E4CCCCDu}));
}

TEST_F(ParticleBurstTest, ExhaustedOnExactlyThe128thStepHavingTravelled128Hundredths) {
    crtSrand(7);
    burst.emit(0.0, 0.0, 0.0);
    burst.setAlpha(255);
    for (int step = 1; step <= 127; ++step) {
        ASSERT_EQ(burst.fadeStep(), 0) << "step " << step;
        if (step == 1) {
            EXPECT_EQ(burst.systems[2].particles[5].color >> 24, 255u);
        }
    }
    EXPECT_EQ(burst.systems[0].particles[0].color >> 24, 3u) << "the 127th step applies 3";
    EXPECT_EQ(burst.fadeStep(), 1);
    EXPECT_EQ(burst.alpha, -1);
    for (int k = 0; k < 3; ++k) {
        const Particle& p = burst.systems[k].particles[63];
        EXPECT_EQ(p.color, 0x01FFFFFFu) << "the last step applies 1";
        EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 1.28, 1e-4);
    }

    // The scene re-arms it.
    burst.setAlpha(255);
    EXPECT_EQ(burst.fadeStep(), 0);
    EXPECT_EQ(burst.systems[1].particles[0].color >> 24, 255u);
}

} // namespace
