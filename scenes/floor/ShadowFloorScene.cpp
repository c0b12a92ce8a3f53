#include "scenes/floor/ShadowFloorScene.h"

#include "gfx/GraphicsDevice.h"
#include "gfx/SceneStates.h"

#include <d3dx8.h>

double ShadowFloorScene::cameraX = 1.0;
double ShadowFloorScene::cameraY = 1.0;
double ShadowFloorScene::cameraZ = -5.0;
int32_t ShadowFloorScene::fadeLevel = 0;
D3DMATERIAL8 ShadowFloorScene::shadowMaterial = {};
D3DMATERIAL8 ShadowFloorScene::reflectionMaterial = {};
D3DMATERIAL8 ShadowFloorScene::reflectionAccentMaterial = {};
D3DMATERIAL8 ShadowFloorScene::accentMaterial = {};

// A face in red: its outline, two eyes and a smile.
const int8_t ShadowFloorScene::gridPattern[GRID_SIDE][GRID_SIDE] = {
    {0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0}, {0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0},
    {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0},
    {1, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
    {1, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 1}, {1, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 1},
    {0, 1, 0, 0, 1, 1, 1, 1, 0, 0, 1, 0}, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0},
    {0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0}, {0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0},
};

namespace {
const char* const FLOOR_FILE = "data\\floor.bmp";
const char* const MODEL_FILE = "data\\w.x";

const float FIELD_OF_VIEW = 120.0f; // read as radians: a narrow view
const float NEAR_PLANE = 0.1f;
const float FAR_PLANE = 10000.0f;

const int32_t SECOND_MOVE = 121;
const int32_t THIRD_MOVE = 241;
const int32_t LAST_MOVE = 361;
// The single-precision steps, widened.
const double SIDE_STEP = static_cast<double>(0.01f);
const double RISE_STEP = static_cast<double>(0.1f);

const int32_t FADE_FROM = 500;
const int32_t FADE_PHASE = 420;
const int32_t FADE_EVERY = 20;

const float PI_F = 3.1415927410125732f;
const double MIRROR_SHIFT = 0.15;
const double SHADOW_SHIFT = 0.13333333333333333;
const float MODEL_HEIGHT = 0.1f;

D3DMATERIAL8 uniformMaterial(float r, float g, float b, float alpha) {
    D3DMATERIAL8 m{};
    m.Diffuse = {r, g, b, alpha};
    m.Ambient = {r, g, b, alpha};
    m.Specular = {r, g, b, 0.0f};
    m.Emissive = {r, g, b, 0.0f};
    m.Power = 0.0f;
    return m;
}
} // namespace

ShadowFloorScene::ShadowFloorScene() : frameCount(0), light() {}

ShadowFloorScene::~ShadowFloorScene() {
    model.release();
    fadeQuad.release();
    floor.release();
}

int ShadowFloorScene::load(GraphicsDevice* graphics) {
    Scene::load(graphics);
    floor.load(device, FLOOR_FILE);
    model.attach(device);
    model.load(MODEL_FILE);
    fadeQuad.attach(device);
    fadeQuad.setColor(128, 0, 0);

    setGreyDirectionalLight(device, light);

    shadowMaterial = D3DMATERIAL8{};
    shadowMaterial.Diffuse = {0.0f, 0.0f, 0.0f, 0.3f};
    shadowMaterial.Ambient = {0.0f, 0.0f, 0.0f, 0.3f};
    reflectionMaterial = uniformMaterial(0.1f, 0.1f, 0.1f, 1.0f);
    reflectionAccentMaterial = uniformMaterial(0.2f, 0.1f, 0.1f, 1.0f);
    accentMaterial = uniformMaterial(0.5f, 0.0f, 0.0f, 1.0f);
    return 0;
}

