// A motion trail through two render-target textures: the scene draws a frame
// into one of them, the image of the frame before is laid over it at 192/255
// (optionally a few pixels larger or smaller, so the streaks flow outwards or
// inwards), and the blend is shown on the back buffer. The two images swap
// roles every frame.
#pragma once

#include <d3d8.h>

#include <cstdint>

class FeedbackTrail {
public:
    // How the previous image is laid over the new frame.
    static constexpr int32_t MODE_STILL = 0;
    static constexpr int32_t MODE_GROW = 1;
    static constexpr int32_t MODE_SHRINK = 2;

    FeedbackTrail();

    virtual void attach(IDirect3DDevice8* device);
    virtual bool create(D3DPRESENT_PARAMETERS presentParameters, int32_t textureWidth,
                        int32_t textureHeight, int32_t viewportWidth, int32_t viewportHeight);
    virtual void clearImages();
    virtual HRESULT beginCapture();
    virtual void composite(int32_t mode);
    virtual ~FeedbackTrail();

    IDirect3DSurface8* savedBackBuffer;
    IDirect3DSurface8* savedDepthSurface;
    IDirect3DSurface8* depthSurface;
    IDirect3DSurface8* surfaces[2];
    IDirect3DTexture8* textures[2];
    IDirect3DDevice8* device;
    D3DVIEWPORT8 viewport;
    int32_t current;
    float textureWidth;
    float textureHeight;
    float viewportWidth;
    float viewportHeight;

private:
    HRESULT clearBoth();
    void drawQuad(IDirect3DTexture8* texture, float left, float top, float right, float bottom,
                  uint32_t color);
};
