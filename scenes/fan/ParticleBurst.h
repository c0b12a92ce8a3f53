// Three clouds of 64 particles (red, green and blue images) that explode
// together from one point at equal speed in random directions and fade out
// over 128 steps; the scene then re-emits them elsewhere.
#pragma once

#include "gfx/ParticleSystem.h"

#include <cstdint>

class ParticleBurst {
public:
    static const int32_t PARTICLES_PER_SYSTEM = 64;
    static const int32_t SYSTEM_COUNT = 3;

    ParticleBurst();

    virtual void load(IDirect3DDevice8* device);
    // Puts every particle at (x, y, z) with a fresh random velocity: five
    // draws of the runtime generator per particle.
    virtual void emit(double x, double y, double z);
    // Nothing: the destructor releases the systems.
    virtual void release();
    // Moves and fades every particle; 1 once the alpha has run out.
    virtual int32_t fadeStep();
    virtual void setAlpha(int32_t alpha);
    virtual void render();
    virtual ~ParticleBurst();

    ParticleSystem systems[SYSTEM_COUNT];
    int32_t alpha;
};
