// A textured screen-space rectangle: one texture from a bitmap, drawn as a
// quad of pre-transformed vertices with a tint, an alpha, a scale about its
// centre and an optional rotation. The caller passes the rectangle each draw.
#pragma once

#include <d3d8.h>

#include <cstdint>

class Sprite {
public:
    Sprite();

    virtual int32_t attach(IDirect3DDevice8* device);
    virtual HRESULT loadTextureKeyed(const char* fileName, D3DCOLOR colorKey);
    virtual HRESULT loadTexture(const char* fileName);
    virtual HRESULT drawRegion(float x, float y, float w, float h, float srcX, float srcY,
                               float srcW, float srcH, float depth);
    virtual HRESULT draw(float x, float y, float w, float h, float depth);
    virtual void setColor(int32_t red, int32_t green, int32_t blue);
    virtual void setAlpha(int32_t alpha);
    virtual void setAngle(float degrees);
    virtual void setScale(float scale);
    virtual void setTextureSize(float width, float height);
    virtual IDirect3DTexture8* getTexture();
    virtual void release();
    virtual ~Sprite();

    IDirect3DTexture8* texture;
    IDirect3DDevice8* device;
    int32_t alpha;
    float angle;
    float scale;
    float textureWidth;
    float textureHeight;
    int32_t red;
    int32_t green;
    int32_t blue;

private:
    HRESULT keepLoaded(HRESULT result, IDirect3DTexture8* loaded, const char* fileName);
    HRESULT drawCorners(const float* us, const float* vs, const float* xs, const float* ys);
};
