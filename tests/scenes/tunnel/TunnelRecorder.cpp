#include "TunnelRecorder.h"

HRESULT TunnelRecorder::SetTransform(D3DTRANSFORMSTATETYPE type, CONST D3DMATRIX* matrix) {
    calls.push_back(RecordedCall{"SetTransform", {static_cast<uint64_t>(type)}, {}, {}});
    transformCalls.push_back(RecordedTransform{type, *matrix});
    return D3D_OK;
}

HRESULT TunnelRecorder::SetLight(DWORD index, CONST D3DLIGHT8* light) {
    calls.push_back(RecordedCall{"SetLight", {index}, {}, {}});
    if (index == 0) {
        lights.push_back(*light);
    }
    return D3D_OK;
}

HRESULT TunnelRecorder::LightEnable(DWORD index, BOOL enable) {
    calls.push_back(RecordedCall{"LightEnable", {index, static_cast<uint64_t>(enable)}, {}, {}});
    if (index == 0) {
        light0Enabled = enable != FALSE;
    }
    return D3D_OK;
}

HRESULT TunnelRecorder::SetMaterial(CONST D3DMATERIAL8* material) {
    calls.push_back(RecordedCall{"SetMaterial", {}, {}, {}});
    materials.push_back(*material);
    return D3D_OK;
}

std::vector<D3DMATRIX> TunnelRecorder::transforms(D3DTRANSFORMSTATETYPE type) const {
    std::vector<D3DMATRIX> found;
    for (const RecordedTransform& call : transformCalls) {
        if (call.type == type) {
            found.push_back(call.matrix);
        }
    }
    return found;
}

void TunnelRecorder::forget() {
    clear();
    transformCalls.clear();
    lights.clear();
    materials.clear();
}
