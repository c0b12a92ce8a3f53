#include "gfx/ColorQuad.h"

#include "gfx/ScreenVertex.h"

// The visible values all come from attach; they are given here only so that
// an unattached quad holds defined values.
ColorQuad::ColorQuad()
    : device(nullptr), alpha(255), angle(225.0f), scale(1.0f), red(255), green(255), blue(255) {}

ColorQuad::~ColorQuad() {}

int32_t ColorQuad::attach(IDirect3DDevice8* device) {
    this->device = device;
    alpha = 255;
    angle = 225.0f;
    scale = 1.0f;
    red = 255;
    green = 255;
    blue = 255;
    return 0;
}

HRESULT ColorQuad::draw(float x, float y, float w, float h, float z) {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL; // never attached
    }
    QuadCorners corners = computeQuadCorners(x, y, w, h, scale, angle);
    uint32_t color = packColor(alpha, red, green, blue);
    ScreenVertex vertices[4];
    for (int i = 0; i < 4; ++i) {
        setScreenVertex(&vertices[i], corners.x[i], corners.y[i], z, 1.0f, corners.u[i],
                        corners.v[i], color);
    }
    device->SetTexture(0, nullptr);
    device->SetVertexShader(SCREEN_VERTEX_FVF);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, vertices, sizeof(ScreenVertex));
    return device->SetTexture(0, nullptr);
}

void ColorQuad::setColor(int32_t red, int32_t green, int32_t blue) {
    this->red = red;
    this->green = green;
    this->blue = blue;
}

void ColorQuad::setAlpha(int32_t alpha) {
    this->alpha = alpha;
}

void ColorQuad::setAngle(float degrees) {
    angle = degrees;
}

void ColorQuad::setScale(float scale) {
    this->scale = scale;
}

void ColorQuad::release() {}
