// The one torus of the ring tunnel: a generated mesh drawn with its own
// material, as many times per frame as the scene places it.
#pragma once

#include <d3d8.h>
#include <d3dx8.h>

class TorusShape {
public:
    TorusShape();

    virtual void attach(IDirect3DDevice8* device);
    virtual HRESULT create();
    virtual void setMaterial(D3DMATERIAL8 material);
    virtual void setAlpha(double alpha);
    virtual HRESULT draw();
    virtual void release();
    virtual ~TorusShape();

    IDirect3DDevice8* device;
    D3DMATERIAL8 material;
    ID3DXMesh* mesh;
};
