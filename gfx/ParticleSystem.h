// A fixed-size cloud of particles drawn as point sprites: each particle has a
// position, a velocity and a colour, one texture is stretched over every
// point, the points are added onto the picture and shrink with distance.
#pragma once

#include <d3d8.h>

#include <cstdint>

struct Particle {
    float x;
    float y;
    float z;
    float vx; // world units per 1000 updates
    float vy;
    float vz;
    uint32_t color;
};

// What the vertex buffer holds per particle (D3DFVF_XYZ | D3DFVF_DIFFUSE).
struct PointVertex {
    float x;
    float y;
    float z;
    uint32_t color;
};

static_assert(sizeof(Particle) == 28, "seven 32-bit fields");
static_assert(sizeof(PointVertex) == 16, "the point vertex is 16 bytes");

class ParticleSystem {
public:
    static const DWORD POINT_FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;
    static const DWORD BUFFER_USAGE = D3DUSAGE_WRITEONLY | D3DUSAGE_POINTS | D3DUSAGE_DYNAMIC;

    ParticleSystem();

    virtual HRESULT create(IDirect3DDevice8* device, int32_t count);
    virtual HRESULT loadTexture(const char* fileName);
    virtual void release();
    // The index is not checked: it must lie in 0 .. count - 1.
    virtual void setPosition(float x, float y, float z, int32_t index);
    // An index outside 0 .. count - 1 changes nothing.
    virtual void setParticle(float x, float y, float z, float vx, float vy, float vz,
                             uint32_t color, int32_t index);
    // Writes the low byte of alpha into every particle's colour and moves every
    // particle by a thousandth of its velocity.
    virtual void update(int32_t alpha);
    virtual void setRenderState(D3DRENDERSTATETYPE state, DWORD value);
    virtual void render();
    virtual ~ParticleSystem();

    IDirect3DVertexBuffer8* vertexBuffer;
    IDirect3DTexture8* texture;
    Particle* particles;
    IDirect3DDevice8* device;
    int32_t count;

protected:
    // The shared first half of create: device, records and filters.
    void allocate(IDirect3DDevice8* device, int32_t count);
    HRESULT createBuffer();
};
