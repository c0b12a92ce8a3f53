// A Direct3D 8 device for tests that does nothing: every call notes its name
// and fails with D3DERR_INVALIDCALL (counts and flags answer 0). A test double
// derives from it and overrides only the calls it records or fakes; it also
// supplies IUnknown, since the doubles keep their lifetimes differently.
#pragma once

#include <d3d8.h>

#include <string>
#include <vector>

class NullDevice8 : public IDirect3DDevice8 {
public:
    // The names of the calls that reached this base, in order.
    std::vector<std::string> noted;

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
    HRESULT Reset(D3DPRESENT_PARAMETERS*) override {
        note("Reset");
        return D3DERR_INVALIDCALL;
    }
    HRESULT Present(CONST RECT*, CONST RECT*, HWND, CONST RGNDATA*) override {
        note("Present");
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
    HRESULT SetRenderTarget(IDirect3DSurface8*, IDirect3DSurface8*) override {
        note("SetRenderTarget");
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
    HRESULT BeginScene() override {
        note("BeginScene");
        return D3DERR_INVALIDCALL;
    }
    HRESULT EndScene() override {
        note("EndScene");
        return D3DERR_INVALIDCALL;
    }
    HRESULT Clear(DWORD, CONST D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override {
        note("Clear");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE, CONST D3DMATRIX*) override {
        note("SetTransform");
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
    HRESULT SetMaterial(CONST D3DMATERIAL8*) override {
        note("SetMaterial");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetMaterial(D3DMATERIAL8*) override {
        note("GetMaterial");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetLight(DWORD, CONST D3DLIGHT8*) override {
        note("SetLight");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetLight(DWORD, D3DLIGHT8*) override {
        note("GetLight");
        return D3DERR_INVALIDCALL;
    }
    HRESULT LightEnable(DWORD, BOOL) override {
        note("LightEnable");
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
    HRESULT SetRenderState(D3DRENDERSTATETYPE, DWORD) override {
        note("SetRenderState");
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
    HRESULT SetTexture(DWORD, IDirect3DBaseTexture8*) override {
        note("SetTexture");
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) override {
        note("GetTextureStageState");
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override {
        note("SetTextureStageState");
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
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE, UINT, CONST void*, UINT) override {
        note("DrawPrimitiveUP");
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
    HRESULT SetVertexShader(DWORD) override {
        note("SetVertexShader");
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

protected:
    virtual void note(const char* name) { noted.emplace_back(name); }
};
