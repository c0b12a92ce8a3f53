#include "scenes/fan/ParticleBurst.h"

#include "scenes/fan/SpherePoint.h"

#include <crtrand.h>

#include <cstring>

namespace {
const char* const IMAGES[ParticleBurst::SYSTEM_COUNT] = {
    "data\\particle_r.bmp", "data\\particle_g.bmp", "data\\particle_b.bmp"};
const double SPEED = 10.0;
const int32_t FULL_ALPHA = 255;
const int32_t ALPHA_STEP = 2;
const int32_t DISCARDED_DRAWS = 3;
// Every point sprite drawn after an emission is this size: the draw leaves it set.
const float POINT_SIZE = 0.2f;
} // namespace

ParticleBurst::ParticleBurst() : alpha(FULL_ALPHA) {}

ParticleBurst::~ParticleBurst() {
    for (ParticleSystem& system : systems) {
        system.release();
    }
}

void ParticleBurst::load(IDirect3DDevice8* device) {
    for (int32_t k = 0; k < SYSTEM_COUNT; ++k) {
        systems[k].create(device, PARTICLES_PER_SYSTEM);
        systems[k].loadTexture(IMAGES[k]);
    }
    alpha = FULL_ALPHA;
}

void ParticleBurst::emit(double x, double y, double z) {
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const float fz = static_cast<float>(z);
    for (ParticleSystem& system : systems) {
        for (int32_t i = 0; i < PARTICLES_PER_SYSTEM; ++i) {
            int theta = crtRand() % 360;
            int phi = crtRand() % 360;
            for (int32_t d = 0; d < DISCARDED_DRAWS; ++d) {
                crtRand();
            }
            SpherePoint velocity = spherePoint(SPEED, theta, phi);
            system.setParticle(fx, fy, fz, static_cast<float>(velocity.x),
                               static_cast<float>(velocity.y), static_cast<float>(velocity.z),
                               0xFFFFFFFFu, i);
        }
    }
    DWORD sizeBits;
    std::memcpy(&sizeBits, &POINT_SIZE, sizeof sizeBits);
    if (systems[0].device != nullptr) {
        systems[0].setRenderState(D3DRS_POINTSIZE, sizeBits);
    }
}

void ParticleBurst::release() {}

int32_t ParticleBurst::fadeStep() {
    for (ParticleSystem& system : systems) {
        system.update(alpha);
    }
    alpha -= ALPHA_STEP;
    return alpha <= 0 ? 1 : 0;
}

void ParticleBurst::setAlpha(int32_t alpha) {
    this->alpha = alpha;
}

void ParticleBurst::render() {
    for (ParticleSystem& system : systems) {
        system.render();
    }
}
