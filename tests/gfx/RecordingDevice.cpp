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
