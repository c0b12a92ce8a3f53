// The recording device with the scene's 3D calls kept with their arguments:
// transforms, lights and materials.
#pragma once

#include "RecordingDevice.h"

#include <d3d8.h>

#include <vector>

struct RecordedTransform {
    D3DTRANSFORMSTATETYPE type;
    D3DMATRIX matrix;
};

class TunnelRecorder : public RecordingDevice {
public:
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE type, CONST D3DMATRIX* matrix) override;
    HRESULT SetLight(DWORD index, CONST D3DLIGHT8* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT SetMaterial(CONST D3DMATERIAL8* material) override;

    // The matrices set for one transform, in order.
    std::vector<D3DMATRIX> transforms(D3DTRANSFORMSTATETYPE type) const;
    void forget();

    std::vector<RecordedTransform> transformCalls;
    std::vector<D3DLIGHT8> lights; // light 0 as each SetLight passed it
    std::vector<D3DMATERIAL8> materials;
    bool light0Enabled = false;
};
