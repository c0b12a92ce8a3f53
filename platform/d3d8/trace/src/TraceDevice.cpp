#include "TraceDevice.h"

#include "TraceDirect3D8.h"
#include "TraceResources.h"

using trace::ClearFlags;
using trace::Fvf;
using trace::Signed;

TraceDevice::TraceDevice(IDirect3DDevice8* device, TraceDirect3D8* owner,
                         std::shared_ptr<TraceWriter> trace)
    : real(device), parent(owner), writer(std::move(trace)),
      resources(std::make_shared<TraceResources>(writer)) {
    writer->object(this, "device");
    resources->device = this;
    parent->hold();
}

TraceDevice::~TraceDevice() {
    parent->drop();
}

HRESULT TraceDevice::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    HRESULT result = E_NOINTERFACE;
    *object = nullptr;
    if (riid == IID_IDirect3DDevice8) {
        AddRef();
        *object = static_cast<IDirect3DDevice8*>(this);
        result = S_OK;
    }
    return traced("QueryInterface", result, "riid", "{iid}", "ppvObj",
                  "&" + writer->object(*object, "object"));
}

ULONG TraceDevice::AddRef() {
    return trace::value(*writer, "IDirect3DDevice8", "AddRef", this, real->AddRef());
}

ULONG TraceDevice::Release() {
    ULONG count = trace::value(*writer, "IDirect3DDevice8", "Release", this, real->Release());
    if (count == 0) {
        delete this;
    }
    return count;
}

HRESULT TraceDevice::GetDirect3D(IDirect3D8** ppD3D8) {
    IDirect3D8* inner = nullptr;
    HRESULT result = real->GetDirect3D(ppD3D8 != nullptr ? &inner : nullptr);
    if (SUCCEEDED(result)) {
        // The program sees the tracing object, never the one inside it.
        inner->Release();
        parent->hold();
        *ppD3D8 = parent;
    }
    return traced("GetDirect3D", result, "ppD3D8", ppD3D8);
}

HRESULT TraceDevice::Present(CONST RECT* pSourceRect, CONST RECT* pDestRect,
                             HWND hDestWindowOverride, CONST RGNDATA* pDirtyRegion) {
    HRESULT result =
        traced("Present", real->Present(pSourceRect, pDestRect, hDestWindowOverride, pDirtyRegion),
               "pSourceRect", pSourceRect, "pDestRect", pDestRect, "hDestWindowOverride",
               hDestWindowOverride, "pDirtyRegion", pDirtyRegion);
    // Present closes the frame.
    writer->nextFrame();
    return result;
}

HRESULT TraceDevice::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) {
    return traced("SetRenderState", real->SetRenderState(State, Value), "State", State, "Value",
                  TraceWriter::renderStateValue(State, Value));
}

HRESULT TraceDevice::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) {
    return traced("SetTextureStageState", real->SetTextureStageState(Stage, Type, Value), "Stage",
                  Stage, "Type", Type, "Value", TraceWriter::stageStateValue(Type, Value));
}

HRESULT TraceDevice::SetVertexShader(DWORD Handle) {
    HRESULT result = real->SetVertexShader(Handle);
    if (SUCCEEDED(result)) {
        vertexFormat = Handle;
    }
    return traced("SetVertexShader", result, "Handle", Fvf{Handle});
}

HRESULT TraceDevice::TestCooperativeLevel() {
    return traced("TestCooperativeLevel", real->TestCooperativeLevel());
}

UINT TraceDevice::GetAvailableTextureMem() {
    return trace::value(*writer, "IDirect3DDevice8", "GetAvailableTextureMem", this,
                        real->GetAvailableTextureMem());
}

HRESULT TraceDevice::ResourceManagerDiscardBytes(DWORD Bytes) {
    return traced("ResourceManagerDiscardBytes", real->ResourceManagerDiscardBytes(Bytes), "Bytes",
                  Bytes);
}

HRESULT TraceDevice::GetDeviceCaps(D3DCAPS8* pCaps) {
    return traced("GetDeviceCaps", real->GetDeviceCaps(pCaps), "pCaps", pCaps);
}

