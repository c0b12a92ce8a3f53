#include "LatticeRecorder.h"

HRESULT LatticeRecorder::SetTransform(D3DTRANSFORMSTATETYPE state, CONST D3DMATRIX* matrix) {
    RecordedCall call{"SetTransform", {static_cast<uint64_t>(state)}, {}, {}};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            call.floats.push_back(matrix->m[row][column]);
        }
    }
    calls.push_back(call);
    return D3D_OK;
}

HRESULT LatticeRecorder::SetMaterial(CONST D3DMATERIAL8* material) {
    RecordedCall call{"SetMaterial", {}, {}, {}};
    for (const D3DCOLORVALUE& c :
         {material->Diffuse, material->Ambient, material->Specular, material->Emissive}) {
        call.floats.insert(call.floats.end(), {c.r, c.g, c.b, c.a});
    }
    call.floats.push_back(material->Power);
    calls.push_back(call);
    return D3D_OK;
}

HRESULT LatticeRecorder::SetLight(DWORD index, CONST D3DLIGHT8* light) {
    RecordedCall call{"SetLight", {index, static_cast<uint64_t>(light->Type)}, {}, {}};
    call.floats = {light->Direction.x, light->Direction.y, light->Direction.z, light->Diffuse.r,
                   light->Diffuse.g,   light->Diffuse.b,   light->Specular.r,  light->Specular.g,
                   light->Specular.b,  light->Ambient.r,   light->Ambient.g,   light->Ambient.b};
    calls.push_back(call);
    return D3D_OK;
}

HRESULT LatticeRecorder::LightEnable(DWORD index, BOOL enable) {
    calls.push_back(RecordedCall{
        "LightEnable", {index, static_cast<uint64_t>(static_cast<uint32_t>(enable))}, {}, {}});
    return D3D_OK;
}

std::vector<D3DVECTOR> LatticeRecorder::cubePositions() const {
    std::vector<D3DVECTOR> positions;
    for (size_t i = 0; i + 2 < calls.size(); ++i) {
        const RecordedCall& transform = calls[i];
        if (transform.name == "SetTransform" && transform.args[0] == D3DTS_WORLD &&
            calls[i + 1].name == "SetMaterial" && calls[i + 2].name == "DrawSubset") {
            positions.push_back({transform.floats[12], transform.floats[13], transform.floats[14]});
        }
    }
    return positions;
}

HRESULT NotingMesh::DrawSubset(DWORD attribute) {
    device->calls.push_back(RecordedCall{"DrawSubset", {attribute}, {}, {}});
    return D3D_OK;
}
