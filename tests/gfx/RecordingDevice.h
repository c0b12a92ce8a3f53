// A stand-in Direct3D 8 device for the drawables' tests: it draws nothing and
// records, in order, the calls the program makes on it with their arguments.
// Resource creation and queries fail, so texture loads fail as for a missing file.
#pragma once

#include "ScreenVertex.h"

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

class RecordingDevice : public IDirect3DDevice8 {
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

    // Everything else is only noted by name.
    HRESULT TestCooperativeLevel() override {
        note("TestCooperativeLevel");
        return D3DERR_INVALIDCALL;
    }
    UINT GetAvailableTextureMem() override {
        note("GetAvailableTextureMem");
        return 0;
    }
    HRESULT ResourceManagerDiscardBytes(DWORD) override {
        note("ResourceManagerDiscardBytes");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetDirect3D(IDirect3D8**) override {
        note("GetDirect3D");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetDeviceCaps(D3DCAPS8*) override {
        note("GetDeviceCaps");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetDisplayMode(D3DDISPLAYMODE*) override {
        note("GetDisplayMode");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS*) override {
        note("GetCreationParameters");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetCursorProperties(UINT, UINT, IDirect3DSurface8*) override {
        note("SetCursorProperties");
        return D3DERR_INVALIDCALL;
    }
    void SetCursorPosition(int, int, DWORD) override { note("SetCursorPosition"); }
    BOOL ShowCursor(BOOL) override {
        note("ShowCursor");
        return 0;
    }
    HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS*, IDirect3DSwapChain8**) override {
        note("CreateAdditionalSwapChain");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetBackBuffer(UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface8**) override {
        note("GetBackBuffer");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetRasterStatus(D3DRASTER_STATUS*) override {
        note("GetRasterStatus");
        return D3DERR_INVALIDCALL;
    }
    void SetGammaRamp(DWORD, CONST D3DGAMMARAMP*) override { note("SetGammaRamp"); }
    void GetGammaRamp(D3DGAMMARAMP*) override { note("GetGammaRamp"); }
    HRESULT CreateTexture(UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                          IDirect3DTexture8**) override {
        note("CreateTexture");
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreateVolumeTexture(UINT, UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                                IDirect3DVolumeTexture8**) override {
        note("CreateVolumeTexture");
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreateCubeTexture(UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                              IDirect3DCubeTexture8**) override {
        note("CreateCubeTexture");
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreateVertexBuffer(UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8**) override {
        note("CreateVertexBuffer");
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreateIndexBuffer(UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DIndexBuffer8**) override {
        note("CreateIndexBuffer");
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreateRenderTarget(UINT, UINT, D3DFORMAT, D3DMULTISAMPLE_TYPE, BOOL,
                               IDirect3DSurface8**) override {
        note("CreateRenderTarget");
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreateDepthStencilSurface(UINT, UINT, D3DFORMAT, D3DMULTISAMPLE_TYPE,
                                      IDirect3DSurface8**) override {
        note("CreateDepthStencilSurface");
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreateImageSurface(UINT, UINT, D3DFORMAT, IDirect3DSurface8**) override {
        note("CreateImageSurface");
        return D3DERR_INVALIDCALL;
    }
    HRESULT CopyRects(IDirect3DSurface8*, CONST RECT*, UINT, IDirect3DSurface8*,
                      CONST POINT*) override {
        note("CopyRects");
        return D3DERR_INVALIDCALL;
    }
    HRESULT UpdateTexture(IDirect3DBaseTexture8*, IDirect3DBaseTexture8*) override {
        note("UpdateTexture");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetFrontBuffer(IDirect3DSurface8*) override {
        note("GetFrontBuffer");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetRenderTarget(IDirect3DSurface8**) override {
        note("GetRenderTarget");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetDepthStencilSurface(IDirect3DSurface8**) override {
        note("GetDepthStencilSurface");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX*) override {
        note("GetTransform");
        return D3DERR_INVALIDCALL;
    }
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE, CONST D3DMATRIX*) override {
        note("MultiplyTransform");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetViewport(CONST D3DVIEWPORT8*) override {
        note("SetViewport");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetViewport(D3DVIEWPORT8*) override {
        note("GetViewport");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetMaterial(D3DMATERIAL8*) override {
        note("GetMaterial");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetLight(DWORD, D3DLIGHT8*) override {
        note("GetLight");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetLightEnable(DWORD, BOOL*) override {
        note("GetLightEnable");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetClipPlane(DWORD, CONST float*) override {
        note("SetClipPlane");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetClipPlane(DWORD, float*) override {
        note("GetClipPlane");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE, DWORD*) override {
        note("GetRenderState");
        return D3DERR_INVALIDCALL;
    }
    HRESULT BeginStateBlock() override {
        note("BeginStateBlock");
        return D3DERR_INVALIDCALL;
    }
    HRESULT EndStateBlock(DWORD*) override {
        note("EndStateBlock");
        return D3DERR_INVALIDCALL;
    }
    HRESULT ApplyStateBlock(DWORD) override {
        note("ApplyStateBlock");
        return D3DERR_INVALIDCALL;
    }
    HRESULT CaptureStateBlock(DWORD) override {
        note("CaptureStateBlock");
        return D3DERR_INVALIDCALL;
    }
    HRESULT DeleteStateBlock(DWORD) override {
        note("DeleteStateBlock");
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE, DWORD*) override {
        note("CreateStateBlock");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetClipStatus(CONST D3DCLIPSTATUS8*) override {
        note("SetClipStatus");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetClipStatus(D3DCLIPSTATUS8*) override {
        note("GetClipStatus");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetTexture(DWORD, IDirect3DBaseTexture8**) override {
        note("GetTexture");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) override {
        note("GetTextureStageState");
        return D3DERR_INVALIDCALL;
    }
    HRESULT ValidateDevice(DWORD*) override {
        note("ValidateDevice");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetInfo(DWORD, void*, DWORD) override {
        note("GetInfo");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetPaletteEntries(UINT, CONST struct tagPALETTEENTRY*) override {
        note("SetPaletteEntries");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetPaletteEntries(UINT, struct tagPALETTEENTRY*) override {
        note("GetPaletteEntries");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetCurrentTexturePalette(UINT) override {
        note("SetCurrentTexturePalette");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetCurrentTexturePalette(UINT*) override {
        note("GetCurrentTexturePalette");
        return D3DERR_INVALIDCALL;
    }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override {
        note("DrawPrimitive");
        return D3DERR_INVALIDCALL;
    }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE, UINT, UINT, UINT, UINT) override {
        note("DrawIndexedPrimitive");
        return D3DERR_INVALIDCALL;
    }
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE, UINT, UINT, UINT, CONST void*, D3DFORMAT,
                                   CONST void*, UINT) override {
        note("DrawIndexedPrimitiveUP");
        return D3DERR_INVALIDCALL;
    }
    HRESULT ProcessVertices(UINT, UINT, UINT, IDirect3DVertexBuffer8*, DWORD) override {
        note("ProcessVertices");
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreateVertexShader(CONST DWORD*, CONST DWORD*, DWORD*, DWORD) override {
        note("CreateVertexShader");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetVertexShader(DWORD*) override {
        note("GetVertexShader");
        return D3DERR_INVALIDCALL;
    }
    HRESULT DeleteVertexShader(DWORD) override {
        note("DeleteVertexShader");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetVertexShaderConstant(DWORD, CONST void*, DWORD) override {
        note("SetVertexShaderConstant");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetVertexShaderConstant(DWORD, void*, DWORD) override {
        note("GetVertexShaderConstant");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetVertexShaderDeclaration(DWORD, void*, DWORD*) override {
        note("GetVertexShaderDeclaration");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetVertexShaderFunction(DWORD, void*, DWORD*) override {
        note("GetVertexShaderFunction");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetStreamSource(UINT, IDirect3DVertexBuffer8*, UINT) override {
        note("SetStreamSource");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetStreamSource(UINT, IDirect3DVertexBuffer8**, UINT*) override {
        note("GetStreamSource");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetIndices(IDirect3DIndexBuffer8*, UINT) override {
        note("SetIndices");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetIndices(IDirect3DIndexBuffer8**, UINT*) override {
        note("GetIndices");
        return D3DERR_INVALIDCALL;
    }
    HRESULT CreatePixelShader(CONST DWORD*, DWORD*) override {
        note("CreatePixelShader");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetPixelShader(DWORD) override {
        note("SetPixelShader");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetPixelShader(DWORD*) override {
        note("GetPixelShader");
        return D3DERR_INVALIDCALL;
    }
    HRESULT DeletePixelShader(DWORD) override {
        note("DeletePixelShader");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetPixelShaderConstant(DWORD, CONST void*, DWORD) override {
        note("SetPixelShaderConstant");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetPixelShaderConstant(DWORD, void*, DWORD) override {
        note("GetPixelShaderConstant");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetPixelShaderFunction(DWORD, void*, DWORD*) override {
        note("GetPixelShaderFunction");
        return D3DERR_INVALIDCALL;
    }
    HRESULT DrawRectPatch(UINT, CONST float*, CONST D3DRECTPATCH_INFO*) override {
        note("DrawRectPatch");
        return D3DERR_INVALIDCALL;
    }
    HRESULT DrawTriPatch(UINT, CONST float*, CONST D3DTRIPATCH_INFO*) override {
        note("DrawTriPatch");
        return D3DERR_INVALIDCALL;
    }
    HRESULT DeletePatch(UINT) override {
        note("DeletePatch");
        return D3DERR_INVALIDCALL;
    }

    // The presentation parameters of the last Reset.
    D3DPRESENT_PARAMETERS lastReset{};

private:
    void note(const char* name) { calls.push_back(RecordedCall{name, {}, {}, {}}); }
};
