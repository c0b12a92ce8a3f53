#include "gfx/Sprite.h"
#include "common/ReleaseInterface.h"

#include "gfx/ScreenVertex.h"

#include <d3dx8.h>
#include <windows.h>

// alpha, angle and scale get their values in attach; the texture size starts
// at 1 x 1 so that a drawRegion before setTextureSize reads texels as-is.
Sprite::Sprite()
    : texture(nullptr), device(nullptr), alpha(255), angle(225.0f), scale(1.0f), textureWidth(1.0f),
      textureHeight(1.0f), red(255), green(255), blue(255) {}

Sprite::~Sprite() {
    release();
}

int32_t Sprite::attach(IDirect3DDevice8* device) {
    this->device = device;
    alpha = 255;
    angle = 225.0f;
    scale = 1.0f;
    return 0;
}

HRESULT Sprite::loadTextureKeyed(const char* fileName, D3DCOLOR colorKey) {
    IDirect3DTexture8* loaded = nullptr;
    HRESULT result = D3DXCreateTextureFromFileExA(
        device, fileName, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8,
        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, colorKey, nullptr, nullptr, &loaded);
    return keepLoaded(result, loaded, fileName);
}

HRESULT Sprite::loadTexture(const char* fileName) {
    IDirect3DTexture8* loaded = nullptr;
    HRESULT result = D3DXCreateTextureFromFileA(device, fileName, &loaded);
    return keepLoaded(result, loaded, fileName);
}

HRESULT Sprite::keepLoaded(HRESULT result, IDirect3DTexture8* loaded, const char* fileName) {
    if (result != 0) {
        MessageBoxA(nullptr, fileName, "エラー", MB_OK);
        return result;
    }
    // A second load replaces the first texture instead of leaking it.
    release();
    texture = loaded;
    return result;
}

HRESULT Sprite::drawCorners(const float* us, const float* vs, const float* xs, const float* ys) {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL; // never attached
    }
    uint32_t color = packColor(alpha, red, green, blue);
    ScreenVertex vertices[4];
    for (int i = 0; i < 4; ++i) {
        // Sprites always lie at depth 0, whatever depth the caller passed.
        setScreenVertex(&vertices[i], xs[i], ys[i], 0.0f, 1.0f, us[i], vs[i], color);
    }
    device->SetTexture(0, texture);
    device->SetVertexShader(SCREEN_VERTEX_FVF);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, vertices, sizeof(ScreenVertex));
    return device->SetTexture(0, nullptr);
}

HRESULT Sprite::draw(float x, float y, float w, float h, float /*depth*/) {
    QuadCorners corners = computeQuadCorners(x, y, w, h, scale, angle);
    return drawCorners(corners.u, corners.v, corners.x, corners.y);
}

HRESULT Sprite::drawRegion(float x, float y, float w, float h, float srcX, float srcY, float srcW,
                           float srcH, float /*depth*/) {
    QuadCorners corners = computeQuadCorners(x, y, w, h, scale, angle);
    if (!corners.rotated) {
        // A rotated sprite shows the whole texture; only the upright one cuts a cell.
        float uLeft = srcX / textureWidth;
        float vTop = srcY / textureHeight;
        float uRight = (srcX + srcW) / textureWidth;
        float vBottom = (srcY + srcH) / textureHeight;
        corners.u[0] = uLeft;
        corners.v[0] = vTop;
        corners.u[1] = uRight;
        corners.v[1] = vTop;
        corners.u[2] = uRight;
        corners.v[2] = vBottom;
        corners.u[3] = uLeft;
        corners.v[3] = vBottom;
    }
    return drawCorners(corners.u, corners.v, corners.x, corners.y);
}

void Sprite::setColor(int32_t red, int32_t green, int32_t blue) {
    this->red = red;
    this->green = green;
    this->blue = blue;
}

void Sprite::setAlpha(int32_t alpha) {
    this->alpha = alpha;
}

void Sprite::setAngle(float degrees) {
    angle = degrees;
}

void Sprite::setScale(float scale) {
    this->scale = scale;
}

void Sprite::setTextureSize(float width, float height) {
    textureWidth = width;
    textureHeight = height;
}

IDirect3DTexture8* Sprite::getTexture() {
    return texture;
}

void Sprite::release() {
    releaseInterface(texture);
}
