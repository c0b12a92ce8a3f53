// A model loaded from a .x file: one mesh with a subset per material, a copy
// of each material and the texture each material names. The caller sets the
// transforms, lights and render states; the model only binds its materials
// and textures and draws its subsets.
#pragma once

#include <d3d8.h>
#include <d3dx8.h>

#include <cstdint>

class MeshModel {
public:
    MeshModel();

    // The loaded mesh without a reference added; null before a load succeeds.
    virtual ID3DXMesh* getMesh();
    // The borrowed device the model loads and draws with; must precede load.
    virtual void attach(IDirect3DDevice8* device);
    // Releases the mesh and the textures and frees the material copies.
    virtual void release();
    // Releases nothing: owners call release in their own teardown.
    virtual ~MeshModel();
    // 0 on success; 1 after showing a message naming the missing model or
    // the first texture that failed (the mesh then stays loaded).
    virtual int32_t load(const char* fileName);
    // Each subset with its own material and texture.
    virtual int32_t draw();
    // Each subset with the given material and its own texture.
    virtual int32_t drawWithMaterial(D3DMATERIAL8 material);
    // Each subset with the given texture (null: untextured) and the current material.
    virtual int32_t drawWithTexture(IDirect3DTexture8* texture);

    D3DMATERIAL8* materials;
    ID3DXMesh* mesh;
    ID3DXBuffer* materialBuffer;
    IDirect3DTexture8** textures;
    IDirect3DDevice8* device;
    uint32_t materialCount;
};
