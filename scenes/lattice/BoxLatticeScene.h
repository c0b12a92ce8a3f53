// The closing scene: on white, two spinning images drift along the top and
// the bottom while red cubes fly out of the centre into a flat 6 x 6 grid,
// open up into a 6 x 6 x 6 lattice under a camera that circles and swings
// over it, and fade into the white; then a logo and two companion images
// slide in, stay and slide out again while fading.
#pragma once

#include "scenes/lattice/BoxShape.h"
#include "scenes/lattice/Flier.h"
#include "demo/Scene.h"
#include "gfx/Sprite.h"

#include <d3d8.h>

#include <cstdint>

class BoxLatticeScene : public Scene {
public:
    static constexpr int FLIERS = 9;
    static constexpr int LAYERS = 6;

    // Animation state that lives for the whole program: start resets none of it.
    // The camera, moved by update (degrees; the azimuth is never wrapped).
    static double cameraAzimuth;
    static double cameraElevation;
    static int32_t cameraFalling;
    // Moved by render, once per drawn frame: the drifting images' spin and
    // drift, and the closing images' alpha, position and speed.
    static double spinAngle;
    static double scrollOffset;
    static double logoAlpha;
    static double logoX;
    static double logoSpeed;

    BoxLatticeScene();

    int update() override;
    int render() override;
    int start() override;
    int load(GraphicsDevice* graphics) override;
    virtual ~BoxLatticeScene();

    Sprite logoSprite;
    Sprite holeSprite;
    Sprite back1Sprite;
    Sprite back2Sprite;
    Sprite faewfaewSprite;
    BoxShape box;
    D3DLIGHT8 light;
    Flier fliers[FLIERS];
    int32_t frameCount;
    double layerDepth[LAYERS];

private:
    void moveCamera();
    void moveCubes(int32_t n);
    void drawDriftingImages();
    void drawCubes(int32_t n);
    void drawClosingImages(int32_t n);
};