int ShadowFloorScene::start() {
    setLitMeshStates(device);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_NOTEQUAL);
    device->SetRenderState(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    device->SetRenderState(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    setAlphaFadeStates(device);
    frameCount = 0;
    return 0;
}

void ShadowFloorScene::setView() {
    if (frameCount == SECOND_MOVE) {
        cameraX = 1.0;
        cameraY = 0.5;
        cameraZ = -5.0;
    } else if (frameCount == THIRD_MOVE) {
        cameraX = 0.5;
        cameraY = 0.5;
        cameraZ = 0.5;
    } else if (frameCount == LAST_MOVE) {
        cameraX = 3.0;
        cameraY = 4.5;
        cameraZ = 3.0;
    }

    D3DXVECTOR3 eye(static_cast<float>(cameraX), static_cast<float>(cameraY),
                    static_cast<float>(cameraZ));
    D3DXVECTOR3 target;
    if (frameCount < SECOND_MOVE) {
        // Along +z.
        target = D3DXVECTOR3(static_cast<float>(cameraX), static_cast<float>(cameraY),
                             static_cast<float>(cameraZ + 10.0));
    } else if (frameCount < THIRD_MOVE) {
        // Diagonally into the grid.
        target = D3DXVECTOR3(static_cast<float>(cameraX + 3.0), static_cast<float>(cameraY),
                             static_cast<float>(cameraZ + 3.0));
    } else if (frameCount < LAST_MOVE) {
        // Along +x, between the rows.
        target = D3DXVECTOR3(static_cast<float>(cameraX + 3.0), static_cast<float>(cameraY),
                             static_cast<float>(cameraZ));
    } else {
        // Down onto the middle of the grid.
        target = D3DXVECTOR3(1.5f, 0.0f, 3.0f);
    }
    D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    if (frameCount < LAST_MOVE) {
        cameraX += SIDE_STEP;
    } else {
        cameraY += RISE_STEP;
    }
    device->SetTransform(D3DTS_VIEW, &view);
}

int ShadowFloorScene::update() {
    frameCount += 1;

    D3DXMATRIX projection;
    float aspect =
        static_cast<float>(graphics->getWidth()) / static_cast<float>(graphics->getHeight());
    D3DXMatrixPerspectiveFovLH(&projection, FIELD_OF_VIEW, aspect, NEAR_PLANE, FAR_PLANE);
    device->SetTransform(D3DTS_PROJECTION, &projection);

    setView();

    if (frameCount >= FADE_FROM && (frameCount - FADE_PHASE) % FADE_EVERY == 0) {
        fadeLevel += 1;
    }

    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    return 0;
}

int ShadowFloorScene::render() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF808080,
                  1.0f, 0);
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);

    D3DXPLANE floorPlane;
    D3DXVECTOR3 p1(10.0f, 0.0f, 10.0f);
    D3DXVECTOR3 p2(-10.0f, 0.0f, 10.0f);
    D3DXVECTOR3 p3(10.0f, 0.0f, -10.0f);
    D3DXPlaneFromPoints(&floorPlane, &p1, &p2, &p3);
    D3DXVECTOR4 lightVector(light.Direction.x, light.Direction.y, light.Direction.z, 0.0f);
    D3DXMATRIX shadow;
    D3DXMatrixShadow(&shadow, &lightVector, &floorPlane);

    D3DXMATRIX world;
    D3DXMATRIX translation;

    // Mirror images: each copy turned upside down below the floor.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    D3DXMATRIX upsideDown;
    D3DXMatrixRotationZ(&upsideDown, PI_F);
    for (int32_t row = 0; row < GRID_SIDE; ++row) {
        int32_t x = row + GRID_FIRST;
        for (int32_t column = 0; column < GRID_SIDE; ++column) {
            int32_t z = column + GRID_FIRST;
            D3DXMatrixTranslation(&translation, static_cast<float>(x + MIRROR_SHIFT),
                                  static_cast<float>(-MIRROR_SHIFT), static_cast<float>(z));
            D3DXMatrixMultiply(&world, &upsideDown, &translation);
            device->SetTransform(D3DTS_WORLD, &world);
            model.drawWithMaterial(gridPattern[row][column] == 0 ? reflectionMaterial
                                                                 : reflectionAccentMaterial);
        }
    }

    // The floor added over the mirror images, with no depth test.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 0.0f);
    device->SetTransform(D3DTS_WORLD, &world);
    floor.draw();

    // Shadows: the first shadow on a pixel sets its stencil to 1, so later ones skip it.
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_STENCILREF, 1);
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    const double shiftX = light.Direction.x * SHADOW_SHIFT;
    const double shiftZ = light.Direction.z * SHADOW_SHIFT;
    for (int32_t row = 0; row < GRID_SIDE; ++row) {
        int32_t x = row + GRID_FIRST;
        for (int32_t column = 0; column < GRID_SIDE; ++column) {
            int32_t z = column + GRID_FIRST;
            D3DXMatrixTranslation(&translation, static_cast<float>(x + shiftX), 0.0f,
                                  static_cast<float>(z + shiftZ));
            D3DXMatrixMultiply(&world, &shadow, &translation);
            device->SetTransform(D3DTS_WORLD, &world);
            model.drawWithMaterial(shadowMaterial);
        }
    }
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_STENCILENABLE, FALSE);

    // The objects themselves.
    for (int32_t row = 0; row < GRID_SIDE; ++row) {
        int32_t x = row + GRID_FIRST;
        for (int32_t column = 0; column < GRID_SIDE; ++column) {
            int32_t z = column + GRID_FIRST;
            D3DXMatrixTranslation(&world, static_cast<float>(x), MODEL_HEIGHT,
                                  static_cast<float>(z));
            device->SetTransform(D3DTS_WORLD, &world);
            if (gridPattern[row][column] == 0) {
                model.draw();
            } else {
                model.drawWithMaterial(accentMaterial);
            }
        }
    }

    // Each quad multiplies the picture by dark red; the blend stays for the bands.
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR);
    float width = static_cast<float>(graphics->getWidth());
    float height = static_cast<float>(graphics->getHeight());
    for (int32_t i = 0; i < fadeLevel; ++i) {
        fadeQuad.draw(0.0f, 0.0f, width, height, 0.0f);
    }
    return 0;
}