HRESULT TraceDevice::GetDisplayMode(D3DDISPLAYMODE* pMode) {
    return traced("GetDisplayMode", real->GetDisplayMode(pMode), "pMode", pMode);
}

HRESULT TraceDevice::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) {
    return traced("GetCreationParameters", real->GetCreationParameters(pParameters), "pParameters",
                  pParameters);
}

HRESULT TraceDevice::SetCursorProperties(UINT XHotSpot, UINT YHotSpot,
                                         IDirect3DSurface8* pCursorBitmap) {
    return traced("SetCursorProperties",
                  real->SetCursorProperties(XHotSpot, YHotSpot, resources->unwrap(pCursorBitmap)),
                  "XHotSpot", XHotSpot, "YHotSpot", YHotSpot, "pCursorBitmap", pCursorBitmap);
}

void TraceDevice::SetCursorPosition(int X, int Y, DWORD Flags) {
    real->SetCursorPosition(X, Y, Flags);
    trace::none(*writer, "IDirect3DDevice8", "SetCursorPosition", this, "X", Signed{X}, "Y",
                Signed{Y}, "Flags", Flags);
}

BOOL TraceDevice::ShowCursor(BOOL bShow) {
    return trace::value(*writer, "IDirect3DDevice8", "ShowCursor", this, real->ShowCursor(bShow),
                        "bShow", bShow);
}

HRESULT TraceDevice::CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* pPresentationParameters,
                                               IDirect3DSwapChain8** pSwapChain) {
    return traced("CreateAdditionalSwapChain",
                  real->CreateAdditionalSwapChain(pPresentationParameters, pSwapChain),
                  "pPresentationParameters", pPresentationParameters, "pSwapChain", pSwapChain);
}

HRESULT TraceDevice::Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) {
    return traced("Reset", real->Reset(pPresentationParameters), "pPresentationParameters",
                  pPresentationParameters);
}

HRESULT TraceDevice::GetBackBuffer(UINT BackBuffer, D3DBACKBUFFER_TYPE Type,
                                   IDirect3DSurface8** ppBackBuffer) {
    HRESULT result = real->GetBackBuffer(BackBuffer, Type, ppBackBuffer);
    resources->wrapOut(result, ppBackBuffer);
    return traced("GetBackBuffer", result, "BackBuffer", BackBuffer, "Type", Type, "ppBackBuffer",
                  ppBackBuffer);
}

HRESULT TraceDevice::GetRasterStatus(D3DRASTER_STATUS* pRasterStatus) {
    return traced("GetRasterStatus", real->GetRasterStatus(pRasterStatus), "pRasterStatus",
                  pRasterStatus);
}

void TraceDevice::SetGammaRamp(DWORD Flags, CONST D3DGAMMARAMP* pRamp) {
    real->SetGammaRamp(Flags, pRamp);
    trace::none(*writer, "IDirect3DDevice8", "SetGammaRamp", this, "Flags", Flags, "pRamp", pRamp);
}

void TraceDevice::GetGammaRamp(D3DGAMMARAMP* pRamp) {
    real->GetGammaRamp(pRamp);
    trace::none(*writer, "IDirect3DDevice8", "GetGammaRamp", this, "pRamp", pRamp);
}

HRESULT TraceDevice::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage,
                                   D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture8** ppTexture) {
    HRESULT result = real->CreateTexture(Width, Height, Levels, Usage, Format, Pool, ppTexture);
    resources->wrapOut(result, ppTexture);
    return traced("CreateTexture", result, "Width", Width, "Height", Height, "Levels", Levels,
                  "Usage", trace::Usage{Usage}, "Format", Format, "Pool", Pool, "ppTexture",
                  ppTexture);
}

HRESULT TraceDevice::CreateVolumeTexture(UINT Width, UINT Height, UINT Depth, UINT Levels,
                                         DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                         IDirect3DVolumeTexture8** ppVolumeTexture) {
    return traced("CreateVolumeTexture",
                  real->CreateVolumeTexture(Width, Height, Depth, Levels, Usage, Format, Pool,
                                            ppVolumeTexture),
                  "Width", Width, "Height", Height, "Depth", Depth, "Levels", Levels, "Usage",
                  trace::Usage{Usage}, "Format", Format, "Pool", Pool, "ppVolumeTexture",
                  ppVolumeTexture);
}

