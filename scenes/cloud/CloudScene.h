// The opening scene: two cloud layers drift right over black and are added
// onto the picture, a full-screen wash brightens it, and two strips cut from
// a bitmap slide in from the right and are multiplied onto it.
#pragma once

#include "gfx/ColorQuad.h"
#include "demo/Scene.h"
#include "gfx/Sprite.h"

#include <cstdint>

class CloudScene : public Scene {
public:
    // On-screen width of the strip sliding in. It lives for the whole program:
    // start does not reset it.
    static double stripWidth;

    CloudScene();

    int update() override;
    int render() override;
    int start() override;
    int load(GraphicsDevice* graphics) override;
    virtual ~CloudScene();

    Sprite cloud1;
    Sprite cloud2;
    Sprite cloud3;
    Sprite living;
    ColorQuad wash;
    double washRed;
    double washGreen;
    double washBlue;
    double drift;
    int32_t frameCount;
};
