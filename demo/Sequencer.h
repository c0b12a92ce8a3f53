// The demo's top-level object: loads every scene behind a loading screen,
// starts the music and the scene clock with the first frame of playback,
// forwards ticks and frames to the current scene, frames every picture with
// the letterbox bands and moves on by the end-time table.
#pragma once

#ifdef LETTERBOX_SCENE
#error "a scene knows demo/Scene.h only; the sequencer holds the scenes, not the other way round"
#endif

#include "demo/IdleScene.h"
#include "demo/Scene.h"
#include "demo/SceneClock.h"
#include "demo/Task.h"

#include "scenes/lattice/BoxLatticeScene.h"
#include "scenes/cloud/CloudScene.h"
#include "scenes/glass/GlassBallScene.h"
#include "scenes/fan/ParticleFanScene.h"
#include "scenes/tunnel/RingTunnelScene.h"
#include "scenes/floor/ShadowFloorScene.h"
#include "gfx/ColorQuad.h"
#include "gfx/Sprite.h"

#include <cstdint>

class MusicPlayer;

class Sequencer : public Task {
public:
    static constexpr int MAX_SLOTS = 16;
    static constexpr int SCENE_SLOTS = 8;
    // End of each slot in seconds on the scene clock, measured from the first frame.
    static const double sceneEndTimes[SCENE_SLOTS];
    // Set once the music and the clock have been started; never reset in a run.
    static int playbackStarted;

    Sequencer();
    ~Sequencer();

    int update() override;
    int render() override;
    virtual int load(GraphicsDevice* graphics, int count);
    virtual void previous();
    virtual void next();
    virtual void rewind();
    virtual int getCurrent();
    virtual int getSlotCount();

    Scene* slots[MAX_SLOTS];
    SceneClock clock;
    int32_t current;
    int32_t slotCount;
    // One member per scene, in slot order; the two idle slots after the last
    // scene hold the demo's ending.
    CloudScene scene1;
    RingTunnelScene scene2;
    ParticleFanScene scene3;
    ShadowFloorScene scene4;
    GlassBallScene scene5;
    BoxLatticeScene scene6;
    IdleScene idleA;
    IdleScene idleB;
    Sprite bandImage;
    Sprite loadingImage;
    ColorQuad progressBar;
    MusicPlayer* music;

private:
    void presentFrame();
    void drawEmptyBar(float x, float y);
};
