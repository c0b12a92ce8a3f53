// A generated mesh drawn with a material of its own, so that a scene can fade each copy
// through the material's alpha; the shapes built on it make the mesh and draw it.
#pragma once

#include <d3d8.h>
#include <d3dx8.h>

class MaterialMesh {
public:
    MaterialMesh();

    virtual void attach(IDirect3DDevice8* device);
    virtual HRESULT create() = 0;
    virtual void setMaterial(D3DMATERIAL8 material);
    // The alpha of all four colours of the material.
    virtual void setAlpha(double alpha);
    virtual HRESULT draw() = 0;
    virtual void release();
    virtual ~MaterialMesh();

    IDirect3DDevice8* device;
    D3DMATERIAL8 material;
    ID3DXMesh* mesh;
};
