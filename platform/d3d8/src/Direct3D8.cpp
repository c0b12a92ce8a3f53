#include "Direct3D8.h"

#include "Device.h"
#include "Formats.h"
#include "GlContext.h"
#include "PlatformOptions.h"
#include "Direct3D8Trace.h"

#include <SDL.h>

#include <cstring>

IDirect3D8* WINAPI Direct3DCreate8(UINT SDKVersion) {
    // Version 8.0 and 8.1 of the SDK; anything else was built for another runtime.
    if (SDKVersion != 120 && SDKVersion != 220) {
        return nullptr;
    }
    if (GlContext::get() == nullptr) {
        return nullptr;
    }
    IDirect3D8* direct3d = new Direct3D8();
    const std::string& tracePath = PlatformOptions::get().tracePath;
    if (!tracePath.empty()) {
        IDirect3D8* traced = createTraceDirect3D8(direct3d, tracePath, SDKVersion);
        if (traced != nullptr) {
            return traced;
        }
    }
    return direct3d;
}

HRESULT Direct3D8::QueryInterface(REFIID riid, void** object) {
    return answerInterface(riid, object, {IID_IDirect3D8});
}

UINT Direct3D8::GetAdapterCount() {
    return 1;
}

HRESULT Direct3D8::RegisterSoftwareDevice(void*) {
    return D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D8::GetAdapterIdentifier(UINT Adapter, DWORD, D3DADAPTER_IDENTIFIER8* pIdentifier) {
    if (Adapter != 0 || pIdentifier == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    std::memset(pIdentifier, 0, sizeof(*pIdentifier));
    std::strncpy(pIdentifier->Driver, "OpenGL", MAX_DEVICE_IDENTIFIER_STRING - 1);
    std::strncpy(pIdentifier->Description, GlContext::get()->renderer(),
                 MAX_DEVICE_IDENTIFIER_STRING - 1);
    return D3D_OK;
}

UINT Direct3D8::GetAdapterModeCount(UINT Adapter) {
    if (Adapter != 0) {
        return 0;
    }
    int count = SDL_GetNumDisplayModes(0);
    return count > 0 ? static_cast<UINT>(count) : 1;
}

HRESULT Direct3D8::EnumAdapterModes(UINT Adapter, UINT Mode, D3DDISPLAYMODE* pMode) {
    if (Adapter != 0 || pMode == nullptr || Mode >= GetAdapterModeCount(Adapter)) {
        return D3DERR_INVALIDCALL;
    }
    SDL_DisplayMode mode{};
    if (SDL_GetDisplayMode(0, static_cast<int>(Mode), &mode) != 0) {
        return GetAdapterDisplayMode(Adapter, pMode);
    }
    pMode->Width = static_cast<UINT>(mode.w);
    pMode->Height = static_cast<UINT>(mode.h);
    pMode->RefreshRate = static_cast<UINT>(mode.refresh_rate);
    pMode->Format = D3DFMT_X8R8G8B8;
    return D3D_OK;
}

HRESULT Direct3D8::GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) {
    if (Adapter != 0 || pMode == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 || mode.h <= 0) {
        // A display that tells nothing (some offscreen drivers): the program's own size.
        mode.w = 800;
        mode.h = 600;
        mode.refresh_rate = 60;
    }
    pMode->Width = static_cast<UINT>(mode.w);
    pMode->Height = static_cast<UINT>(mode.h);
    pMode->RefreshRate = static_cast<UINT>(mode.refresh_rate);
    // Every desktop this runs on is shown as 32-bit colour.
    pMode->Format = D3DFMT_X8R8G8B8;
    return D3D_OK;
}

HRESULT Direct3D8::CheckDeviceType(UINT Adapter, D3DDEVTYPE CheckType, D3DFORMAT DisplayFormat,
                                   D3DFORMAT BackBufferFormat, BOOL) {
    if (Adapter != 0 || !validDeviceType(CheckType)) {
        return D3DERR_INVALIDCALL;
    }
    bool display = DisplayFormat == D3DFMT_X8R8G8B8;
    bool back = BackBufferFormat == D3DFMT_X8R8G8B8 || BackBufferFormat == D3DFMT_A8R8G8B8;
    return display && back ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D8::CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT, DWORD Usage,
                                     D3DRESOURCETYPE RType, D3DFORMAT CheckFormat) {
    if (Adapter != 0 || !validDeviceType(DeviceType)) {
        return D3DERR_INVALIDCALL;
    }
    if (Usage & D3DUSAGE_DEPTHSTENCIL) {
        return isDepthFormat(CheckFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    if (Usage & D3DUSAGE_RENDERTARGET) {
        return CheckFormat == D3DFMT_X8R8G8B8 || CheckFormat == D3DFMT_A8R8G8B8
                   ? D3D_OK
                   : D3DERR_NOTAVAILABLE;
    }
    if (RType != D3DRTYPE_TEXTURE && RType != D3DRTYPE_SURFACE) {
        return D3DERR_NOTAVAILABLE;
    }
    // 24-bit colour is a display format only, never a texture.
    return isColorFormat(CheckFormat) && CheckFormat != D3DFMT_R8G8B8 ? D3D_OK
                                                                      : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D8::CheckDeviceMultiSampleType(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT, BOOL,
                                              D3DMULTISAMPLE_TYPE MultiSampleType) {
    if (Adapter != 0 || !validDeviceType(DeviceType)) {
        return D3DERR_INVALIDCALL;
    }
    return MultiSampleType == D3DMULTISAMPLE_NONE ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D8::CheckDepthStencilMatch(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT, D3DFORMAT,
                                          D3DFORMAT DepthStencilFormat) {
    if (Adapter != 0 || !validDeviceType(DeviceType)) {
        return D3DERR_INVALIDCALL;
    }
    return isDepthFormat(DepthStencilFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D8::GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS8* pCaps) {
    if (Adapter != 0 || pCaps == nullptr || !validDeviceType(DeviceType)) {
        return D3DERR_INVALIDCALL;
    }
    fillCaps(DeviceType, pCaps);
    return D3D_OK;
}

HMONITOR Direct3D8::GetAdapterMonitor(UINT Adapter) {
    // One display; a non-null token for it.
    return Adapter == 0 ? reinterpret_cast<HMONITOR>(1) : nullptr;
}

HRESULT Direct3D8::CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                                DWORD BehaviorFlags, D3DPRESENT_PARAMETERS* pPresentationParameters,
                                IDirect3DDevice8** ppReturnedDeviceInterface) {
    if (ppReturnedDeviceInterface == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppReturnedDeviceInterface = nullptr;
    if (Adapter != 0 || pPresentationParameters == nullptr || !validDeviceType(DeviceType)) {
        return D3DERR_INVALIDCALL;
    }
    // Exactly one of the vertex-processing flags.
    DWORD processing =
        BehaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                         D3DCREATE_MIXED_VERTEXPROCESSING);
    if (processing == 0 || (processing & (processing - 1)) != 0) {
        return D3DERR_INVALIDCALL;
    }
    auto* device = new Device(this, DeviceType, hFocusWindow, BehaviorFlags);
    HRESULT result = device->initialise(pPresentationParameters);
    if (FAILED(result)) {
        device->Release();
        return result;
    }
    *ppReturnedDeviceInterface = device;
    return D3D_OK;
}

void Direct3D8::fillCaps(D3DDEVTYPE type, D3DCAPS8* caps) {
    std::memset(caps, 0, sizeof(*caps));
    caps->DeviceType = type;
    caps->AdapterOrdinal = 0;
    caps->Caps2 = D3DCAPS2_CANRENDERWINDOWED | D3DCAPS2_DYNAMICTEXTURES;
    caps->Caps3 = D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD;
    caps->PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
    caps->DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                    D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_TEXTUREVIDEOMEMORY |
                    D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP |
                    D3DDEVCAPS_DRAWPRIMITIVES2 | D3DDEVCAPS_DRAWPRIMITIVES2EX |
                    D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION;
    caps->PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW |
                              D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_COLORWRITEENABLE |
                              D3DPMISCCAPS_TSSARGTEMP | D3DPMISCCAPS_BLENDOP;
    caps->RasterCaps = D3DPRASTERCAPS_DITHER | D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_MIPMAPLODBIAS |
                       D3DPRASTERCAPS_COLORPERSPECTIVE;
    caps->ZCmpCaps = caps->AlphaCmpCaps = 0xff;
    caps->SrcBlendCaps = caps->DestBlendCaps = 0x1fff;
    caps->ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                      D3DPSHADECAPS_ALPHAGOURAUDBLEND;
    caps->TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA |
                        D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_PROJECTED;
    caps->TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                              D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR |
                              D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    caps->TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR |
                               D3DPTADDRESSCAPS_CLAMP | D3DPTADDRESSCAPS_BORDER |
                               D3DPTADDRESSCAPS_INDEPENDENTUV;
    caps->LineCaps =
        D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND | D3DLINECAPS_ALPHACMP;
    caps->MaxTextureWidth = caps->MaxTextureHeight = 4096;
    caps->MaxTextureRepeat = 8192;
    caps->MaxTextureAspectRatio = 4096;
    caps->MaxAnisotropy = 1;
    caps->MaxVertexW = 1e10f;
    caps->GuardBandLeft = caps->GuardBandTop = -8192.0f;
    caps->GuardBandRight = caps->GuardBandBottom = 8192.0f;
    caps->StencilCaps = 0xff;
    caps->FVFCaps = MAX_TEXCOORDS | D3DFVFCAPS_PSIZE;
    caps->TextureOpCaps = 0x3ffffff & ~(D3DTEXOPCAPS_BUMPENVMAP | D3DTEXOPCAPS_BUMPENVMAPLUMINANCE);
    caps->MaxTextureBlendStages = MAX_STAGES;
    caps->MaxSimultaneousTextures = MAX_STAGES;
    caps->VertexProcessingCaps = D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                                 D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER;
    caps->MaxActiveLights = MAX_LIGHTS;
    caps->MaxPointSize = MAX_POINT_SIZE;
    caps->MaxPrimitiveCount = 0xfffff;
    caps->MaxVertexIndex = 0xffffff;
    caps->MaxStreams = 1;
    caps->MaxStreamStride = 256;
}
