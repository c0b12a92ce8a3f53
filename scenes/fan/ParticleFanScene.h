// The third scene: two rows of spinning fans over black, an orange shell and
// a red core of particles orbiting the origin, red, green and blue bursts
// exploding from random points, and late on a trail that shrinks every frame
// towards the centre, shown as a photographic negative. The camera circles
// the origin on an ellipse while bobbing up and down.
#pragma once

#include "gfx/ColorQuad.h"
#include "gfx/FeedbackTrail.h"
#include "scenes/fan/OrbitParticleSystem.h"
#include "scenes/fan/ParticleBurst.h"
#include "demo/Scene.h"
#include "gfx/Sprite.h"

#include <cstdint>

class ParticleFanScene : public Scene {
public:
    static const int32_t BURST_COUNT = 3;
    // The update from which each burst moves, fades and is drawn.
    static const int32_t BURST_JOIN_TICKS[BURST_COUNT];
    // The update from which frames go through the trail and are inverted.
    static const int32_t TRAIL_FROM_TICK = 290;

    // The camera lives for the whole program: start resets only the angle.
    static double cameraAngle;  // degrees, 0 to 358
    static double cameraHeight; // -10 to 10
    static int32_t cameraFalling;

    ParticleFanScene();

    int update() override;
    int render() override;
    int start() override;
    int load(GraphicsDevice* graphics) override;
    virtual ~ParticleFanScene();

    int32_t frameCount;
    ColorQuad overlay;
    ParticleBurst bursts[BURST_COUNT];
    OrbitParticleSystem shell;
    OrbitParticleSystem core;
    Sprite fan;
    FeedbackTrail trail;

private:
    void emitAtRandom(ParticleBurst& burst);
    void moveCamera();
};