HRESULT TraceDevice::CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format,
                                       D3DPOOL Pool, IDirect3DCubeTexture8** ppCubeTexture) {
    return traced("CreateCubeTexture",
                  real->CreateCubeTexture(EdgeLength, Levels, Usage, Format, Pool, ppCubeTexture),
                  "EdgeLength", EdgeLength, "Levels", Levels, "Usage", trace::Usage{Usage},
                  "Format", Format, "Pool", Pool, "ppCubeTexture", ppCubeTexture);
}

HRESULT TraceDevice::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                        IDirect3DVertexBuffer8** ppVertexBuffer) {
    HRESULT result = real->CreateVertexBuffer(Length, Usage, FVF, Pool, ppVertexBuffer);
    resources->wrapOut(result, ppVertexBuffer);
    return traced("CreateVertexBuffer", result, "Length", Length, "Usage", trace::Usage{Usage},
                  "FVF", Fvf{FVF}, "Pool", Pool, "ppVertexBuffer", ppVertexBuffer);
}

HRESULT TraceDevice::CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                       IDirect3DIndexBuffer8** ppIndexBuffer) {
    HRESULT result = real->CreateIndexBuffer(Length, Usage, Format, Pool, ppIndexBuffer);
    resources->wrapOut(result, ppIndexBuffer);
    return traced("CreateIndexBuffer", result, "Length", Length, "Usage", trace::Usage{Usage},
                  "Format", Format, "Pool", Pool, "ppIndexBuffer", ppIndexBuffer);
}

HRESULT TraceDevice::CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format,
                                        D3DMULTISAMPLE_TYPE MultiSample, BOOL Lockable,
                                        IDirect3DSurface8** ppSurface) {
    HRESULT result =
        real->CreateRenderTarget(Width, Height, Format, MultiSample, Lockable, ppSurface);
    resources->wrapOut(result, ppSurface);
    return traced("CreateRenderTarget", result, "Width", Width, "Height", Height, "Format", Format,
                  "MultiSample", MultiSample, "Lockable", Lockable, "ppSurface", ppSurface);
}

HRESULT TraceDevice::CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                               D3DMULTISAMPLE_TYPE MultiSample,
                                               IDirect3DSurface8** ppSurface) {
    HRESULT result = real->CreateDepthStencilSurface(Width, Height, Format, MultiSample, ppSurface);
    resources->wrapOut(result, ppSurface);
    return traced("CreateDepthStencilSurface", result, "Width", Width, "Height", Height, "Format",
                  Format, "MultiSample", MultiSample, "ppSurface", ppSurface);
}

HRESULT TraceDevice::CreateImageSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                        IDirect3DSurface8** ppSurface) {
    HRESULT result = real->CreateImageSurface(Width, Height, Format, ppSurface);
    resources->wrapOut(result, ppSurface);
    return traced("CreateImageSurface", result, "Width", Width, "Height", Height, "Format", Format,
                  "ppSurface", ppSurface);
}

HRESULT TraceDevice::CopyRects(IDirect3DSurface8* pSourceSurface, CONST RECT* pSourceRectsArray,
                               UINT cRects, IDirect3DSurface8* pDestinationSurface,
                               CONST POINT* pDestPointsArray) {
    HRESULT result = real->CopyRects(resources->unwrap(pSourceSurface), pSourceRectsArray, cRects,
                                     resources->unwrap(pDestinationSurface), pDestPointsArray);
    return traced("CopyRects", result, "pSourceSurface", pSourceSurface, "pSourceRectsArray",
                  TraceWriter::rects(pSourceRectsArray, pSourceRectsArray ? cRects : 0), "cRects",
                  cRects, "pDestinationSurface", pDestinationSurface, "pDestPointsArray",
                  TraceWriter::points(pDestPointsArray, pSourceRectsArray ? cRects : 1));
}

