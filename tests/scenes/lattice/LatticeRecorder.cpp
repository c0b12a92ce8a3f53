#include "LatticeRecorder.h"

std::vector<D3DVECTOR> LatticeRecorder::cubePositions() const {
    std::vector<D3DVECTOR> positions;
    for (size_t i = 0; i + 2 < calls.size(); ++i) {
        const RecordedCall& transform = calls[i];
        if (transform.name == "SetTransform" && transform.args[0] == D3DTS_WORLD &&
            calls[i + 1].name == "SetMaterial" && calls[i + 2].name == "DrawSubset") {
            // The transform's floats are its 16 elements row by row.
            positions.push_back({transform.floats[12], transform.floats[13], transform.floats[14]});
        }
    }
    return positions;
}
