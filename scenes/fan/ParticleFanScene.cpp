#include "scenes/fan/ParticleFanScene.h"

#include "gfx/GraphicsDevice.h"
#include "demo/RandRange.h"
#include "scenes/fan/SpherePoint.h"

#include <d3dx8.h>

#include <cmath>

const int32_t ParticleFanScene::BURST_JOIN_TICKS[BURST_COUNT] = {30, 60, 90};

double ParticleFanScene::cameraAngle = 0.0;
double ParticleFanScene::cameraHeight = 0.0;
int32_t ParticleFanScene::cameraFalling = 0;

namespace {
const char* const PARTICLE_IMAGE = "data\\particle.bmp";
const char* const FAN_IMAGE = "data\\fan.bmp";
const int32_t SHELL_PARTICLES = 128;
const int32_t CORE_PARTICLES = 16;
// The single-precision radii, widened.
const double SHELL_RADIUS = static_cast<double>(0.3f);
const double CORE_RADIUS = static_cast<double>(0.1f);
const int32_t TRAIL_TEXTURE_SIZE = 1024;

const float BURST_SPREAD = 3.0f;

// Read by the projection function as radians: a narrow view, not 120 degrees.
const float FIELD_OF_VIEW = 120.0f;
const float NEAR_PLANE = 0.1f;
const float FAR_PLANE = 100.0f;
const double ANGLE_STEP = 2.0;
const double FULL_TURN = 360.0;
const double HEIGHT_STEP = static_cast<double>(0.1f);
const double HEIGHT_LIMIT = 10.0;
const double ORBIT_HALF_X = 5.0;
const double ORBIT_HALF_Z = 20.0;

const int FANS_PER_ROW = 5;
const float FAN_SIZE = 64.0f;
const float TOP_ROW_Y = 40.0f;
const float BOTTOM_ROW_RISE = 104.0f; // the band's 40 pixels plus a fan
const float FAN_DEPTH = 1.0f;
} // namespace

ParticleFanScene::ParticleFanScene() : frameCount(0) {}

ParticleFanScene::~ParticleFanScene() {
    shell.release();
    core.release();
    fan.release();
    overlay.release();
    // The bursts and the trail release their own resources in their destructors.
}

int ParticleFanScene::load(GraphicsDevice* graphics) {
    Scene::load(graphics);

    for (ParticleBurst& burst : bursts) {
        burst.load(device);
    }
    shell.createOrbit(device, SHELL_PARTICLES, SHELL_RADIUS);
    shell.loadTexture(PARTICLE_IMAGE);
    shell.setColor(1.0, 0.5, 0.0, 1.0);
    core.createOrbit(device, CORE_PARTICLES, CORE_RADIUS);
    core.loadTexture(PARTICLE_IMAGE);
    core.setColor(1.0, 0.0, 0.0, 1.0);

    fan.attach(device);
    fan.loadTexture(FAN_IMAGE);
    fan.setTextureSize(FAN_SIZE, FAN_SIZE);
    overlay.attach(device);
    overlay.setColor(255, 255, 255);

    trail.attach(device);
    D3DPRESENT_PARAMETERS parameters;
    graphics->getPresentParameters(&parameters);
    trail.create(parameters, TRAIL_TEXTURE_SIZE, TRAIL_TEXTURE_SIZE, graphics->getWidth(),
                 graphics->getHeight());
    return 0;
}

void ParticleFanScene::emitAtRandom(ParticleBurst& burst) {
    // The arguments are drawn z first, then y, then x.
    float z = randRange(-BURST_SPREAD, BURST_SPREAD);
    float y = randRange(-BURST_SPREAD, BURST_SPREAD);
    float x = randRange(-BURST_SPREAD, BURST_SPREAD);
    burst.emit(x, y, z);
}

int ParticleFanScene::start() {
    // The particles carry their colour and no normal: lit, as the tunnel before
    // leaves the device, they would all take the last material's colour.
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    for (ParticleBurst& burst : bursts) {
        emitAtRandom(burst);
    }
    cameraAngle = 0.0;
    frameCount = 0;
    return 0;
}

void ParticleFanScene::moveCamera() {
    cameraAngle += ANGLE_STEP;
    if (cameraAngle >= FULL_TURN) {
        cameraAngle = 0.0;
    }
    if (cameraFalling == 0) {
        cameraHeight += HEIGHT_STEP;
        if (cameraHeight >= HEIGHT_LIMIT) {
            cameraHeight = HEIGHT_LIMIT;
            cameraFalling = 1;
        }
    } else {
        cameraHeight -= HEIGHT_STEP;
        if (cameraHeight <= -HEIGHT_LIMIT) {
            cameraHeight = -HEIGHT_LIMIT;
            cameraFalling = 0;
        }
    }
}

int ParticleFanScene::update() {
    frameCount += 1;

    D3DXMATRIX matrix;
    float aspect =
        static_cast<float>(graphics->getWidth()) / static_cast<float>(graphics->getHeight());
    D3DXMatrixPerspectiveFovLH(&matrix, FIELD_OF_VIEW, aspect, NEAR_PLANE, FAR_PLANE);
    device->SetTransform(D3DTS_PROJECTION, &matrix);

    moveCamera();
    double radians = cameraAngle * DEG_TO_RAD;
    D3DXVECTOR3 eye(static_cast<float>(ORBIT_HALF_X * std::cos(radians)),
                    static_cast<float>(cameraHeight),
                    static_cast<float>(ORBIT_HALF_Z * std::sin(radians)));
    D3DXVECTOR3 at(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&matrix, &eye, &at, &up);
    device->SetTransform(D3DTS_VIEW, &matrix);
    D3DXMatrixTranslation(&matrix, 0.0f, 0.0f, 0.0f);
    device->SetTransform(D3DTS_WORLD, &matrix);

    for (int32_t k = 0; k < BURST_COUNT; ++k) {
        if (frameCount >= BURST_JOIN_TICKS[k] && bursts[k].fadeStep() != 0) {
            emitAtRandom(bursts[k]);
            bursts[k].setAlpha(255);
        }
    }
    shell.updateOrbit();
    core.updateOrbit();
    return 0;
}

int ParticleFanScene::render() {
    const bool trailing = frameCount >= TRAIL_FROM_TICK;
    if (trailing) {
        trail.beginCapture();
    }
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);

    const float width = static_cast<float>(graphics->getWidth());
    const float height = static_cast<float>(graphics->getHeight());
    for (int i = 0; i < FANS_PER_ROW; ++i) {
        fan.setAngle(static_cast<float>(2.0 * i * cameraAngle));
        fan.draw(FAN_SIZE * i, TOP_ROW_Y, FAN_SIZE, FAN_SIZE, FAN_DEPTH);
    }
    for (int i = 0; i < FANS_PER_ROW; ++i) {
        fan.setAngle(static_cast<float>(2.0 * i * cameraAngle));
        fan.draw(width - FAN_SIZE * (i + 1), height - BOTTOM_ROW_RISE, FAN_SIZE, FAN_SIZE,
                 FAN_DEPTH);
    }

    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);

    for (int32_t k = 0; k < BURST_COUNT; ++k) {
        if (frameCount >= BURST_JOIN_TICKS[k]) {
            bursts[k].render();
        }
    }
    shell.render();
    core.render();

    if (trailing) {
        trail.composite(FeedbackTrail::MODE_SHRINK);
        // White times one minus what is there: the negative of the frame.
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_INVDESTCOLOR);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
        overlay.draw(0.0f, 0.0f, width, height, 0.0f);
    }
    return 0;
}
