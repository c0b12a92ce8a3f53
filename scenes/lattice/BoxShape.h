// One cube of the lattice: a generated box mesh of edge 0.1 drawn with a
// material of its own, so that the scene can fade every cube through the
// material's alpha.
#pragma once

#include <d3d8.h>
#include <d3dx8.h>

class BoxShape {
public:
    BoxShape();

    virtual void attach(IDirect3DDevice8* device);
    virtual HRESULT create();
    // A red cube with white highlights.
    virtual void setDefaultMaterial();
    virtual void setMaterial(D3DMATERIAL8 material);
    virtual void setColor(double red, double green, double blue);
    // The alpha of all four colours of the material.
    virtual void setAlpha(double alpha);
    virtual HRESULT draw();
    virtual void release();
    virtual ~BoxShape();

    IDirect3DDevice8* device;
    D3DMATERIAL8 material;
    ID3DXMesh* mesh;
};
