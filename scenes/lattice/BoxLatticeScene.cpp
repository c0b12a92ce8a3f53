#include "scenes/lattice/BoxLatticeScene.h"

#include "common/Angles.h"
#include "gfx/GraphicsDevice.h"
#include "gfx/SceneStates.h"

#include <d3dx8.h>

#include <cmath>

double BoxLatticeScene::cameraAzimuth = 45.0;
double BoxLatticeScene::cameraElevation = 45.0;
int32_t BoxLatticeScene::cameraFalling = 0;
double BoxLatticeScene::spinAngle = 0.0;
double BoxLatticeScene::scrollOffset = 0.0;
double BoxLatticeScene::logoAlpha = 0.0;
double BoxLatticeScene::logoX = -128.0;
double BoxLatticeScene::logoSpeed = 4.0;

namespace {
// The cubes' step per update: the single-precision 0.0015 widened.
const double STEP = static_cast<double>(0.0015f);

const int32_t START_COUNT = -120;
const int32_t SPREAD_END = 45;
const int32_t GRID_ROWS_END = 135;
const int32_t GRID_END = 225;
const int32_t ALL_LAYERS_END = 270;
const int32_t FOUR_LAYERS_END = 360;
const int32_t LATTICE_END = 450;
const int32_t FADE_END = 630;
const int32_t SLIDE_IN_END = 726;
const int32_t SLIDE_OUT_END = 770;
const int32_t SWING_FROM = 300;

const double TURNING_POINT = 89.0;
const double CAMERA_DISTANCE = 2.0;
const float FOV_Y = 120.0f; // read as radians by the projection
const float NEAR_PLANE = 0.1f;
const float FAR_PLANE = 100.0f;

// The cube alpha while the lattice stands, (540 - n) / 540, and while it
// fades, (630 - n) / 120; the lit cubes take it from the material.
const int32_t OPAQUE_ALPHA_ZERO = 540;
const double OPAQUE_ALPHA_STEP = 0.001851851851851852;
const double FADING_ALPHA_STEP = 0.008333333333333333;

const double SPIN_STEP = 2.0;
const double SCROLL_STEP = 1.5;
const float IMAGE_SIZE = 256.0f;
const float IMAGE_DEPTH = 10.0f;
const float CLOSING_DEPTH = 1.0f;
const float LOGO_Y = 40.0f;

const double FADE_IN_STEP = 5.0;
const double FADE_OUT_STEP = 10.0;
const double OPAQUE = 255.0;
// The single-precision 0.045 and 0.09 widened.
const double SLIDE_IN_BRAKE = static_cast<double>(0.045f);
const double SLIDE_OUT_BRAKE = static_cast<double>(0.09f);

const D3DCOLOR BACKGROUND = 0xFFFFFFFF;
const DWORD AMBIENT = 0x00333333;

// Which coordinates of each flier move while the grid forms.
const int MOVE_X = 1;
const int MOVE_Y = 2;
const int ROWS_MOVES[BoxLatticeScene::FLIERS] = {MOVE_X | MOVE_Y, MOVE_X,          MOVE_X | MOVE_Y,
                                                 MOVE_Y,          MOVE_X | MOVE_Y, MOVE_Y,
                                                 MOVE_X | MOVE_Y, MOVE_X,          0};
const int GRID_MOVES[BoxLatticeScene::FLIERS] = {
    MOVE_X | MOVE_Y, MOVE_X, MOVE_Y, MOVE_Y, MOVE_X, 0, 0, 0, 0};

D3DCOLORVALUE grey(float level) {
    D3DCOLORVALUE value{};
    value.r = level;
    value.g = level;
    value.b = level;
    return value;
}
} // namespace

BoxLatticeScene::BoxLatticeScene() : light{}, fliers{}, frameCount(0), layerDepth{} {}

BoxLatticeScene::~BoxLatticeScene() {
    box.release();
    logoSprite.release();
    holeSprite.release();
    back1Sprite.release();
    back2Sprite.release();
    faewfaewSprite.release();
}

