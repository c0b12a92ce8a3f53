#include "scenes/fan/OrbitParticleSystem.h"
#include "RecordingDevice.h"
#include "RuntimeDraws.h"

#include <crtrand.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double DEG = 0.017453293005625408;

TEST(OrbitParticleSystem, CreateDrawsFourValuesPerParticleAndStartsAtTheOrigin) {
    RecordingDevice device;
    OrbitParticleSystem system;
    crtSrand(0);
    system.createOrbit(&device, 128, static_cast<double>(0.3f));
    EXPECT_EQ(system.count, 128);
    EXPECT_EQ(system.radius, static_cast<double>(0.3f));
    ASSERT_NE(system.orbits, nullptr);

    RuntimeDraws draws(0);
    for (int i = 0; i < 128; ++i) {
        const OrbitRecord& orbit = system.orbits[i];
        EXPECT_EQ(orbit.theta, draws.next() % 360) << i;
        EXPECT_EQ(orbit.phi, draws.next() % 360) << i;
        EXPECT_EQ(orbit.thetaStep, draws.next() % 2 == 0 ? -0.2 : 0.25) << i;
        EXPECT_EQ(orbit.phiStep, draws.next() % 2 == 0 ? -0.25 : 0.25) << i;
        // Drawable before the first update: every point at the origin.
        EXPECT_EQ(system.particles[i].x, 0.0f);
        EXPECT_EQ(system.particles[i].y, 0.0f);
        EXPECT_EQ(system.particles[i].z, 0.0f);
    }
    // The generator has moved on by exactly 4 x 128 draws.
    EXPECT_EQ(crtRand(), draws.next());

    // Both step signs occur: the steps come from the draws, not a constant.
    int backwards = 0;
    for (int i = 0; i < 128; ++i) {
        backwards += system.orbits[i].thetaStep < 0 ? 1 : 0;
    }
    EXPECT_GT(backwards, 20);
    EXPECT_LT(backwards, 108);
}

TEST(OrbitParticleSystem, SetColorTruncatesEachChannelAndKeepsItsLowByte) {
    RecordingDevice device;
    OrbitParticleSystem system;
    system.createOrbit(&device, 4, 1.0);
    system.setColor(1.0, 0.5, 0.0, 1.0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(system.particles[i].color, 0xFFFF7F00u) << "127.5 truncates to 127";
    }
    system.setColor(1.0, 0.0, 0.0, 1.0);
    EXPECT_EQ(system.particles[3].color, 0xFFFF0000u);
    system.setColor(2.0, -0.5, 0.2, 0.0);
    // 510 keeps 0xFE; -127.5 truncates to -127, 0x81; 51.000000000000007 to 51.
    EXPECT_EQ(system.particles[0].color, 0x00FE8133u);
    system.setColor(std::nan(""), 1e300, 0.0, 1.0);
    EXPECT_EQ(system.particles[0].color, 0xFF000000u) << "no integer for these: 0";

    OrbitParticleSystem empty;
    empty.createOrbit(&device, 0, 1.0);
    empty.setColor(1.0, 1.0, 1.0, 1.0); // nothing to colour
    EXPECT_EQ(empty.count, 0);
}

TEST(OrbitParticleSystem, UpdatePutsEachParticleOnTheSphereAndWrapsItsAngles) {
    RecordingDevice device;
    OrbitParticleSystem system;
    system.createOrbit(&device, 4, static_cast<double>(0.3f));
    system.setColor(1.0, 0.5, 0.0, 1.0);
    system.particles[1].vx = 7.0f;
    system.orbits[0] = OrbitRecord{10.0, 20.0, 0.25, -0.25};
    system.orbits[1] = OrbitRecord{359.75, 100.0, 0.25, 0.25}; // lands exactly on 360
    system.orbits[2] = OrbitRecord{359.8, 0.1, 0.25, -0.25};   // beyond 360, and below 0
    system.orbits[3] = OrbitRecord{0.1, 359.9, -0.2, 0.25};    // below 0, and beyond 360
    system.updateOrbit();

    EXPECT_EQ(system.orbits[0].theta, 10.25);
    EXPECT_EQ(system.orbits[0].phi, 19.75);
    EXPECT_EQ(system.orbits[1].theta, 360.0) << "exactly a full turn stays";
    EXPECT_EQ(system.orbits[2].theta, 0.0);
    EXPECT_EQ(system.orbits[2].phi, 360.0);
    EXPECT_EQ(system.orbits[3].theta, 360.0);
    EXPECT_EQ(system.orbits[3].phi, 0.0);

    const double r = static_cast<double>(0.3f);
    const Particle& p = system.particles[0];
    EXPECT_EQ(p.x, static_cast<float>(r * std::cos(10.25 * DEG) * std::cos(19.75 * DEG)));
    EXPECT_EQ(p.y, static_cast<float>(r * std::sin(19.75 * DEG)));
    EXPECT_EQ(p.z, static_cast<float>(r * std::sin(10.25 * DEG) * std::cos(19.75 * DEG)));
    for (int i = 0; i < 4; ++i) {
        const Particle& q = system.particles[i];
        EXPECT_NEAR(std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z), 0.3, 1e-6) << i;
        EXPECT_EQ(q.color, 0xFFFF7F00u) << "colour untouched";
    }
    EXPECT_EQ(system.particles[1].vx, 7.0f) << "velocity untouched";
}

TEST(OrbitParticleSystem, UpdateAroundMovesTheSphereToTheCentreAndRadiusScalesIt) {
    RecordingDevice device;
    OrbitParticleSystem system;
    system.createOrbit(&device, 1, 1.0);
    system.orbits[0] = OrbitRecord{-0.25, -0.25, 0.25, 0.25}; // advances to (0, 0)
    system.setRadius(2.0);
    system.updateOrbitAround(1.0, -2.0, 3.0);
    EXPECT_EQ(system.particles[0].x, 3.0f) << "(2, 0, 0) about (1, -2, 3)";
    EXPECT_EQ(system.particles[0].y, -2.0f);
    EXPECT_EQ(system.particles[0].z, 3.0f);
}

TEST(OrbitParticleSystem, ReleaseFreesTheOrbitsTooAndMayBeRepeated) {
    RecordingDevice device;
    OrbitParticleSystem system;
    system.createOrbit(&device, 16, 0.1);
    system.createOrbit(&device, 8, 0.1); // the first records are let go, not leaked
    EXPECT_EQ(system.count, 8);
    ParticleSystem& base = system;
    base.release(); // the override, through the base
    EXPECT_EQ(system.orbits, nullptr);
    EXPECT_EQ(system.particles, nullptr);
    system.release();
    EXPECT_EQ(system.orbits, nullptr);
}

} // namespace
