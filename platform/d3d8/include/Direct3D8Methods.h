// The methods of IDirect3D8 and IDirect3DDevice8 past IUnknown, in the published order, as
// lists of X(result, name, (parameters)): the classes that implement the whole interface
// (the device, the call trace's wrappers, the tests' null device) declare them from here,
// so a method is written out once beside the interface itself.
#pragma once

#include <d3d8.h>

// clang-format off
#define IDIRECT3D8_METHODS(X) \
    X(HRESULT, RegisterSoftwareDevice, (void* pInitializeFunction)) \
    X(UINT, GetAdapterCount, ()) \
    X(HRESULT, GetAdapterIdentifier, (UINT Adapter, DWORD Flags, D3DADAPTER_IDENTIFIER8* pIdentifier)) \
    X(UINT, GetAdapterModeCount, (UINT Adapter)) \
    X(HRESULT, EnumAdapterModes, (UINT Adapter, UINT Mode, D3DDISPLAYMODE* pMode)) \
    X(HRESULT, GetAdapterDisplayMode, (UINT Adapter, D3DDISPLAYMODE* pMode)) \
    X(HRESULT, CheckDeviceType, (UINT Adapter, D3DDEVTYPE CheckType, D3DFORMAT DisplayFormat, D3DFORMAT BackBufferFormat, BOOL Windowed)) \
    X(HRESULT, CheckDeviceFormat, (UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat, DWORD Usage, D3DRESOURCETYPE RType, D3DFORMAT CheckFormat)) \
    X(HRESULT, CheckDeviceMultiSampleType, (UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT SurfaceFormat, BOOL Windowed, D3DMULTISAMPLE_TYPE MultiSampleType)) \
    X(HRESULT, CheckDepthStencilMatch, (UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat, D3DFORMAT RenderTargetFormat, D3DFORMAT DepthStencilFormat)) \
    X(HRESULT, GetDeviceCaps, (UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS8* pCaps)) \
    X(HMONITOR, GetAdapterMonitor, (UINT Adapter)) \
    X(HRESULT, CreateDevice, (UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD BehaviorFlags, D3DPRESENT_PARAMETERS* pPresentationParameters, IDirect3DDevice8** ppReturnedDeviceInterface))

