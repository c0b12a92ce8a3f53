#include "TraceDirect3D8.h"

#include "TraceDevice.h"

IDirect3D8* createTraceDirect3D8(IDirect3D8* direct3d, const std::string& path, UINT sdkVersion) {
    auto writer = std::make_shared<TraceWriter>(path);
    if (!writer->isOpen()) {
        return nullptr;
    }
    auto* traced = new TraceDirect3D8(direct3d, writer);
    // The call that made it: a function, not a method of an object.
    writer->begin("Direct3DCreate8", nullptr);
    writer->arg("SDKVersion", TraceWriter::number(sdkVersion));
    writer->endValue(0);
    return traced;
}

TraceDirect3D8::TraceDirect3D8(IDirect3D8* inner, std::shared_ptr<TraceWriter> trace)
    : real(inner), writer(std::move(trace)) {
    writer->object(this, "direct3d");
}

HRESULT TraceDirect3D8::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (riid == IID_IDirect3D8) {
        AddRef();
        *object = static_cast<IDirect3D8*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

// The wrapper counts its own references: devices hold one each, like the real object.
ULONG TraceDirect3D8::AddRef() {
    return value("AddRef", ++references);
}

ULONG TraceDirect3D8::Release() {
    ULONG count = value("Release", references > 0 ? --references : 0);
    if (count == 0) {
        real->Release();
        delete this;
    }
    return count;
}

void TraceDirect3D8::drop() {
    if (references > 0 && --references == 0) {
        real->Release();
        delete this;
    }
}

HRESULT TraceDirect3D8::CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                                     DWORD BehaviorFlags,
                                     D3DPRESENT_PARAMETERS* pPresentationParameters,
                                     IDirect3DDevice8** ppReturnedDeviceInterface) {
    IDirect3DDevice8* inner = nullptr;
    HRESULT result =
        real->CreateDevice(Adapter, DeviceType, hFocusWindow, BehaviorFlags,
                           pPresentationParameters, ppReturnedDeviceInterface ? &inner : nullptr);
    if (ppReturnedDeviceInterface != nullptr) {
        *ppReturnedDeviceInterface =
            SUCCEEDED(result) ? new TraceDevice(inner, this, writer) : nullptr;
    }
    return traced("CreateDevice", result, "Adapter", Adapter, "DeviceType", DeviceType,
                  "hFocusWindow", hFocusWindow, "BehaviorFlags", trace::CreateFlags{BehaviorFlags},
                  "pPresentationParameters", pPresentationParameters, "ppReturnedDeviceInterface",
                  ppReturnedDeviceInterface);
}

HRESULT TraceDirect3D8::RegisterSoftwareDevice(void* pInitializeFunction) {
    return traced("RegisterSoftwareDevice", real->RegisterSoftwareDevice(pInitializeFunction),
                  "pInitializeFunction", pInitializeFunction);
}

UINT TraceDirect3D8::GetAdapterCount() {
    return value("GetAdapterCount", real->GetAdapterCount());
}

HRESULT TraceDirect3D8::GetAdapterIdentifier(UINT Adapter, DWORD Flags,
                                             D3DADAPTER_IDENTIFIER8* pIdentifier) {
    return traced("GetAdapterIdentifier", real->GetAdapterIdentifier(Adapter, Flags, pIdentifier),
                  "Adapter", Adapter, "Flags", Flags, "pIdentifier", pIdentifier);
}

UINT TraceDirect3D8::GetAdapterModeCount(UINT Adapter) {
    return value("GetAdapterModeCount", real->GetAdapterModeCount(Adapter), "Adapter", Adapter);
}

HRESULT TraceDirect3D8::EnumAdapterModes(UINT Adapter, UINT Mode, D3DDISPLAYMODE* pMode) {
    return traced("EnumAdapterModes", real->EnumAdapterModes(Adapter, Mode, pMode), "Adapter",
                  Adapter, "Mode", Mode, "pMode", pMode);
}

HRESULT TraceDirect3D8::GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) {
    return traced("GetAdapterDisplayMode", real->GetAdapterDisplayMode(Adapter, pMode), "Adapter",
                  Adapter, "pMode", pMode);
}

HRESULT TraceDirect3D8::CheckDeviceType(UINT Adapter, D3DDEVTYPE CheckType, D3DFORMAT DisplayFormat,
                                        D3DFORMAT BackBufferFormat, BOOL Windowed) {
    return traced(
        "CheckDeviceType",
        real->CheckDeviceType(Adapter, CheckType, DisplayFormat, BackBufferFormat, Windowed),
        "Adapter", Adapter, "CheckType", CheckType, "DisplayFormat", DisplayFormat,
        "BackBufferFormat", BackBufferFormat, "Windowed", Windowed);
}

HRESULT TraceDirect3D8::CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType,
                                          D3DFORMAT AdapterFormat, DWORD Usage,
                                          D3DRESOURCETYPE RType, D3DFORMAT CheckFormat) {
    return traced(
        "CheckDeviceFormat",
        real->CheckDeviceFormat(Adapter, DeviceType, AdapterFormat, Usage, RType, CheckFormat),
        "Adapter", Adapter, "DeviceType", DeviceType, "AdapterFormat", AdapterFormat, "Usage",
        trace::Usage{Usage}, "RType", RType, "CheckFormat", CheckFormat);
}

HRESULT TraceDirect3D8::CheckDeviceMultiSampleType(UINT Adapter, D3DDEVTYPE DeviceType,
                                                   D3DFORMAT SurfaceFormat, BOOL Windowed,
                                                   D3DMULTISAMPLE_TYPE MultiSampleType) {
    return traced("CheckDeviceMultiSampleType",
                  real->CheckDeviceMultiSampleType(Adapter, DeviceType, SurfaceFormat, Windowed,
                                                   MultiSampleType),
                  "Adapter", Adapter, "DeviceType", DeviceType, "SurfaceFormat", SurfaceFormat,
                  "Windowed", Windowed, "MultiSampleType", MultiSampleType);
}

HRESULT TraceDirect3D8::CheckDepthStencilMatch(UINT Adapter, D3DDEVTYPE DeviceType,
                                               D3DFORMAT AdapterFormat,
                                               D3DFORMAT RenderTargetFormat,
                                               D3DFORMAT DepthStencilFormat) {
    return traced("CheckDepthStencilMatch",
                  real->CheckDepthStencilMatch(Adapter, DeviceType, AdapterFormat,
                                               RenderTargetFormat, DepthStencilFormat),
                  "Adapter", Adapter, "DeviceType", DeviceType, "AdapterFormat", AdapterFormat,
                  "RenderTargetFormat", RenderTargetFormat, "DepthStencilFormat",
                  DepthStencilFormat);
}

HRESULT TraceDirect3D8::GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS8* pCaps) {
    return traced("GetDeviceCaps", real->GetDeviceCaps(Adapter, DeviceType, pCaps), "Adapter",
                  Adapter, "DeviceType", DeviceType, "pCaps", pCaps);
}

HMONITOR TraceDirect3D8::GetAdapterMonitor(UINT Adapter) {
    HMONITOR result = real->GetAdapterMonitor(Adapter);
    trace::none(*writer, "IDirect3D8", "GetAdapterMonitor", this, "Adapter", Adapter);
    return result;
}
