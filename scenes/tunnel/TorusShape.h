// The one torus of the ring tunnel: a generated mesh drawn with its own
// material, as many times per frame as the scene places it.
#pragma once

#include "gfx/MaterialMesh.h"

class TorusShape : public MaterialMesh {
public:
    HRESULT create() override;
    HRESULT draw() override;
};