#define IDIRECT3DDEVICE8_METHODS(X) \
    X(HRESULT, TestCooperativeLevel, ()) \
    X(UINT, GetAvailableTextureMem, ()) \
    X(HRESULT, ResourceManagerDiscardBytes, (DWORD Bytes)) \
    X(HRESULT, GetDirect3D, (IDirect3D8** ppD3D8)) \
    X(HRESULT, GetDeviceCaps, (D3DCAPS8* pCaps)) \
    X(HRESULT, GetDisplayMode, (D3DDISPLAYMODE* pMode)) \
    X(HRESULT, GetCreationParameters, (D3DDEVICE_CREATION_PARAMETERS* pParameters)) \
    X(HRESULT, SetCursorProperties, (UINT XHotSpot, UINT YHotSpot, IDirect3DSurface8* pCursorBitmap)) \
    X(void, SetCursorPosition, (int X, int Y, DWORD Flags)) \
    X(BOOL, ShowCursor, (BOOL bShow)) \
    X(HRESULT, CreateAdditionalSwapChain, (D3DPRESENT_PARAMETERS* pPresentationParameters, IDirect3DSwapChain8** pSwapChain)) \
    X(HRESULT, Reset, (D3DPRESENT_PARAMETERS* pPresentationParameters)) \
    X(HRESULT, Present, (CONST RECT* pSourceRect, CONST RECT* pDestRect, HWND hDestWindowOverride, CONST RGNDATA* pDirtyRegion)) \
    X(HRESULT, GetBackBuffer, (UINT BackBuffer, D3DBACKBUFFER_TYPE Type, IDirect3DSurface8** ppBackBuffer)) \
    X(HRESULT, GetRasterStatus, (D3DRASTER_STATUS* pRasterStatus)) \
    X(void, SetGammaRamp, (DWORD Flags, CONST D3DGAMMARAMP* pRamp)) \
    X(void, GetGammaRamp, (D3DGAMMARAMP* pRamp)) \
    X(HRESULT, CreateTexture, (UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture8** ppTexture)) \
    X(HRESULT, CreateVolumeTexture, (UINT Width, UINT Height, UINT Depth, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DVolumeTexture8** ppVolumeTexture)) \
    X(HRESULT, CreateCubeTexture, (UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DCubeTexture8** ppCubeTexture)) \
    X(HRESULT, CreateVertexBuffer, (UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool, IDirect3DVertexBuffer8** ppVertexBuffer)) \
    X(HRESULT, CreateIndexBuffer, (UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DIndexBuffer8** ppIndexBuffer)) \
    X(HRESULT, CreateRenderTarget, (UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample, BOOL Lockable, IDirect3DSurface8** ppSurface)) \
    X(HRESULT, CreateDepthStencilSurface, (UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample, IDirect3DSurface8** ppSurface)) \
    X(HRESULT, CreateImageSurface, (UINT Width, UINT Height, D3DFORMAT Format, IDirect3DSurface8** ppSurface)) \
    X(HRESULT, CopyRects, (IDirect3DSurface8* pSourceSurface, CONST RECT* pSourceRectsArray, UINT cRects, IDirect3DSurface8* pDestinationSurface, CONST POINT* pDestPointsArray)) \
    X(HRESULT, UpdateTexture, (IDirect3DBaseTexture8* pSourceTexture, IDirect3DBaseTexture8* pDestinationTexture)) \
    X(HRESULT, GetFrontBuffer, (IDirect3DSurface8* pDestSurface)) \
    X(HRESULT, SetRenderTarget, (IDirect3DSurface8* pRenderTarget, IDirect3DSurface8* pNewZStencil)) \
    X(HRESULT, GetRenderTarget, (IDirect3DSurface8** ppRenderTarget)) \
    X(HRESULT, GetDepthStencilSurface, (IDirect3DSurface8** ppZStencilSurface)) \
    X(HRESULT, BeginScene, ()) \
    X(HRESULT, EndScene, ()) \
    X(HRESULT, Clear, (DWORD Count, CONST D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil)) \
    X(HRESULT, SetTransform, (D3DTRANSFORMSTATETYPE State, CONST D3DMATRIX* pMatrix)) \
    X(HRESULT, GetTransform, (D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix)) \
    X(HRESULT, MultiplyTransform, (D3DTRANSFORMSTATETYPE State, CONST D3DMATRIX* pMatrix)) \
    X(HRESULT, SetViewport, (CONST D3DVIEWPORT8* pViewport)) \
    X(HRESULT, GetViewport, (D3DVIEWPORT8* pViewport)) \
    X(HRESULT, SetMaterial, (CONST D3DMATERIAL8* pMaterial)) \
    X(HRESULT, GetMaterial, (D3DMATERIAL8* pMaterial)) \
    X(HRESULT, SetLight, (DWORD Index, CONST D3DLIGHT8* pLight)) \
    X(HRESULT, GetLight, (DWORD Index, D3DLIGHT8* pLight)) \
    X(HRESULT, LightEnable, (DWORD Index, BOOL Enable)) \
    X(HRESULT, GetLightEnable, (DWORD Index, BOOL* pEnable)) \
    X(HRESULT, SetClipPlane, (DWORD Index, CONST float* pPlane)) \
    X(HRESULT, GetClipPlane, (DWORD Index, float* pPlane)) \
    X(HRESULT, SetRenderState, (D3DRENDERSTATETYPE State, DWORD Value)) \
    X(HRESULT, GetRenderState, (D3DRENDERSTATETYPE State, DWORD* pValue)) \
    X(HRESULT, BeginStateBlock, ()) \
    X(HRESULT, EndStateBlock, (DWORD* pToken)) \
    X(HRESULT, ApplyStateBlock, (DWORD Token)) \
    X(HRESULT, CaptureStateBlock, (DWORD Token)) \
    X(HRESULT, DeleteStateBlock, (DWORD Token)) \
    X(HRESULT, CreateStateBlock, (D3DSTATEBLOCKTYPE Type, DWORD* pToken)) \
    X(HRESULT, SetClipStatus, (CONST D3DCLIPSTATUS8* pClipStatus)) \
    X(HRESULT, GetClipStatus, (D3DCLIPSTATUS8* pClipStatus)) \
    X(HRESULT, GetTexture, (DWORD Stage, IDirect3DBaseTexture8** ppTexture)) \
    X(HRESULT, SetTexture, (DWORD Stage, IDirect3DBaseTexture8* pTexture)) \
    X(HRESULT, GetTextureStageState, (DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue)) \
    X(HRESULT, SetTextureStageState, (DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value)) \
    X(HRESULT, ValidateDevice, (DWORD* pNumPasses)) \
    X(HRESULT, GetInfo, (DWORD DevInfoID, void* pDevInfoStruct, DWORD DevInfoStructSize)) \
    X(HRESULT, SetPaletteEntries, (UINT PaletteNumber, CONST struct tagPALETTEENTRY* pEntries)) \
    X(HRESULT, GetPaletteEntries, (UINT PaletteNumber, struct tagPALETTEENTRY* pEntries)) \
    X(HRESULT, SetCurrentTexturePalette, (UINT PaletteNumber)) \
    X(HRESULT, GetCurrentTexturePalette, (UINT* PaletteNumber)) \
    X(HRESULT, DrawPrimitive, (D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount)) \
    X(HRESULT, DrawIndexedPrimitive, (D3DPRIMITIVETYPE PrimitiveType, UINT minIndex, UINT NumVertices, UINT startIndex, UINT primCount)) \
    X(HRESULT, DrawPrimitiveUP, (D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount, CONST void* pVertexStreamZeroData, UINT VertexStreamZeroStride)) \
    X(HRESULT, DrawIndexedPrimitiveUP, (D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertexIndices, UINT PrimitiveCount, CONST void* pIndexData, D3DFORMAT IndexDataFormat, CONST void* pVertexStreamZeroData, UINT VertexStreamZeroStride)) \
    X(HRESULT, ProcessVertices, (UINT SrcStartIndex, UINT DestIndex, UINT VertexCount, IDirect3DVertexBuffer8* pDestBuffer, DWORD Flags)) \
    X(HRESULT, CreateVertexShader, (CONST DWORD* pDeclaration, CONST DWORD* pFunction, DWORD* pHandle, DWORD Usage)) \
    X(HRESULT, SetVertexShader, (DWORD Handle)) \
    X(HRESULT, GetVertexShader, (DWORD* pHandle)) \
    X(HRESULT, DeleteVertexShader, (DWORD Handle)) \
    X(HRESULT, SetVertexShaderConstant, (DWORD Register, CONST void* pConstantData, DWORD ConstantCount)) \
    X(HRESULT, GetVertexShaderConstant, (DWORD Register, void* pConstantData, DWORD ConstantCount)) \
    X(HRESULT, GetVertexShaderDeclaration, (DWORD Handle, void* pData, DWORD* pSizeOfData)) \
    X(HRESULT, GetVertexShaderFunction, (DWORD Handle, void* pData, DWORD* pSizeOfData)) \
    X(HRESULT, SetStreamSource, (UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData, UINT Stride)) \
    X(HRESULT, GetStreamSource, (UINT StreamNumber, IDirect3DVertexBuffer8** ppStreamData, UINT* pStride)) \
    X(HRESULT, SetIndices, (IDirect3DIndexBuffer8* pIndexData, UINT BaseVertexIndex)) \
    X(HRESULT, GetIndices, (IDirect3DIndexBuffer8** ppIndexData, UINT* pBaseVertexIndex)) \
    X(HRESULT, CreatePixelShader, (CONST DWORD* pFunction, DWORD* pHandle)) \
    X(HRESULT, SetPixelShader, (DWORD Handle)) \
    X(HRESULT, GetPixelShader, (DWORD* pHandle)) \
    X(HRESULT, DeletePixelShader, (DWORD Handle)) \
    X(HRESULT, SetPixelShaderConstant, (DWORD Register, CONST void* pConstantData, DWORD ConstantCount)) \
    X(HRESULT, GetPixelShaderConstant, (DWORD Register, void* pConstantData, DWORD ConstantCount)) \
    X(HRESULT, GetPixelShaderFunction, (DWORD Handle, void* pData, DWORD* pSizeOfData)) \
    X(HRESULT, DrawRectPatch, (UINT Handle, CONST float* pNumSegs, CONST D3DRECTPATCH_INFO* pRectPatchInfo)) \
    X(HRESULT, DrawTriPatch, (UINT Handle, CONST float* pNumSegs, CONST D3DTRIPATCH_INFO* pTriPatchInfo)) \
    X(HRESULT, DeletePatch, (UINT Handle))
// clang-format on

// Declares one method of a list as an override, for a class that implements them all.
#define DECLARE_D3D8_OVERRIDE(Result, Name, Parameters) Result Name Parameters override;
