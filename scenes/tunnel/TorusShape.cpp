#include "scenes/tunnel/TorusShape.h"
#include "common/ReleaseInterface.h"

namespace {
// A thin tube around a ring of 0.125: the hole is 0.1125 wide, room for the
// camera to pass through.
const float TUBE_RADIUS = 0.0125f;
const float RING_RADIUS = 0.125f;
const UINT SIDES = 16;
const UINT RINGS = 32;
} // namespace

TorusShape::TorusShape() : device(nullptr), material{}, mesh(nullptr) {}

TorusShape::~TorusShape() {
    release();
}

void TorusShape::attach(IDirect3DDevice8* device) {
    this->device = device;
}

HRESULT TorusShape::create() {
    return D3DXCreateTorus(device, TUBE_RADIUS, RING_RADIUS, SIDES, RINGS, &mesh, nullptr);
}

void TorusShape::setMaterial(D3DMATERIAL8 material) {
    this->material = material;
}

void TorusShape::setAlpha(double alpha) {
    float a = static_cast<float>(alpha);
    material.Diffuse.a = a;
    material.Ambient.a = a;
    material.Specular.a = a;
    material.Emissive.a = a;
}

HRESULT TorusShape::draw() {
    if (device == nullptr || mesh == nullptr) {
        return D3DERR_INVALIDCALL; // the mesh was never created: nothing to draw
    }
    device->SetMaterial(&material);
    return mesh->DrawSubset(0);
}

void TorusShape::release() {
    releaseInterface(mesh);
}
