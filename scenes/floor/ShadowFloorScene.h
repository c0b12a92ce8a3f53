// A 12 x 12 grid of one model on a tiled floor over a grey background. A face
// pattern picks which copies are red; every copy has a dim mirror image seen
// through the additively blended floor and a translucent planar shadow that a
// stencil test keeps from darkening any pixel twice. The camera runs through
// four scripted moves, and late in the scene the picture fades to red and black.
#pragma once

#include "gfx/ColorQuad.h"
#include "gfx/MeshModel.h"
#include "demo/Scene.h"
#include "scenes/floor/TiledFloor.h"

#include <d3d8.h>

#include <cstdint>

class ShadowFloorScene : public Scene {
public:
    static constexpr int32_t GRID_SIDE = 12;
    static constexpr int32_t GRID_FIRST = -3; // grid x and z run from -3 to 8

    // The camera position lives for the whole program: start does not reset it.
    static double cameraX;
    static double cameraY;
    static double cameraZ;
    // Fade quads drawn per frame; never reset.
    static int32_t fadeLevel;
    static D3DMATERIAL8 shadowMaterial;
    static D3DMATERIAL8 reflectionMaterial;
    static D3DMATERIAL8 reflectionAccentMaterial;
    static D3DMATERIAL8 accentMaterial;
    // Per cell, row x + 3, column z + 3: 0 for the model's own look, 1 for red.
    static const int8_t gridPattern[GRID_SIDE][GRID_SIDE];

    ShadowFloorScene();

    int update() override;
    int render() override;
    int start() override;
    int load(GraphicsDevice* graphics) override;
    virtual ~ShadowFloorScene();

    int32_t frameCount;
    D3DLIGHT8 light;
    TiledFloor floor;
    MeshModel model;
    ColorQuad fadeQuad;

private:
    void setView();
};