int BoxLatticeScene::load(GraphicsDevice* graphics) {
    Scene::load(graphics);

    const struct {
        Sprite* sprite;
        const char* fileName;
    } images[] = {
        {&logoSprite, "data\\TELV.bmp"},         {&holeSprite, "data\\hole.bmp"},
        {&back1Sprite, "data\\back1.bmp"},       {&back2Sprite, "data\\back2.bmp"},
        {&faewfaewSprite, "data\\faewfaew.bmp"},
    };
    for (const auto& image : images) {
        image.sprite->attach(device);
        image.sprite->loadTexture(image.fileName);
    }

    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = grey(0.3f);
    light.Specular = grey(0.3f);
    light.Ambient = grey(0.2f);
    light.Direction = D3DXVECTOR3(1.0f, -1.0f, -1.0f);
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);

    box.attach(device);
    box.setDefaultMaterial();
    return box.create();
}

int BoxLatticeScene::start() {
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    device->SetRenderState(D3DRS_AMBIENT, AMBIENT);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    for (Flier& flier : fliers) {
        flier.x = 0.0;
        flier.y = 0.0;
    }
    for (double& depth : layerDepth) {
        depth = 0.0;
    }
    frameCount = START_COUNT;
    return 0;
}

int BoxLatticeScene::update() {
    frameCount += 1;
    int32_t n = frameCount;

    D3DXMATRIX projection;
    float aspect =
        static_cast<float>(graphics->getWidth()) / static_cast<float>(graphics->getHeight());
    D3DXMatrixPerspectiveFovLH(&projection, FOV_Y, aspect, NEAR_PLANE, FAR_PLANE);
    device->SetTransform(D3DTS_PROJECTION, &projection);

    cameraAzimuth += 1.0;
    if (n >= SWING_FROM) {
        if (cameraFalling == 0) {
            cameraElevation += 1.0;
            if (cameraElevation >= TURNING_POINT) {
                cameraFalling = 1;
            }
        } else if (cameraFalling == 1) {
            cameraElevation -= 1.0;
            if (cameraElevation <= -TURNING_POINT) {
                cameraFalling = 0;
            }
        }
    }
    moveCamera();
    moveCubes(n);
    return 0;
}

void BoxLatticeScene::moveCamera() {
    double e = cameraElevation * DEG_TO_RAD;
    double a = cameraAzimuth * DEG_TO_RAD;
    double x = CAMERA_DISTANCE * std::cos(e) * std::cos(a);
    double z = CAMERA_DISTANCE * std::cos(e) * std::sin(a);

    D3DXVECTOR3 eye(static_cast<float>(x), static_cast<float>(CAMERA_DISTANCE * std::sin(e)),
                    static_cast<float>(z));
    D3DXVECTOR3 at(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    device->SetTransform(D3DTS_VIEW, &view);

    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 0.0f);
    device->SetTransform(D3DTS_WORLD, &world);

    // The light falls from the camera's side, downwards.
    light.Direction = D3DXVECTOR3(static_cast<float>(-x), -1.0f, static_cast<float>(-z));
    device->SetLight(0, &light);
}

void BoxLatticeScene::moveCubes(int32_t n) {
    if (n < 1) {
        return;
    }
    if (n <= GRID_END) {
        for (int i = 0; i < FLIERS; ++i) {
            int moves = MOVE_X | MOVE_Y;
            if (n > GRID_ROWS_END) {
                moves = GRID_MOVES[i];
            } else if (n > SPREAD_END) {
                moves = ROWS_MOVES[i];
            }
            if (moves & MOVE_X) {
                fliers[i].x -= STEP;
            }
            if (moves & MOVE_Y) {
                fliers[i].y -= STEP;
            }
        }
        return;
    }
    int moving = 0;
    if (n <= ALL_LAYERS_END) {
        moving = 6;
    } else if (n <= FOUR_LAYERS_END) {
        moving = 4;
    } else if (n <= LATTICE_END) {
        moving = 2;
    }
    for (int j = 0; j < moving; ++j) {
        layerDepth[j] += (j % 2 == 0) ? STEP : -STEP;
    }
}

