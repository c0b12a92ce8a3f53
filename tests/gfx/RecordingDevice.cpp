#include "RecordingDevice.h"

#include <cstring>

std::vector<std::string> RecordingDevice::names() const {
    std::vector<std::string> result;
    for (const RecordedCall& call : calls) {
        result.push_back(call.name);
    }
    return result;
}

std::vector<RecordedCall> RecordingDevice::named(const std::string& name) const {
    std::vector<RecordedCall> result;
    for (const RecordedCall& call : calls) {
        if (call.name == name) {
            result.push_back(call);
        }
    }
    return result;
}

std::vector<std::pair<uint32_t, uint32_t>> RecordingDevice::renderStates() const {
    std::vector<std::pair<uint32_t, uint32_t>> result;
    for (const RecordedCall& call : named("SetRenderState")) {
        result.emplace_back(static_cast<uint32_t>(call.args[0]),
                            static_cast<uint32_t>(call.args[1]));
    }
    return result;
}

HRESULT RecordingDevice::Reset(D3DPRESENT_PARAMETERS* parameters) {
    lastReset = *parameters;
    calls.push_back(RecordedCall{"Reset", {}, {}, {}});
    return D3D_OK;
}

HRESULT RecordingDevice::Present(CONST RECT* source, CONST RECT* dest, HWND window,
                                 CONST RGNDATA* dirty) {
    calls.push_back(
        RecordedCall{"Present",
                     {reinterpret_cast<uint64_t>(source), reinterpret_cast<uint64_t>(dest),
                      reinterpret_cast<uint64_t>(window), reinterpret_cast<uint64_t>(dirty)},
                     {},
                     {}});
    return presentResult;
}

HRESULT RecordingDevice::BeginScene() {
    note("BeginScene");
    return D3D_OK;
}

HRESULT RecordingDevice::EndScene() {
    note("EndScene");
    return D3D_OK;
}

HRESULT RecordingDevice::Clear(DWORD count, CONST D3DRECT* rects, DWORD flags, D3DCOLOR color,
                               float z, DWORD stencil) {
    calls.push_back(RecordedCall{
        "Clear", {count, reinterpret_cast<uint64_t>(rects), flags, color, stencil}, {z}, {}});
    return D3D_OK;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    calls.push_back(RecordedCall{"SetRenderState", {static_cast<uint64_t>(state), value}, {}, {}});
    return D3D_OK;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                              DWORD value) {
    calls.push_back(
        RecordedCall{"SetTextureStageState", {stage, static_cast<uint64_t>(type), value}, {}, {}});
    return D3D_OK;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
    calls.push_back(
        RecordedCall{"SetTexture", {stage, reinterpret_cast<uint64_t>(texture)}, {}, {}});
    return D3D_OK;
}

HRESULT RecordingDevice::SetVertexShader(DWORD handle) {
    calls.push_back(RecordedCall{"SetVertexShader", {handle}, {}, {}});
    return D3D_OK;
}

HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT count, CONST void* data,
                                         UINT stride) {
    RecordedCall call{"DrawPrimitiveUP", {static_cast<uint64_t>(type), count, stride}, {}, {}};
    if (stride == sizeof(ScreenVertex) && type == D3DPT_TRIANGLEFAN) {
        call.vertices.resize(count + 2);
        std::memcpy(call.vertices.data(), data, (count + 2) * sizeof(ScreenVertex));
    }
    calls.push_back(call);
    return D3D_OK;
}

std::vector<D3DMATRIX> RecordingDevice::transformsOf(D3DTRANSFORMSTATETYPE type) const {
    std::vector<D3DMATRIX> result;
    for (const RecordedTransform& transform : transforms) {
        if (transform.type == type) {
            result.push_back(transform.matrix);
        }
    }
    return result;
}

void RecordingDevice::clear() {
    calls.clear();
    transforms.clear();
    materials.clear();
    lights.clear();
    renderTargets.clear();
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE type, CONST D3DMATRIX* matrix) {
    RecordedCall call{"SetTransform", {static_cast<uint64_t>(type)}, {}, {}};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            call.floats.push_back(matrix->m[row][column]);
        }
    }
    calls.push_back(call);
    transforms.push_back(RecordedTransform{type, *matrix});
    currentTransforms[type] = *matrix;
    return D3D_OK;
}

HRESULT RecordingDevice::SetMaterial(CONST D3DMATERIAL8* material) {
    RecordedCall call{"SetMaterial", {}, {}, {}};
    for (const D3DCOLORVALUE& c :
         {material->Diffuse, material->Ambient, material->Specular, material->Emissive}) {
        call.floats.insert(call.floats.end(), {c.r, c.g, c.b, c.a});
    }
    call.floats.push_back(material->Power);
    calls.push_back(call);
    materials.push_back(*material);
    return D3D_OK;
}

HRESULT RecordingDevice::SetLight(DWORD index, CONST D3DLIGHT8* light) {
    RecordedCall call{"SetLight", {index, static_cast<uint64_t>(light->Type)}, {}, {}};
    call.floats = {light->Direction.x, light->Direction.y, light->Direction.z, light->Diffuse.r,
                   light->Diffuse.g,   light->Diffuse.b,   light->Specular.r,  light->Specular.g,
                   light->Specular.b,  light->Ambient.r,   light->Ambient.g,   light->Ambient.b};
    calls.push_back(call);
    lights.push_back(*light);
    currentLights[index] = *light;
    return D3D_OK;
}

HRESULT RecordingDevice::LightEnable(DWORD index, BOOL enable) {
    calls.push_back(RecordedCall{
        "LightEnable", {index, static_cast<uint64_t>(static_cast<uint32_t>(enable))}, {}, {}});
    lightEnabled[index] = enable != FALSE;
    return D3D_OK;
}

HRESULT RecordingDevice::SetRenderTarget(IDirect3DSurface8* target, IDirect3DSurface8* depth) {
    calls.push_back(
        RecordedCall{"SetRenderTarget",
                     {reinterpret_cast<uint64_t>(target), reinterpret_cast<uint64_t>(depth)},
                     {},
                     {}});
    renderTargets.push_back(RecordedRenderTarget{target, depth});
    return D3D_OK;
}
