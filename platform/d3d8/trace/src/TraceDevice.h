// The tracing device: forwards every call to the real device and writes it to the trace.
// The resources it hands out are tracing wrappers too (TraceResources.h).
#pragma once

#include "TraceCall.h"

#include <memory>

class TraceDirect3D8;
class TraceResources;

class TraceDevice : public IDirect3DDevice8 {
public:
    TraceDevice(IDirect3DDevice8* real, TraceDirect3D8* parent,
                std::shared_ptr<TraceWriter> writer);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT TestCooperativeLevel() override;
    UINT GetAvailableTextureMem() override;
    HRESULT ResourceManagerDiscardBytes(DWORD Bytes) override;
    HRESULT GetDirect3D(IDirect3D8** ppD3D8) override;
    HRESULT GetDeviceCaps(D3DCAPS8* pCaps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* pMode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) override;
    HRESULT SetCursorProperties(UINT XHotSpot, UINT YHotSpot,
                                IDirect3DSurface8* pCursorBitmap) override;
    void SetCursorPosition(int X, int Y, DWORD Flags) override;
    BOOL ShowCursor(BOOL bShow) override;
    HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* pPresentationParameters,
                                      IDirect3DSwapChain8** pSwapChain) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override;
    HRESULT Present(CONST RECT* pSourceRect, CONST RECT* pDestRect, HWND hDestWindowOverride,
                    CONST RGNDATA* pDirtyRegion) override;
    HRESULT GetBackBuffer(UINT BackBuffer, D3DBACKBUFFER_TYPE Type,
                          IDirect3DSurface8** ppBackBuffer) override;
    HRESULT GetRasterStatus(D3DRASTER_STATUS* pRasterStatus) override;
    void SetGammaRamp(DWORD Flags, CONST D3DGAMMARAMP* pRamp) override;
    void GetGammaRamp(D3DGAMMARAMP* pRamp) override;
    HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format,
                          D3DPOOL Pool, IDirect3DTexture8** ppTexture) override;
    HRESULT CreateVolumeTexture(UINT Width, UINT Height, UINT Depth, UINT Levels, DWORD Usage,
                                D3DFORMAT Format, D3DPOOL Pool,
                                IDirect3DVolumeTexture8** ppVolumeTexture) override;
    HRESULT CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format,
                              D3DPOOL Pool, IDirect3DCubeTexture8** ppCubeTexture) override;
    HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                               IDirect3DVertexBuffer8** ppVertexBuffer) override;
    HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DIndexBuffer8** ppIndexBuffer) override;
    HRESULT CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format,
                               D3DMULTISAMPLE_TYPE MultiSample, BOOL Lockable,
                               IDirect3DSurface8** ppSurface) override;
    HRESULT CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                      D3DMULTISAMPLE_TYPE MultiSample,
                                      IDirect3DSurface8** ppSurface) override;
    HRESULT CreateImageSurface(UINT Width, UINT Height, D3DFORMAT Format,
                               IDirect3DSurface8** ppSurface) override;
    HRESULT CopyRects(IDirect3DSurface8* pSourceSurface, CONST RECT* pSourceRectsArray, UINT cRects,
                      IDirect3DSurface8* pDestinationSurface,
                      CONST POINT* pDestPointsArray) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture8* pSourceTexture,
                          IDirect3DBaseTexture8* pDestinationTexture) override;
    HRESULT GetFrontBuffer(IDirect3DSurface8* pDestSurface) override;
    HRESULT SetRenderTarget(IDirect3DSurface8* pRenderTarget,
                            IDirect3DSurface8* pNewZStencil) override;
    HRESULT GetRenderTarget(IDirect3DSurface8** ppRenderTarget) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface8** ppZStencilSurface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD Count, CONST D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                  DWORD Stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, CONST D3DMATRIX* pMatrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override;
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE State, CONST D3DMATRIX* pMatrix) override;
    HRESULT SetViewport(CONST D3DVIEWPORT8* pViewport) override;
    HRESULT GetViewport(D3DVIEWPORT8* pViewport) override;
    HRESULT SetMaterial(CONST D3DMATERIAL8* pMaterial) override;
    HRESULT GetMaterial(D3DMATERIAL8* pMaterial) override;
    HRESULT SetLight(DWORD Index, CONST D3DLIGHT8* pLight) override;
    HRESULT GetLight(DWORD Index, D3DLIGHT8* pLight) override;
    HRESULT LightEnable(DWORD Index, BOOL Enable) override;
    HRESULT GetLightEnable(DWORD Index, BOOL* pEnable) override;
    HRESULT SetClipPlane(DWORD Index, CONST float* pPlane) override;
    HRESULT GetClipPlane(DWORD Index, float* pPlane) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override;
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(DWORD* pToken) override;
    HRESULT ApplyStateBlock(DWORD Token) override;
    HRESULT CaptureStateBlock(DWORD Token) override;
    HRESULT DeleteStateBlock(DWORD Token) override;
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE Type, DWORD* pToken) override;
    HRESULT SetClipStatus(CONST D3DCLIPSTATUS8* pClipStatus) override;
    HRESULT GetClipStatus(D3DCLIPSTATUS8* pClipStatus) override;
    HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture8** ppTexture) override;
    HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture8* pTexture) override;
    HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type,
                                 DWORD* pValue) override;
    HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override;
    HRESULT ValidateDevice(DWORD* pNumPasses) override;
    HRESULT GetInfo(DWORD DevInfoID, void* pDevInfoStruct, DWORD DevInfoStructSize) override;
    HRESULT SetPaletteEntries(UINT PaletteNumber, CONST struct tagPALETTEENTRY* pEntries) override;
    HRESULT GetPaletteEntries(UINT PaletteNumber, struct tagPALETTEENTRY* pEntries) override;
    HRESULT SetCurrentTexturePalette(UINT PaletteNumber) override;
    HRESULT GetCurrentTexturePalette(UINT* PaletteNumber) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex,
                          UINT PrimitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT minIndex, UINT NumVertices,
                                 UINT startIndex, UINT primCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                            CONST void* pVertexStreamZeroData,
                            UINT VertexStreamZeroStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex,
                                   UINT NumVertexIndices, UINT PrimitiveCount,
                                   CONST void* pIndexData, D3DFORMAT IndexDataFormat,
                                   CONST void* pVertexStreamZeroData,
                                   UINT VertexStreamZeroStride) override;
    HRESULT ProcessVertices(UINT SrcStartIndex, UINT DestIndex, UINT VertexCount,
                            IDirect3DVertexBuffer8* pDestBuffer, DWORD Flags) override;
    HRESULT CreateVertexShader(CONST DWORD* pDeclaration, CONST DWORD* pFunction, DWORD* pHandle,
                               DWORD Usage) override;
    HRESULT SetVertexShader(DWORD Handle) override;
    HRESULT GetVertexShader(DWORD* pHandle) override;
    HRESULT DeleteVertexShader(DWORD Handle) override;
    HRESULT SetVertexShaderConstant(DWORD Register, CONST void* pConstantData,
                                    DWORD ConstantCount) override;
    HRESULT GetVertexShaderConstant(DWORD Register, void* pConstantData,
                                    DWORD ConstantCount) override;
    HRESULT GetVertexShaderDeclaration(DWORD Handle, void* pData, DWORD* pSizeOfData) override;
    HRESULT GetVertexShaderFunction(DWORD Handle, void* pData, DWORD* pSizeOfData) override;
    HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData,
                            UINT Stride) override;
    HRESULT GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8** ppStreamData,
                            UINT* pStride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT BaseVertexIndex) override;
    HRESULT GetIndices(IDirect3DIndexBuffer8** ppIndexData, UINT* pBaseVertexIndex) override;
    HRESULT CreatePixelShader(CONST DWORD* pFunction, DWORD* pHandle) override;
    HRESULT SetPixelShader(DWORD Handle) override;
    HRESULT GetPixelShader(DWORD* pHandle) override;
    HRESULT DeletePixelShader(DWORD Handle) override;
    HRESULT SetPixelShaderConstant(DWORD Register, CONST void* pConstantData,
                                   DWORD ConstantCount) override;
    HRESULT GetPixelShaderConstant(DWORD Register, void* pConstantData,
                                   DWORD ConstantCount) override;
    HRESULT GetPixelShaderFunction(DWORD Handle, void* pData, DWORD* pSizeOfData) override;
    HRESULT DrawRectPatch(UINT Handle, CONST float* pNumSegs,
                          CONST D3DRECTPATCH_INFO* pRectPatchInfo) override;
    HRESULT DrawTriPatch(UINT Handle, CONST float* pNumSegs,
                         CONST D3DTRIPATCH_INFO* pTriPatchInfo) override;
    HRESULT DeletePatch(UINT Handle) override;

private:
    ~TraceDevice() override;

    // Writes one call of this device and hands its result back.
    template <class... Arguments>
    HRESULT traced(const char* method, HRESULT result, const Arguments&... arguments) {
        return trace::hresult(*writer, "IDirect3DDevice8", method, this, result, arguments...);
    }

    IDirect3DDevice8* real;
    TraceDirect3D8* parent;
    std::shared_ptr<TraceWriter> writer;
    std::shared_ptr<TraceResources> resources;
    DWORD vertexFormat = 0; // decodes the vertices of draws from memory
};
