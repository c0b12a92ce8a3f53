// Ten glass balls bounce inside a cube around a box mesh while the camera
// circles the origin, bobbing up and down. Each ball shows the box behind it,
// slightly shifted, from an off-screen copy of the frame that an additive
// tint lights up from black through red and yellow towards white; late in the
// scene the whole screen is washed to white.
#pragma once

#include "gfx/ColorQuad.h"
#include "gfx/MeshModel.h"
#include "scenes/glass/RefractionRenderer.h"
#include "demo/Scene.h"

#include <d3d8.h>

#include <cstdint>

class GlassBallScene : public Scene {
public:
    static constexpr int BALL_COUNT = 10;

    // Animation state that lives for the whole program; start sets only the
    // ball positions and steps.
    static double eyeHeight;
    static int32_t eyeFalling;
    static double ballX[BALL_COUNT];
    static double ballY[BALL_COUNT];
    static double ballZ[BALL_COUNT];
    static double ballStepX[BALL_COUNT];
    static double ballStepY[BALL_COUNT];
    static double ballStepZ[BALL_COUNT];
    static double tintRed;
    static double tintGreen;
    static double tintBlue;
    static double whiteLevel;

    GlassBallScene();

    int update() override;
    int render() override;
    int start() override;
    int load(GraphicsDevice* graphics) override;
    virtual ~GlassBallScene();

    int32_t frameCount;
    D3DLIGHT8 light;
    MeshModel box;
    MeshModel ball;
    RefractionRenderer refraction;
    ColorQuad tintQuad;

private:
    void moveBalls();
};
