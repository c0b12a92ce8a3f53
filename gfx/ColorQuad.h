// An untextured, flat-coloured screen-space rectangle with alpha: fades,
// tints and bars. The same vertex and quad geometry as Sprite.
#pragma once

#include <d3d8.h>

#include <cstdint>

class ColorQuad {
public:
    ColorQuad();

    virtual int32_t attach(IDirect3DDevice8* device);
    virtual HRESULT draw(float x, float y, float w, float h, float z);
    virtual void setColor(int32_t red, int32_t green, int32_t blue);
    virtual void setAlpha(int32_t alpha);
    virtual void setAngle(float degrees);
    virtual void setScale(float scale);
    virtual void release();
    virtual ~ColorQuad();

    IDirect3DDevice8* device;
    int32_t alpha;
    float angle;
    float scale;
    int32_t red;
    int32_t green;
    int32_t blue;
};