HRESULT TraceDevice::UpdateTexture(IDirect3DBaseTexture8* pSourceTexture,
                                   IDirect3DBaseTexture8* pDestinationTexture) {
    return traced("UpdateTexture",
                  real->UpdateTexture(resources->unwrap(pSourceTexture),
                                      resources->unwrap(pDestinationTexture)),
                  "pSourceTexture", pSourceTexture, "pDestinationTexture", pDestinationTexture);
}

HRESULT TraceDevice::GetFrontBuffer(IDirect3DSurface8* pDestSurface) {
    return traced("GetFrontBuffer", real->GetFrontBuffer(resources->unwrap(pDestSurface)),
                  "pDestSurface", pDestSurface);
}

HRESULT TraceDevice::SetRenderTarget(IDirect3DSurface8* pRenderTarget,
                                     IDirect3DSurface8* pNewZStencil) {
    return traced(
        "SetRenderTarget",
        real->SetRenderTarget(resources->unwrap(pRenderTarget), resources->unwrap(pNewZStencil)),
        "pRenderTarget", pRenderTarget, "pNewZStencil", pNewZStencil);
}

HRESULT TraceDevice::GetRenderTarget(IDirect3DSurface8** ppRenderTarget) {
    HRESULT result = real->GetRenderTarget(ppRenderTarget);
    resources->wrapOut(result, ppRenderTarget);
    return traced("GetRenderTarget", result, "ppRenderTarget", ppRenderTarget);
}

HRESULT TraceDevice::GetDepthStencilSurface(IDirect3DSurface8** ppZStencilSurface) {
    HRESULT result = real->GetDepthStencilSurface(ppZStencilSurface);
    resources->wrapOut(result, ppZStencilSurface);
    return traced("GetDepthStencilSurface", result, "ppZStencilSurface", ppZStencilSurface);
}

HRESULT TraceDevice::BeginScene() {
    return traced("BeginScene", real->BeginScene());
}

HRESULT TraceDevice::EndScene() {
    return traced("EndScene", real->EndScene());
}

HRESULT TraceDevice::Clear(DWORD Count, CONST D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                           DWORD Stencil) {
    return traced("Clear", real->Clear(Count, pRects, Flags, Color, Z, Stencil), "Count", Count,
                  "pRects", TraceWriter::d3dRects(pRects, Count), "Flags", ClearFlags{Flags},
                  "Color", trace::Color{Color}, "Z", Z, "Stencil", Stencil);
}

HRESULT TraceDevice::SetTransform(D3DTRANSFORMSTATETYPE State, CONST D3DMATRIX* pMatrix) {
    return traced("SetTransform", real->SetTransform(State, pMatrix), "State", State, "pMatrix",
                  pMatrix);
}

HRESULT TraceDevice::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) {
    return traced("GetTransform", real->GetTransform(State, pMatrix), "State", State, "pMatrix",
                  pMatrix);
}

HRESULT TraceDevice::MultiplyTransform(D3DTRANSFORMSTATETYPE State, CONST D3DMATRIX* pMatrix) {
    return traced("MultiplyTransform", real->MultiplyTransform(State, pMatrix), "State", State,
                  "pMatrix", pMatrix);
}

HRESULT TraceDevice::SetViewport(CONST D3DVIEWPORT8* pViewport) {
    return traced("SetViewport", real->SetViewport(pViewport), "pViewport", pViewport);
}

HRESULT TraceDevice::GetViewport(D3DVIEWPORT8* pViewport) {
    return traced("GetViewport", real->GetViewport(pViewport), "pViewport", pViewport);
}

HRESULT TraceDevice::SetMaterial(CONST D3DMATERIAL8* pMaterial) {
    return traced("SetMaterial", real->SetMaterial(pMaterial), "pMaterial", pMaterial);
}

HRESULT TraceDevice::GetMaterial(D3DMATERIAL8* pMaterial) {
    return traced("GetMaterial", real->GetMaterial(pMaterial), "pMaterial", pMaterial);
}

HRESULT TraceDevice::SetLight(DWORD Index, CONST D3DLIGHT8* pLight) {
    return traced("SetLight", real->SetLight(Index, pLight), "Index", Index, "pLight", pLight);
}

