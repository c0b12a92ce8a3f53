#include "scenes/cloud/CloudScene.h"

#include "gfx/GraphicsDevice.h"

double CloudScene::stripWidth = 512.0;

namespace {
const double STRIP_START_WIDTH = 512.0;
const double STRIP_SETTLED_WIDTH = 256.0;
const double STRIP_NARROWING = 4.0;
const int32_t STRIPS_FROM_TICK = 120;
const int32_t SECOND_STRIP_TICK = 199;
const int32_t GREEN_BLUE_FROM_TICK = 240;
const int32_t SECOND_STRIP_FROM_FRAME = 200;
} // namespace

CloudScene::CloudScene() : washRed(0.0), washGreen(0.0), washBlue(0.0), drift(0.0), frameCount(0) {}

CloudScene::~CloudScene() {
    cloud1.release();
    cloud2.release();
    cloud3.release();
    living.release();
    wash.release();
}

int CloudScene::load(GraphicsDevice* graphics) {
    Scene::load(graphics);

    const struct {
        Sprite* sprite;
        const char* fileName;
        float size;
    } images[] = {
        {&cloud1, "data\\cloud1.bmp", 512.0f},
        {&cloud2, "data\\cloud2.bmp", 512.0f},
        {&cloud3, "data\\cloud3.bmp", 512.0f},
        {&living, "data\\living.bmp", 256.0f},
    };
    for (const auto& image : images) {
        image.sprite->attach(device);
        image.sprite->loadTexture(image.fileName);
        image.sprite->setTextureSize(image.size, image.size);
    }
    return 0;
}

int CloudScene::start() {
    washRed = 0.0;
    washGreen = 0.0;
    washBlue = 0.0;
    drift = 0.0;
    frameCount = 0;
    wash.attach(device);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    device->SetRenderState(D3DRS_AMBIENT, 0x00333333);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    return 0;
}

int CloudScene::update() {
    int32_t c = frameCount;
    drift += 1.0;
    if (c > STRIPS_FROM_TICK) {
        washRed += 0.5;
        // The second strip starts wide again; the narrowing below still applies.
        if (c == SECOND_STRIP_TICK) {
            stripWidth = STRIP_START_WIDTH;
        }
        stripWidth -= STRIP_NARROWING;
        if (!(stripWidth > STRIP_SETTLED_WIDTH)) {
            stripWidth = STRIP_SETTLED_WIDTH;
        }
        if (c > GREEN_BLUE_FROM_TICK) {
            washGreen += 0.75;
            washBlue += 0.75;
        }
    }
    frameCount += 1;
    return 0;
}

int CloudScene::render() {
    int32_t n = frameCount;
    float w = static_cast<float>(graphics->getWidth());
    float h = static_cast<float>(graphics->getHeight());

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    // The blend factors left by start (one, one) add the next three draws.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    cloud2.draw(static_cast<float>(drift - w), static_cast<float>(drift - h), 2.0f * w, 2.0f * h,
                -1.0f);
    cloud3.draw(static_cast<float>(1.3 * drift - w), 0.0f, 2.0f * w, h, -2.0f);
    wash.setColor(static_cast<int32_t>(washRed), static_cast<int32_t>(washGreen),
                  static_cast<int32_t>(washBlue));
    wash.draw(0.0f, 0.0f, w, h, 0.0f);

    if (n > STRIPS_FROM_TICK) {
        // The strips are multiplied onto the picture.
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR);
        living.setAlpha(static_cast<int32_t>(stripWidth));
        float width = static_cast<float>(stripWidth);
        if (n < SECOND_STRIP_FROM_FRAME) {
            living.drawRegion(static_cast<float>(stripWidth + 15.0), 200.0f, width, 45.0f, 0.0f,
                              0.0f, 256.0f, 45.0f, -3.0f);
        } else {
            living.drawRegion(271.0f, 200.0f, 256.0f, 45.0f, 0.0f, 0.0f, 256.0f, 45.0f, -3.0f);
            living.drawRegion(static_cast<float>(stripWidth + 140.0), 300.0f, width, 45.0f, 0.0f,
                              45.0f, 256.0f, 45.0f, -3.0f);
        }
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    }

    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    return 0;
}
