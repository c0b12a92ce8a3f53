#include "scenes/tunnel/TorusShape.h"

namespace {
// A thin tube around a ring of 0.125: the hole is 0.1125 wide, room for the
// camera to pass through.
const float TUBE_RADIUS = 0.0125f;
const float RING_RADIUS = 0.125f;
const UINT SIDES = 16;
const UINT RINGS = 32;
} // namespace

HRESULT TorusShape::create() {
    return D3DXCreateTorus(device, TUBE_RADIUS, RING_RADIUS, SIDES, RINGS, &mesh, nullptr);
}

HRESULT TorusShape::draw() {
    if (device == nullptr || mesh == nullptr) {
        return D3DERR_INVALIDCALL; // the mesh was never created: nothing to draw
    }
    device->SetMaterial(&material);
    return mesh->DrawSubset(0);
}