HRESULT TraceDevice::GetLight(DWORD Index, D3DLIGHT8* pLight) {
    return traced("GetLight", real->GetLight(Index, pLight), "Index", Index, "pLight", pLight);
}

HRESULT TraceDevice::LightEnable(DWORD Index, BOOL Enable) {
    return traced("LightEnable", real->LightEnable(Index, Enable), "Index", Index, "Enable",
                  Enable);
}

HRESULT TraceDevice::GetLightEnable(DWORD Index, BOOL* pEnable) {
    return traced("GetLightEnable", real->GetLightEnable(Index, pEnable), "Index", Index, "pEnable",
                  pEnable);
}

HRESULT TraceDevice::SetClipPlane(DWORD Index, CONST float* pPlane) {
    return traced("SetClipPlane", real->SetClipPlane(Index, pPlane), "Index", Index, "pPlane",
                  pPlane);
}

HRESULT TraceDevice::GetClipPlane(DWORD Index, float* pPlane) {
    return traced("GetClipPlane", real->GetClipPlane(Index, pPlane), "Index", Index, "pPlane",
                  pPlane);
}

HRESULT TraceDevice::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) {
    return traced("GetRenderState", real->GetRenderState(State, pValue), "State", State, "pValue",
                  pValue);
}

HRESULT TraceDevice::BeginStateBlock() {
    return traced("BeginStateBlock", real->BeginStateBlock());
}

HRESULT TraceDevice::EndStateBlock(DWORD* pToken) {
    return traced("EndStateBlock", real->EndStateBlock(pToken), "pToken", pToken);
}

HRESULT TraceDevice::ApplyStateBlock(DWORD Token) {
    return traced("ApplyStateBlock", real->ApplyStateBlock(Token), "Token", Token);
}

HRESULT TraceDevice::CaptureStateBlock(DWORD Token) {
    return traced("CaptureStateBlock", real->CaptureStateBlock(Token), "Token", Token);
}

HRESULT TraceDevice::DeleteStateBlock(DWORD Token) {
    return traced("DeleteStateBlock", real->DeleteStateBlock(Token), "Token", Token);
}

HRESULT TraceDevice::CreateStateBlock(D3DSTATEBLOCKTYPE Type, DWORD* pToken) {
    return traced("CreateStateBlock", real->CreateStateBlock(Type, pToken), "Type", Type, "pToken",
                  pToken);
}

HRESULT TraceDevice::SetClipStatus(CONST D3DCLIPSTATUS8* pClipStatus) {
    return traced("SetClipStatus", real->SetClipStatus(pClipStatus), "pClipStatus", pClipStatus);
}

HRESULT TraceDevice::GetClipStatus(D3DCLIPSTATUS8* pClipStatus) {
    return traced("GetClipStatus", real->GetClipStatus(pClipStatus), "pClipStatus", pClipStatus);
}

HRESULT TraceDevice::GetTexture(DWORD Stage, IDirect3DBaseTexture8** ppTexture) {
    HRESULT result = real->GetTexture(Stage, ppTexture);
    resources->wrapOut(result, ppTexture);
    return traced("GetTexture", result, "Stage", Stage, "ppTexture", ppTexture);
}

HRESULT TraceDevice::SetTexture(DWORD Stage, IDirect3DBaseTexture8* pTexture) {
    return traced("SetTexture", real->SetTexture(Stage, resources->unwrap(pTexture)), "Stage",
                  Stage, "pTexture", pTexture);
}

HRESULT TraceDevice::GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type,
                                          DWORD* pValue) {
    return traced("GetTextureStageState", real->GetTextureStageState(Stage, Type, pValue), "Stage",
                  Stage, "Type", Type, "pValue", pValue);
}

HRESULT TraceDevice::ValidateDevice(DWORD* pNumPasses) {
    return traced("ValidateDevice", real->ValidateDevice(pNumPasses), "pNumPasses", pNumPasses);
}

HRESULT TraceDevice::GetInfo(DWORD DevInfoID, void* pDevInfoStruct, DWORD DevInfoStructSize) {
    return traced("GetInfo", real->GetInfo(DevInfoID, pDevInfoStruct, DevInfoStructSize),
                  "DevInfoID", DevInfoID, "pDevInfoStruct", pDevInfoStruct, "DevInfoStructSize",
                  DevInfoStructSize);
}

