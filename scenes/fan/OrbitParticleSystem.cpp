#include "scenes/fan/OrbitParticleSystem.h"

#include "scenes/fan/SpherePoint.h"

#include <crtrand.h>

#include <cmath>

namespace {
const double THETA_STEP_BACK = -0.2;
const double PHI_STEP_BACK = -0.25;
const double STEP_FORWARD = 0.25;
const double FULL_TURN = 360.0;

// channel x 255 truncated toward zero, as an integer whose low byte is kept;
// values no integer can hold (NaN, huge) give 0 rather than undefined behaviour.
uint32_t channelByte(double channel) {
    double scaled = std::trunc(channel * 255.0);
    if (!(scaled > -2147483648.0 && scaled < 2147483648.0)) {
        return 0;
    }
    return static_cast<uint32_t>(static_cast<int32_t>(scaled)) & 0xFFu;
}

double wrapAngle(double degrees) {
    // Exactly 360 stays: only angles beyond a full turn start again.
    if (degrees > FULL_TURN) {
        return 0.0;
    }
    if (degrees < 0.0) {
        return FULL_TURN;
    }
    return degrees;
}
} // namespace

OrbitParticleSystem::OrbitParticleSystem() : orbits(nullptr), radius(0.0) {}

OrbitParticleSystem::~OrbitParticleSystem() {
    OrbitParticleSystem::release();
}

void OrbitParticleSystem::release() {
    ParticleSystem::release();
    delete[] orbits;
    orbits = nullptr;
}

void OrbitParticleSystem::createOrbit(IDirect3DDevice8* device, int32_t count, double radius) {
    delete[] orbits;
    orbits = nullptr;
    ParticleSystem::create(device, count);
    this->radius = radius;
    if (this->count == 0) {
        return;
    }
    orbits = new OrbitRecord[this->count];
    for (int32_t i = 0; i < this->count; ++i) {
        OrbitRecord& orbit = orbits[i];
        orbit.theta = crtRand() % 360;
        orbit.phi = crtRand() % 360;
        orbit.thetaStep = crtRand() % 2 == 0 ? THETA_STEP_BACK : STEP_FORWARD;
        orbit.phiStep = crtRand() % 2 == 0 ? PHI_STEP_BACK : STEP_FORWARD;
    }
}

void OrbitParticleSystem::setRadius(double radius) {
    this->radius = radius;
}

void OrbitParticleSystem::setColor(double red, double green, double blue, double alpha) {
    uint32_t color = (channelByte(alpha) << 24) | (channelByte(red) << 16) |
                     (channelByte(green) << 8) | channelByte(blue);
    for (int32_t i = 0; i < count; ++i) {
        particles[i].color = color;
    }
}

void OrbitParticleSystem::advance(double centreX, double centreY, double centreZ) {
    for (int32_t i = 0; i < count; ++i) {
        OrbitRecord& orbit = orbits[i];
        orbit.theta = wrapAngle(orbit.theta + orbit.thetaStep);
        orbit.phi = wrapAngle(orbit.phi + orbit.phiStep);
        SpherePoint point = spherePoint(radius, orbit.theta, orbit.phi);
        Particle& particle = particles[i];
        particle.x = static_cast<float>(centreX + point.x);
        particle.y = static_cast<float>(centreY + point.y);
        particle.z = static_cast<float>(centreZ + point.z);
    }
}

void OrbitParticleSystem::updateOrbitAround(double centreX, double centreY, double centreZ) {
    advance(centreX, centreY, centreZ);
}

void OrbitParticleSystem::updateOrbit() {
    advance(0.0, 0.0, 0.0);
}
