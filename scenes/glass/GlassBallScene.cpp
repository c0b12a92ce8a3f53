#include "scenes/glass/GlassBallScene.h"

#include "common/Angles.h"
#include "gfx/GraphicsDevice.h"
#include "demo/RandRange.h"

#include <crtrand.h>
#include <d3dx8.h>

#include <cmath>

double GlassBallScene::eyeHeight = 0.0;
int32_t GlassBallScene::eyeFalling = 0;
double GlassBallScene::ballX[BALL_COUNT] = {};
double GlassBallScene::ballY[BALL_COUNT] = {};
double GlassBallScene::ballZ[BALL_COUNT] = {};
double GlassBallScene::ballStepX[BALL_COUNT] = {};
double GlassBallScene::ballStepY[BALL_COUNT] = {};
double GlassBallScene::ballStepZ[BALL_COUNT] = {};
double GlassBallScene::tintRed = 0.0;
double GlassBallScene::tintGreen = 0.0;
double GlassBallScene::tintBlue = 0.0;
double GlassBallScene::whiteLevel = 0.0;

namespace {
// Single-precision constants widened to double, as the motion is counted.
const double STEP = static_cast<double>(0.01f);
const double EYE_LIMIT = static_cast<double>(0.6f);
const double BALL_LIMIT = 0.75;
const float BALL_SCALE = 0.3f;
const double EYE_RADIUS = 0.75;
// The field of view is read as radians, as in the other 3D scenes.
const float FIELD_OF_VIEW = 120.0f;
const float NEAR_PLANE = 0.1f;
const float FAR_PLANE = 100.0f;
const int32_t TEXTURE_SIZE = 1024;
const double TINT_MAX = 255.0;
const int32_t WHITE_FROM_FRAME = 480;
const double WHITE_STEP = 2.5;
const D3DCOLOR CLEAR_COLOR = 0xFF000000;
const DWORD AMBIENT = 0x00333333;

// One axis of one ball: move, then clamp and turn at either wall.
void moveAxis(double& position, double& step) {
    position += step;
    if (position >= BALL_LIMIT) {
        position = BALL_LIMIT;
        step = -STEP;
    }
    if (position <= -BALL_LIMIT) {
        position = -BALL_LIMIT;
        step = STEP;
    }
}

double randomStep() {
    return crtRand() % 2 == 0 ? STEP : -STEP;
}
} // namespace

GlassBallScene::GlassBallScene() : frameCount(0), light{} {}

GlassBallScene::~GlassBallScene() {
    box.release();
    ball.release();
    refraction.release();
}

int GlassBallScene::load(GraphicsDevice* graphics) {
    Scene::load(graphics);

    box.attach(device);
    box.load("data\\box.x");
    ball.attach(device);
    ball.load("data\\ball.x");

    D3DPRESENT_PARAMETERS parameters;
    graphics->getPresentParameters(&parameters);
    refraction.attach(device);
    refraction.create(parameters, TEXTURE_SIZE, TEXTURE_SIZE, graphics->getWidth(),
                      graphics->getHeight());

    tintQuad.attach(device);

    light = D3DLIGHT8{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
    light.Specular = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
    light.Ambient = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = D3DVECTOR{1.0f, -1.0f, -1.0f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    return 0;
}

int GlassBallScene::start() {
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    device->SetRenderState(D3DRS_AMBIENT, AMBIENT);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    // Every later blend of the scene adds.
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);

    for (int k = 0; k < BALL_COUNT; ++k) {
        ballX[k] = randRange(-0.75f, 0.75f);
        ballY[k] = randRange(-0.75f, 0.75f);
        ballZ[k] = randRange(-0.75f, 0.75f);
        ballStepX[k] = randomStep();
        ballStepY[k] = randomStep();
        ballStepZ[k] = randomStep();
    }
    frameCount = 0;
    return 0;
}

int GlassBallScene::update() {
    frameCount += 1;

    if (eyeFalling == 0) {
        eyeHeight += STEP;
        if (eyeHeight >= EYE_LIMIT) {
            eyeHeight = EYE_LIMIT;
            eyeFalling = 1;
        }
    } else {
        eyeHeight -= STEP;
        if (eyeHeight <= -EYE_LIMIT) {
            eyeHeight = -EYE_LIMIT;
            eyeFalling = 0;
        }
    }

    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, FIELD_OF_VIEW,
                               static_cast<float>(graphics->getWidth()) /
                                   static_cast<float>(graphics->getHeight()),
                               NEAR_PLANE, FAR_PLANE);
    device->SetTransform(D3DTS_PROJECTION, &projection);

    // One degree per update: a full circle every 360 updates.
    double angle = static_cast<double>(static_cast<float>(frameCount) * DEG_TO_RAD_F);
    D3DXVECTOR3 eye(static_cast<float>(EYE_RADIUS * std::cos(angle)), static_cast<float>(eyeHeight),
                    static_cast<float>(EYE_RADIUS * std::sin(angle)));
    D3DXVECTOR3 at(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    device->SetTransform(D3DTS_VIEW, &view);

    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);

    moveBalls();

    if (tintRed < TINT_MAX) {
        tintRed += 1.0;
    } else if (tintGreen < TINT_MAX) {
        tintGreen += 1.0;
    } else if (tintBlue < TINT_MAX) {
        tintBlue += 1.0;
    }
    tintQuad.setColor(static_cast<int32_t>(tintRed), static_cast<int32_t>(tintGreen),
                      static_cast<int32_t>(tintBlue));

    if (frameCount >= WHITE_FROM_FRAME) {
        whiteLevel += WHITE_STEP;
        if (whiteLevel >= TINT_MAX) {
            whiteLevel = TINT_MAX;
        }
    }
    return 0;
}

void GlassBallScene::moveBalls() {
    for (int k = 0; k < BALL_COUNT; ++k) {
        moveAxis(ballX[k], ballStepX[k]);
        moveAxis(ballY[k], ballStepY[k]);
        moveAxis(ballZ[k], ballStepZ[k]);
    }
}

int GlassBallScene::render() {
    float width = static_cast<float>(graphics->getWidth());
    float height = static_cast<float>(graphics->getHeight());

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, CLEAR_COLOR, 1.0f, 0);

    refraction.beginBackground();
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 0.0f);
    device->SetTransform(D3DTS_WORLD, &world);
    box.draw();
    refraction.copyBackground();

    // The tint is added to the copy the balls are textured with.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    tintQuad.draw(0.0f, 0.0f, width, height, 1.0f);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);

    refraction.beginForeground();
    D3DXMATRIX scale;
    D3DXMatrixScaling(&scale, BALL_SCALE, BALL_SCALE, BALL_SCALE);
    for (int k = 0; k < BALL_COUNT; ++k) {
        D3DXMATRIX translation;
        D3DXMatrixTranslation(&translation, static_cast<float>(ballX[k]),
                              static_cast<float>(ballY[k]), static_cast<float>(ballZ[k]));
        D3DXMatrixMultiply(&world, &scale, &translation);
        device->SetTransform(D3DTS_WORLD, &world);
        refraction.drawRefracting(ball);
    }
    refraction.showResult();

    if (frameCount >= WHITE_FROM_FRAME) {
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        int32_t white = static_cast<int32_t>(whiteLevel);
        tintQuad.setColor(white, white, white);
        tintQuad.draw(0.0f, 0.0f, width, height, 1.0f);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    }
    return 0;
}