HRESULT TraceDevice::SetPaletteEntries(UINT PaletteNumber, CONST struct tagPALETTEENTRY* pEntries) {
    return traced("SetPaletteEntries", real->SetPaletteEntries(PaletteNumber, pEntries),
                  "PaletteNumber", PaletteNumber, "pEntries", pEntries);
}

HRESULT TraceDevice::GetPaletteEntries(UINT PaletteNumber, struct tagPALETTEENTRY* pEntries) {
    return traced("GetPaletteEntries", real->GetPaletteEntries(PaletteNumber, pEntries),
                  "PaletteNumber", PaletteNumber, "pEntries", pEntries);
}

HRESULT TraceDevice::SetCurrentTexturePalette(UINT PaletteNumber) {
    return traced("SetCurrentTexturePalette", real->SetCurrentTexturePalette(PaletteNumber),
                  "PaletteNumber", PaletteNumber);
}

HRESULT TraceDevice::GetCurrentTexturePalette(UINT* PaletteNumber) {
    return traced("GetCurrentTexturePalette", real->GetCurrentTexturePalette(PaletteNumber),
                  "PaletteNumber", PaletteNumber);
}

HRESULT TraceDevice::DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex,
                                   UINT PrimitiveCount) {
    return traced("DrawPrimitive", real->DrawPrimitive(PrimitiveType, StartVertex, PrimitiveCount),
                  "PrimitiveType", PrimitiveType, "StartVertex", StartVertex, "PrimitiveCount",
                  PrimitiveCount);
}

HRESULT TraceDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT minIndex,
                                          UINT NumVertices, UINT startIndex, UINT primCount) {
    return traced(
        "DrawIndexedPrimitive",
        real->DrawIndexedPrimitive(PrimitiveType, minIndex, NumVertices, startIndex, primCount),
        "PrimitiveType", PrimitiveType, "minIndex", minIndex, "NumVertices", NumVertices,
        "startIndex", startIndex, "primCount", primCount);
}

HRESULT TraceDevice::ProcessVertices(UINT SrcStartIndex, UINT DestIndex, UINT VertexCount,
                                     IDirect3DVertexBuffer8* pDestBuffer, DWORD Flags) {
    return traced("ProcessVertices",
                  real->ProcessVertices(SrcStartIndex, DestIndex, VertexCount,
                                        resources->unwrap(pDestBuffer), Flags),
                  "SrcStartIndex", SrcStartIndex, "DestIndex", DestIndex, "VertexCount",
                  VertexCount, "pDestBuffer", pDestBuffer, "Flags", Flags);
}

HRESULT TraceDevice::CreateVertexShader(CONST DWORD* pDeclaration, CONST DWORD* pFunction,
                                        DWORD* pHandle, DWORD Usage) {
    return traced("CreateVertexShader",
                  real->CreateVertexShader(pDeclaration, pFunction, pHandle, Usage), "pDeclaration",
                  pDeclaration, "pFunction", pFunction, "pHandle", pHandle, "Usage",
                  trace::Usage{Usage});
}

HRESULT TraceDevice::GetVertexShaderDeclaration(DWORD Handle, void* pData, DWORD* pSizeOfData) {
    return traced("GetVertexShaderDeclaration",
                  real->GetVertexShaderDeclaration(Handle, pData, pSizeOfData), "Handle", Handle,
                  "pData", pData, "pSizeOfData", pSizeOfData);
}

HRESULT TraceDevice::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData,
                                     UINT Stride) {
    return traced("SetStreamSource",
                  real->SetStreamSource(StreamNumber, resources->unwrap(pStreamData), Stride),
                  "StreamNumber", StreamNumber, "pStreamData", pStreamData, "Stride", Stride);
}

HRESULT TraceDevice::GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8** ppStreamData,
                                     UINT* pStride) {
    HRESULT result = real->GetStreamSource(StreamNumber, ppStreamData, pStride);
    resources->wrapOut(result, ppStreamData);
    return traced("GetStreamSource", result, "StreamNumber", StreamNumber, "ppStreamData",
                  ppStreamData, "pStride", pStride);
}

