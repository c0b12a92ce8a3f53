#include "RecordingMesh.h"

HRESULT RecordingMesh::DrawSubset(DWORD subset) {
    device->calls.push_back(RecordedCall{"DrawSubset", {subset}, {}, {}});
    return D3D_OK;
}