int BoxLatticeScene::render() {
    int32_t n = frameCount;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, BACKGROUND, 1.0f, 0);
    spinAngle += SPIN_STEP;
    scrollOffset += SCROLL_STEP;
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);

    if (n <= LATTICE_END) {
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        box.setAlpha((OPAQUE_ALPHA_ZERO - n) * OPAQUE_ALPHA_STEP);
        drawDriftingImages();
        drawCubes(n);
    } else if (n <= FADE_END) {
        // Each cube is added over the white with its material alpha falling
        // to 0, so it brightens into the background.
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        box.setAlpha((FADE_END - n) * FADING_ALPHA_STEP);
        drawDriftingImages();
        drawCubes(n);
    } else {
        drawClosingImages(n);
    }
    return 0;
}

void BoxLatticeScene::drawDriftingImages() {
    int32_t w = graphics->getWidth();
    back1Sprite.setAngle(static_cast<float>(spinAngle));
    back1Sprite.draw(static_cast<float>(scrollOffset), -30.0f, IMAGE_SIZE, IMAGE_SIZE, IMAGE_DEPTH);
    back2Sprite.setAngle(static_cast<float>(-spinAngle));
    // The lower image's height comes from the width: 370 on an 800-pixel screen.
    back2Sprite.draw(static_cast<float>(w - scrollOffset - 256.0), static_cast<float>(w / 2 - 30),
                     IMAGE_SIZE, IMAGE_SIZE, IMAGE_DEPTH);
}

void BoxLatticeScene::drawCubes(int32_t n) {
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    // A flat grid until the layers begin to part; six coinciding layers after.
    int layers = (n <= GRID_END) ? 1 : LAYERS;
    D3DXMATRIX world;
    for (const Flier& flier : fliers) {
        float x = static_cast<float>(flier.x);
        float y = static_cast<float>(flier.y);
        for (int j = 0; j < layers; ++j) {
            float z = (n <= GRID_END) ? 0.0f : static_cast<float>(layerDepth[j]);
            const float corners[4][2] = {{x, y}, {-x, y}, {x, -y}, {-x, -y}};
            for (const auto& corner : corners) {
                D3DXMatrixTranslation(&world, corner[0], corner[1], z);
                device->SetTransform(D3DTS_WORLD, &world);
                box.draw();
            }
        }
    }
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

void BoxLatticeScene::drawClosingImages(int32_t n) {
    // From here the sprites' alpha fades them.
    setAlphaFadeStates(device);

    if (n <= SLIDE_IN_END) {
        logoAlpha += FADE_IN_STEP;
        if (logoAlpha >= OPAQUE) {
            logoAlpha = OPAQUE;
        }
        logoX += logoSpeed;
        logoSpeed -= SLIDE_IN_BRAKE;
        if (logoSpeed <= 0.0) {
            logoSpeed = 0.0;
        }
        if (logoX >= 0.0) {
            logoX = 0.0;
        }
    } else if (n <= SLIDE_OUT_END) {
        logoAlpha -= FADE_OUT_STEP;
        if (logoAlpha <= 0.0) {
            logoAlpha = 0.0;
        }
        // No lower bound: the images slide back out, faster each frame.
        logoX += logoSpeed;
        logoSpeed -= SLIDE_OUT_BRAKE;
        if (logoX >= 0.0) {
            logoX = 0.0;
        }
    }

    int32_t w = graphics->getWidth();
    int32_t h = graphics->getHeight();
    int32_t alpha = static_cast<int32_t>(logoAlpha);
    float companionX = static_cast<float>(w - logoX - 256.0);
    logoSprite.setAlpha(alpha);
    logoSprite.draw(static_cast<float>(logoX), LOGO_Y, IMAGE_SIZE, IMAGE_SIZE, CLOSING_DEPTH);
    holeSprite.setAlpha(alpha);
    holeSprite.draw(companionX, static_cast<float>(h - 296), IMAGE_SIZE, IMAGE_SIZE, CLOSING_DEPTH);
    faewfaewSprite.setAlpha(alpha);
    faewfaewSprite.draw(companionX, static_cast<float>(h - 552), IMAGE_SIZE, IMAGE_SIZE,
                        CLOSING_DEPTH);
}