HRESULT TraceDevice::SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT BaseVertexIndex) {
    return traced("SetIndices", real->SetIndices(resources->unwrap(pIndexData), BaseVertexIndex),
                  "pIndexData", pIndexData, "BaseVertexIndex", BaseVertexIndex);
}

HRESULT TraceDevice::GetIndices(IDirect3DIndexBuffer8** ppIndexData, UINT* pBaseVertexIndex) {
    HRESULT result = real->GetIndices(ppIndexData, pBaseVertexIndex);
    resources->wrapOut(result, ppIndexData);
    return traced("GetIndices", result, "ppIndexData", ppIndexData, "pBaseVertexIndex",
                  pBaseVertexIndex);
}

HRESULT TraceDevice::CreatePixelShader(CONST DWORD* pFunction, DWORD* pHandle) {
    return traced("CreatePixelShader", real->CreatePixelShader(pFunction, pHandle), "pFunction",
                  pFunction, "pHandle", pHandle);
}

HRESULT TraceDevice::SetPixelShader(DWORD Handle) {
    return traced("SetPixelShader", real->SetPixelShader(Handle), "Handle", Handle);
}

HRESULT TraceDevice::DrawRectPatch(UINT Handle, CONST float* pNumSegs,
                                   CONST D3DRECTPATCH_INFO* pRectPatchInfo) {
    return traced("DrawRectPatch", real->DrawRectPatch(Handle, pNumSegs, pRectPatchInfo), "Handle",
                  Handle, "pNumSegs", pNumSegs, "pRectPatchInfo", pRectPatchInfo);
}

HRESULT TraceDevice::DrawTriPatch(UINT Handle, CONST float* pNumSegs,
                                  CONST D3DTRIPATCH_INFO* pTriPatchInfo) {
    return traced("DrawTriPatch", real->DrawTriPatch(Handle, pNumSegs, pTriPatchInfo), "Handle",
                  Handle, "pNumSegs", pNumSegs, "pTriPatchInfo", pTriPatchInfo);
}

HRESULT TraceDevice::DeletePatch(UINT Handle) {
    return traced("DeletePatch", real->DeletePatch(Handle), "Handle", Handle);
}

// The calls vertex and pixel shaders share, traced alike but for the kind in their names.
#define TRACE_CONSTANT_CALL(Name, Data)                                                            \
    HRESULT TraceDevice::Name(DWORD Register, Data pConstantData, DWORD ConstantCount) {           \
        return traced(#Name, real->Name(Register, pConstantData, ConstantCount), "Register",       \
                      Register, "pConstantData", pConstantData, "ConstantCount", ConstantCount);   \
    }
#define TRACE_SHADER_CALLS(Kind)                                                                   \
    HRESULT TraceDevice::Get##Kind##Shader(DWORD* pHandle) {                                       \
        return traced("Get" #Kind "Shader", real->Get##Kind##Shader(pHandle), "pHandle", pHandle); \
    }                                                                                              \
    HRESULT TraceDevice::Delete##Kind##Shader(DWORD Handle) {                                      \
        return traced("Delete" #Kind "Shader", real->Delete##Kind##Shader(Handle), "Handle",       \
                      Handle);                                                                     \
    }                                                                                              \
    TRACE_CONSTANT_CALL(Set##Kind##ShaderConstant, CONST void*)                                    \
    TRACE_CONSTANT_CALL(Get##Kind##ShaderConstant, void*)                                          \
    HRESULT TraceDevice::Get##Kind##ShaderFunction(DWORD Handle, void* pData,                      \
                                                   DWORD* pSizeOfData) {                           \
        return traced("Get" #Kind "ShaderFunction",                                                \
                      real->Get##Kind##ShaderFunction(Handle, pData, pSizeOfData), "Handle",       \
                      Handle, "pData", pData, "pSizeOfData", pSizeOfData);                         \
    }

TRACE_SHADER_CALLS(Vertex)
TRACE_SHADER_CALLS(Pixel)
