// The recording device with what only the lattice's tests ask of it: where
// the cubes were drawn.
#pragma once

#include "RecordingDevice.h"
#include "RecordingMesh.h"

#include <d3d8.h>

#include <vector>

class LatticeRecorder : public RecordingDevice {
public:
    // The world matrices' translations (elements 41, 42, 43) of every
    // SetTransform(D3DTS_WORLD) followed directly by SetMaterial and DrawSubset.
    std::vector<D3DVECTOR> cubePositions() const;
};

// The cube's counts: 12 faces, 24 vertices with normals.
inline RecordingMesh cubeMesh(RecordingDevice* device) {
    return RecordingMesh(device, 12, 24, D3DFVF_XYZ | D3DFVF_NORMAL);
}
