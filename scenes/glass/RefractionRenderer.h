// Fake refraction for meshes drawn over a background. A frame is built off
// screen: the background goes into texture 0 and is copied into texture 1
// (where the caller may add a tint), then the refracting meshes are drawn
// into texture 0 over the background, textured with texture 1 at their own
// projected screen positions shifted a little; finally texture 0 is drawn over
// the back buffer. No pass samples the texture it renders into.
#pragma once

#include "gfx/MeshModel.h"

#include <d3d8.h>
#include <d3dx8.h>

#include <cstdint>

class RefractionRenderer {
public:
    // The shift added to both texture coordinates of every remapped vertex.
    static constexpr float SHIFT = 0.025f;
    // The one vertex layout mapToScreen rewrites: position, normal, one set of
    // texture coordinates, 32 bytes.
    static constexpr DWORD MESH_FVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

    RefractionRenderer();

    virtual void attach(IDirect3DDevice8* device);
    // Stops at the first failing device call and answers its result; the
    // steps already done stay done.
    virtual HRESULT create(D3DPRESENT_PARAMETERS presentParameters, int32_t textureWidth,
                           int32_t textureHeight, int32_t viewportWidth, int32_t viewportHeight);
    virtual void clearImages();
    // Directs rendering into texture 0, cleared, with depth testing on.
    virtual void beginBackground();
    // Copies texture 0 into texture 1 and leaves rendering directed at texture 1.
    virtual void copyBackground();
    // Back to texture 0 and its depths, unlit, without clearing.
    virtual void beginForeground();
    // Draws the mesh textured with the copy under it on screen.
    virtual void drawRefracting(MeshModel& mesh);
    // Draws texture 0 over the back buffer, depth testing off.
    virtual void showResult();
    virtual ~RefractionRenderer();
    // Writes each vertex's texture coordinates from its projected position
    // under the device's current world, view and projection.
    virtual void mapToScreen(ID3DXMesh* mesh);
    virtual HRESULT createQuadBuffer(IDirect3DVertexBuffer8** buffer, UINT size, DWORD format);
    // Owns nothing beyond what the destructor releases.
    virtual void release();

    IDirect3DSurface8* savedBackBuffer;
    IDirect3DSurface8* savedDepthSurface;
    IDirect3DSurface8* depthSurface;
    IDirect3DSurface8* surfaces[2];
    IDirect3DTexture8* textures[2];
    IDirect3DDevice8* device;
    IDirect3DVertexBuffer8* quadBuffer;
    D3DVIEWPORT8 viewport;
    float textureWidth;
    float textureHeight;
    float viewportWidth;
    float viewportHeight;

private:
    void drawQuad(IDirect3DTexture8* texture);
};
