#include "gfx/MaterialMesh.h"
#include "common/ReleaseInterface.h"

MaterialMesh::MaterialMesh() : device(nullptr), material{}, mesh(nullptr) {}

MaterialMesh::~MaterialMesh() {
    release();
}

void MaterialMesh::attach(IDirect3DDevice8* device) {
    this->device = device;
}

void MaterialMesh::setMaterial(D3DMATERIAL8 material) {
    this->material = material;
}

void MaterialMesh::setAlpha(double alpha) {
    float a = static_cast<float>(alpha);
    material.Diffuse.a = a;
    material.Ambient.a = a;
    material.Specular.a = a;
    material.Emissive.a = a;
}

void MaterialMesh::release() {
    releaseInterface(mesh);
}
