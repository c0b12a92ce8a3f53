// A stand-in Direct3D 8 device for the drawables' tests: it draws nothing and
// records, in order, the calls the program makes on it with their arguments.
// Resource creation and queries fail (the null device's answer), so texture
// loads fail as for a missing file.
#pragma once

#include "NullDevice8.h"
#include "gfx/ScreenVertex.h"

#include <d3d8.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct RecordedCall {
    std::string name;
    std::vector<uint64_t> args; // integers and pointers as numbers, floats as their value x 1
    std::vector<float> floats;  // float arguments (Clear's z)
    std::vector<ScreenVertex> vertices; // DrawPrimitiveUP with a 28-byte stride
};

struct RecordedTransform {
    D3DTRANSFORMSTATETYPE type;
    D3DMATRIX matrix;
};

struct RecordedRenderTarget {
    IDirect3DSurface8* target;
    IDirect3DSurface8* depth;
};

class RecordingDevice : public NullDevice8 {
public:
    std::vector<RecordedCall> calls;

    // What the 3D state calls passed, in order; clear() empties these with the calls.
    std::vector<RecordedTransform> transforms;
    std::vector<D3DMATERIAL8> materials;
    std::vector<D3DLIGHT8> lights; // each SetLight's light; its index is the call's first arg
    std::vector<RecordedRenderTarget> renderTargets;

    // The state those calls leave on the device, as a real device keeps it:
    // clear() does not forget it.
    std::map<D3DTRANSFORMSTATETYPE, D3DMATRIX> currentTransforms;
    std::map<DWORD, D3DLIGHT8> currentLights;
    std::map<DWORD, bool> lightEnabled;
    HRESULT presentResult = D3D_OK; // what Present answers: a failure simulates a lost device
    ULONG references = 1;

    // The names of the recorded calls, in order.
    std::vector<std::string> names() const;
    // The calls with this name, in order.
    std::vector<RecordedCall> named(const std::string& name) const;
    // The value of each SetRenderState call, in order, as (state, value) pairs.
    std::vector<std::pair<uint32_t, uint32_t>> renderStates() const;
    // The matrices set for one transform, in order.
    std::vector<D3DMATRIX> transformsOf(D3DTRANSFORMSTATETYPE type) const;
    // Forgets the recorded calls and values, not the device's state.
    void clear();

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }

    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT Present(CONST RECT* source, CONST RECT* dest, HWND window,
                    CONST RGNDATA* dirty) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, CONST D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override;
    HRESULT SetVertexShader(DWORD handle) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT count, CONST void* data,
                            UINT stride) override;
    // Recorded with their values (above) and in the calls: SetTransform's
    // args are the type, its floats the 16 elements row by row; SetMaterial's
    // floats Diffuse, Ambient, Specular, Emissive (r, g, b, a each) and Power;
    // SetLight's args index and type, its floats Direction, then Diffuse,
    // Specular, Ambient (r, g, b); LightEnable's args index and enable;
    // SetRenderTarget's args the two surfaces.
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE type, CONST D3DMATRIX* matrix) override;
    HRESULT SetMaterial(CONST D3DMATERIAL8* material) override;
    HRESULT SetLight(DWORD index, CONST D3DLIGHT8* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT SetRenderTarget(IDirect3DSurface8* target, IDirect3DSurface8* depth) override;

    // The presentation parameters of the last Reset.
    D3DPRESENT_PARAMETERS lastReset{};

protected:
    // Calls this device does not record in full are noted by name among the others.
    void note(const char* name) override { calls.push_back(RecordedCall{name, {}, {}, {}}); }
};
