#include "scenes/lattice/BoxShape.h"

namespace {
const float EDGE = 0.1f;

D3DCOLORVALUE colorValue(float red, float green, float blue, float alpha) {
    D3DCOLORVALUE value;
    value.r = red;
    value.g = green;
    value.b = blue;
    value.a = alpha;
    return value;
}
} // namespace

HRESULT BoxShape::create() {
    return D3DXCreateBox(device, EDGE, EDGE, EDGE, &mesh, nullptr);
}

void BoxShape::setDefaultMaterial() {
    material.Diffuse = colorValue(1.0f, 0.0f, 0.0f, 1.0f);
    material.Ambient = colorValue(1.0f, 0.0f, 0.0f, 1.0f);
    material.Specular = colorValue(1.0f, 1.0f, 1.0f, 1.0f);
    material.Emissive = colorValue(0.0f, 0.0f, 0.0f, 1.0f);
    material.Power = 1.0f;
}

void BoxShape::setColor(double red, double green, double blue) {
    float r = static_cast<float>(red);
    float g = static_cast<float>(green);
    float b = static_cast<float>(blue);
    material.Diffuse = colorValue(r, g, b, 1.0f);
    material.Ambient = colorValue(r, g, b, 1.0f);
    material.Specular = colorValue(1.0f, 1.0f, 1.0f, 1.0f);
    material.Emissive = colorValue(0.0f, 0.0f, 0.0f, 1.0f);
    material.Power = 1.0f;
}

HRESULT BoxShape::draw() {
    device->SetMaterial(&material);
    // A box that could not be created has nothing to draw.
    if (mesh == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    return mesh->DrawSubset(0);
}
