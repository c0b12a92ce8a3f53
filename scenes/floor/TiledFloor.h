// The textured floor patch of the shadow floor scene: 16 units square in the
// plane y = 0, a 33 x 33 grid of vertices with the texture repeated every half
// unit, drawn from an index buffer as 32 triangle strips.
#pragma once

#include <d3d8.h>

#include <cstdint>

struct FloorVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

class TiledFloor {
public:
    static constexpr DWORD FVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
    static constexpr int32_t SIDE = 33; // vertices per row and per column
    static constexpr int32_t STRIPS = SIDE - 1;
    static constexpr int32_t VERTEX_COUNT = SIDE * SIDE;
    static constexpr int32_t INDICES_PER_STRIP = SIDE * 2;
    static constexpr int32_t INDEX_COUNT = STRIPS * INDICES_PER_STRIP;

    TiledFloor();

    virtual void load(IDirect3DDevice8* device, const char* fileName);
    virtual void draw();
    // Nothing: the destructor releases the floor's resources.
    virtual void release();
    virtual ~TiledFloor();

    IDirect3DDevice8* device;
    IDirect3DTexture8* texture;
    IDirect3DVertexBuffer8* vertexBuffer;
    IDirect3DIndexBuffer8* indexBuffer;
    D3DMATERIAL8 material;

private:
    void releaseResources();
};
