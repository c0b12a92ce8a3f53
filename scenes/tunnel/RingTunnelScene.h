// The title and the ring tunnel: first the title cells shrink in pulses over
// a circle, trailing outwards; then the camera flies along a ring of 64 tori
// through three clouds of points, under a flickering overlay of random
// glyphs, and from update 631 on everything smears through the trail.
#pragma once

#include "gfx/FeedbackTrail.h"
#include "gfx/ParticleSystem.h"
#include "demo/Scene.h"
#include "gfx/Sprite.h"
#include "scenes/tunnel/TorusShape.h"

#include <d3d8.h>

#include <cstdint>

class RingTunnelScene : public Scene {
public:
    static constexpr int32_t RING_SIZE = 64;
    static constexpr int32_t CLOUD_COUNT = 3;
    static constexpr int32_t CLOUD_POINTS = 43;

    // Animation state that lives for the whole program: start resets none of it.
    static double titleZoom;
    static double cameraAngle; // degrees along the ring, 0 <= angle < 360
    static double cameraUp[3];
    static double cycleColor[3]; // red, green, blue, each within 0.3 .. 1.0
    static int32_t cyclePhase;   // 0 .. 5: which component rises or falls
    static double ringX[RING_SIZE];
    static double ringZ[RING_SIZE];
    static D3DMATERIAL8 ringMaterial;

    // Whole degrees of ring position k: 0, 5, 11, 16, ... 354.
    static int32_t ringDegrees(int32_t k);
    // Diffuse, ambient, specular and emissive all (red, green, blue, 1), power 2.
    static D3DMATERIAL8 makeMaterial(double red, double green, double blue);
    // One step of the slow red, green, blue cycle of the tori and the overlay.
    static void stepColorCycle();

    RingTunnelScene();

    int update() override;
    int render() override;
    int start() override;
    int load(GraphicsDevice* graphics) override;
    virtual ~RingTunnelScene();

    Sprite titleSprite;
    Sprite circleSprite;
    Sprite glyphSprite;
    TorusShape torus;
    FeedbackTrail trail;
    int32_t frameCount;
    D3DLIGHT8 light;
    ParticleSystem clouds[CLOUD_COUNT];

private:
    void renderIntro(float width, float height);
    void renderTunnel(float width, float height);
    void drawRing();
    void drawOverlay(float width, float height);
    void drawGlyph(float x, float y, int32_t column, int32_t row);
    void drawRandomDigit(float x, float y);
    void drawRandomLetter(float x, float y);
    void drawWord(float x, float y, const int32_t (*cells)[2], int32_t length);
};
