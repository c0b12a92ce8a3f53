#include "gfx/FeedbackTrail.h"
#include "common/ReleaseInterface.h"

#include "gfx/SceneStates.h"
#include "gfx/ScreenVertex.h"

namespace {
const D3DCOLOR IMAGE_START_COLOR = 0xFF000000;    // both images start opaque black
const D3DCOLOR CAPTURE_CLEAR_COLOR = 0xFFFFFFFF;  // each captured frame starts opaque white
const uint32_t PREVIOUS_IMAGE_COLOR = 0xC0FFFFFF; // the old image weighs 192/255
const uint32_t SHOWN_IMAGE_COLOR = 0xFFFFFFFF;
const float EDGE_STEP = 5.0f; // pixels the old image grows or shrinks at every edge
} // namespace

// Every pointer starts null so that teardown after a failed or missing create
// releases only what exists; the sizes get their values in create.
FeedbackTrail::FeedbackTrail()
    : savedBackBuffer(nullptr), savedDepthSurface(nullptr),
      depthSurface(nullptr), surfaces{nullptr, nullptr}, textures{nullptr, nullptr},
      device(nullptr), viewport{}, current(0), textureWidth(0.0f), textureHeight(0.0f),
      viewportWidth(0.0f), viewportHeight(0.0f) {}

FeedbackTrail::~FeedbackTrail() {
    for (int i = 0; i < 2; ++i) {
        releaseInterface(textures[i]);
        releaseInterface(surfaces[i]);
    }
    releaseInterface(savedBackBuffer);
    releaseInterface(depthSurface);
    releaseInterface(savedDepthSurface);
}

void FeedbackTrail::attach(IDirect3DDevice8* device) {
    this->device = device;
}

bool FeedbackTrail::create(D3DPRESENT_PARAMETERS presentParameters, int32_t textureWidth,
                           int32_t textureHeight, int32_t viewportWidth, int32_t viewportHeight) {
    if (device == nullptr) {
        return false; // never attached
    }
    if (FAILED(device->GetRenderTarget(&savedBackBuffer))) {
        return false;
    }
    if (FAILED(device->GetDepthStencilSurface(&savedDepthSurface))) {
        return false;
    }
    if (FAILED(device->CreateDepthStencilSurface(
            static_cast<UINT>(textureWidth), static_cast<UINT>(textureHeight),
            presentParameters.AutoDepthStencilFormat, presentParameters.MultiSampleType,
            &depthSurface))) {
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        if (FAILED(device->CreateTexture(static_cast<UINT>(textureWidth),
                                         static_cast<UINT>(textureHeight), 1, D3DUSAGE_RENDERTARGET,
                                         presentParameters.BackBufferFormat, D3DPOOL_DEFAULT,
                                         &textures[i]))) {
            return false;
        }
        if (FAILED(textures[i]->GetSurfaceLevel(0, &surfaces[i]))) {
            return false;
        }
    }
    if (FAILED(clearBoth())) {
        return false;
    }
    viewport.X = 0;
    viewport.Y = 0;
    viewport.Width = static_cast<DWORD>(viewportWidth);
    viewport.Height = static_cast<DWORD>(viewportHeight);
    viewport.MinZ = 0.0f;
    viewport.MaxZ = 1.0f;
    current = 0;
    this->textureWidth = static_cast<float>(textureWidth);
    this->textureHeight = static_cast<float>(textureHeight);
    this->viewportWidth = static_cast<float>(viewportWidth);
    this->viewportHeight = static_cast<float>(viewportHeight);
    return true;
}

// Clears both images to opaque black and puts the saved targets back; stops
// at the first call that fails and answers its result.
HRESULT FeedbackTrail::clearBoth() {
    for (int i = 0; i < 2; ++i) {
        HRESULT result = device->SetRenderTarget(surfaces[i], depthSurface);
        if (FAILED(result)) {
            return result;
        }
        result = device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, IMAGE_START_COLOR,
                               1.0f, 0);
        if (FAILED(result)) {
            return result;
        }
    }
    return device->SetRenderTarget(savedBackBuffer, savedDepthSurface);
}

void FeedbackTrail::clearImages() {
    if (device == nullptr || surfaces[0] == nullptr || surfaces[1] == nullptr) {
        return; // nothing was created to clear
    }
    clearBoth();
}

HRESULT FeedbackTrail::beginCapture() {
    device->SetRenderTarget(surfaces[current], depthSurface);
    device->SetViewport(&viewport);
    return device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, CAPTURE_CLEAR_COLOR, 1.0f,
                         0);
}

void FeedbackTrail::drawQuad(IDirect3DTexture8* texture, float left, float top, float right,
                             float bottom, uint32_t color) {
    // Only the captured top-left area of the texture is ever shown.
    float uMax = viewportWidth / textureWidth;
    float vMax = viewportHeight / textureHeight;
    ScreenVertex quad[4];
    setScreenVertex(&quad[0], left, top, 0.0f, 1.0f, 0.0f, 0.0f, color);
    setScreenVertex(&quad[1], right, top, 0.0f, 1.0f, uMax, 0.0f, color);
    setScreenVertex(&quad[2], right, bottom, 0.0f, 1.0f, uMax, vMax, color);
    setScreenVertex(&quad[3], left, bottom, 0.0f, 1.0f, 0.0f, vMax, color);
    device->SetTexture(0, texture);
    device->SetVertexShader(SCREEN_VERTEX_FVF);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ScreenVertex));
}

void FeedbackTrail::composite(int32_t mode) {
    setAlphaFadeStates(device);

    // The previous result over the new frame; modes other than grow and shrink
    // lay it still.
    float inset = 0.0f;
    if (mode == MODE_GROW) {
        inset = -EDGE_STEP;
    } else if (mode == MODE_SHRINK) {
        inset = EDGE_STEP;
    }
    drawQuad(textures[1 - current], inset, inset, viewportWidth - inset, viewportHeight - inset,
             PREVIOUS_IMAGE_COLOR);

    // The blend is shown whole on the back buffer, with the viewport in force
    // there (the whole back buffer when the captured size is its size).
    device->SetRenderTarget(savedBackBuffer, savedDepthSurface);
    drawQuad(textures[current], 0.0f, 0.0f, viewportWidth, viewportHeight, SHOWN_IMAGE_COLOR);
    current = 1 - current;
}
