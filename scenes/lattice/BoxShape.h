// One cube of the lattice: a generated box mesh of edge 0.1 drawn with a
// material of its own, so that the scene can fade every cube through the
// material's alpha.
#pragma once

#include "gfx/MaterialMesh.h"

class BoxShape : public MaterialMesh {
public:
    HRESULT create() override;
    // A red cube with white highlights.
    virtual void setDefaultMaterial();
    virtual void setColor(double red, double green, double blue);
    HRESULT draw() override;
};
