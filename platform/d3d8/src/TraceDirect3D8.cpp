#include "TraceDirect3D8.h"

#include "TraceDevice.h"

IDirect3D8* createTraceDirect3D8(IDirect3D8* direct3d, const std::string& path, UINT sdkVersion) {
    auto writer = std::make_shared<TraceWriter>(path);
    if (!writer->isOpen()) {
        return nullptr;
    }
    auto* traced = new TraceDirect3D8(direct3d, writer);
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
    ++references;
    writer->begin("IDirect3D8::AddRef", this);
    writer->endValue(references);
    return references;
}

ULONG TraceDirect3D8::Release() {
    ULONG count = references > 0 ? --references : 0;
    writer->begin("IDirect3D8::Release", this);
    writer->endValue(count);
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
    writer->begin("IDirect3D8::CreateDevice", this);
    writer->arg("Adapter", TraceWriter::number(Adapter));
    writer->arg("DeviceType", TraceWriter::deviceType(DeviceType));
    writer->arg("hFocusWindow", TraceWriter::pointer(hFocusWindow));
    writer->arg("BehaviorFlags", TraceWriter::createFlags(BehaviorFlags));
    writer->arg("pPresentationParameters", TraceWriter::presentParameters(pPresentationParameters));
    writer->arg("ppReturnedDeviceInterface",
                ppReturnedDeviceInterface && *ppReturnedDeviceInterface
                    ? "&" + writer->object(*ppReturnedDeviceInterface, "device")
                    : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceDirect3D8::RegisterSoftwareDevice(void* pInitializeFunction) {
    HRESULT result = real->RegisterSoftwareDevice(pInitializeFunction);
    writer->begin("IDirect3D8::RegisterSoftwareDevice", this);
    writer->arg("pInitializeFunction", TraceWriter::pointer(pInitializeFunction));
    writer->end(result);
    return result;
}

UINT TraceDirect3D8::GetAdapterCount() {
    UINT result = real->GetAdapterCount();
    writer->begin("IDirect3D8::GetAdapterCount", this);
    writer->endValue(static_cast<unsigned long long>(result));
    return result;
}

HRESULT TraceDirect3D8::GetAdapterIdentifier(UINT Adapter, DWORD Flags,
                                             D3DADAPTER_IDENTIFIER8* pIdentifier) {
    HRESULT result = real->GetAdapterIdentifier(Adapter, Flags, pIdentifier);
    writer->begin("IDirect3D8::GetAdapterIdentifier", this);
    writer->arg("Adapter", TraceWriter::number(Adapter));
    writer->arg("Flags", TraceWriter::number(Flags));
    writer->arg("pIdentifier", TraceWriter::pointer(pIdentifier));
    writer->end(result);
    return result;
}

UINT TraceDirect3D8::GetAdapterModeCount(UINT Adapter) {
    UINT result = real->GetAdapterModeCount(Adapter);
    writer->begin("IDirect3D8::GetAdapterModeCount", this);
    writer->arg("Adapter", TraceWriter::number(Adapter));
    writer->endValue(static_cast<unsigned long long>(result));
    return result;
}

HRESULT TraceDirect3D8::EnumAdapterModes(UINT Adapter, UINT Mode, D3DDISPLAYMODE* pMode) {
    HRESULT result = real->EnumAdapterModes(Adapter, Mode, pMode);
    writer->begin("IDirect3D8::EnumAdapterModes", this);
    writer->arg("Adapter", TraceWriter::number(Adapter));
    writer->arg("Mode", TraceWriter::number(Mode));
    writer->arg("pMode", TraceWriter::displayMode(pMode));
    writer->end(result);
    return result;
}

HRESULT TraceDirect3D8::GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) {
    HRESULT result = real->GetAdapterDisplayMode(Adapter, pMode);
    writer->begin("IDirect3D8::GetAdapterDisplayMode", this);
    writer->arg("Adapter", TraceWriter::number(Adapter));
    writer->arg("pMode", TraceWriter::displayMode(pMode));
    writer->end(result);
    return result;
}

HRESULT TraceDirect3D8::CheckDeviceType(UINT Adapter, D3DDEVTYPE CheckType, D3DFORMAT DisplayFormat,
                                        D3DFORMAT BackBufferFormat, BOOL Windowed) {
    HRESULT result =
        real->CheckDeviceType(Adapter, CheckType, DisplayFormat, BackBufferFormat, Windowed);
    writer->begin("IDirect3D8::CheckDeviceType", this);
    writer->arg("Adapter", TraceWriter::number(Adapter));
    writer->arg("CheckType", TraceWriter::deviceType(CheckType));
    writer->arg("DisplayFormat", TraceWriter::format(DisplayFormat));
    writer->arg("BackBufferFormat", TraceWriter::format(BackBufferFormat));
    writer->arg("Windowed", TraceWriter::boolean(Windowed));
    writer->end(result);
    return result;
}

HRESULT TraceDirect3D8::CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType,
                                          D3DFORMAT AdapterFormat, DWORD Usage,
                                          D3DRESOURCETYPE RType, D3DFORMAT CheckFormat) {
    HRESULT result =
        real->CheckDeviceFormat(Adapter, DeviceType, AdapterFormat, Usage, RType, CheckFormat);
    writer->begin("IDirect3D8::CheckDeviceFormat", this);
    writer->arg("Adapter", TraceWriter::number(Adapter));
    writer->arg("DeviceType", TraceWriter::deviceType(DeviceType));
    writer->arg("AdapterFormat", TraceWriter::format(AdapterFormat));
    writer->arg("Usage", TraceWriter::usage(Usage));
    writer->arg("RType", TraceWriter::resourceType(RType));
    writer->arg("CheckFormat", TraceWriter::format(CheckFormat));
    writer->end(result);
    return result;
}

HRESULT TraceDirect3D8::CheckDeviceMultiSampleType(UINT Adapter, D3DDEVTYPE DeviceType,
                                                   D3DFORMAT SurfaceFormat, BOOL Windowed,
                                                   D3DMULTISAMPLE_TYPE MultiSampleType) {
    HRESULT result = real->CheckDeviceMultiSampleType(Adapter, DeviceType, SurfaceFormat, Windowed,
                                                      MultiSampleType);
    writer->begin("IDirect3D8::CheckDeviceMultiSampleType", this);
    writer->arg("Adapter", TraceWriter::number(Adapter));
    writer->arg("DeviceType", TraceWriter::deviceType(DeviceType));
    writer->arg("SurfaceFormat", TraceWriter::format(SurfaceFormat));
    writer->arg("Windowed", TraceWriter::boolean(Windowed));
    writer->arg("MultiSampleType", TraceWriter::multiSample(MultiSampleType));
    writer->end(result);
    return result;
}

HRESULT TraceDirect3D8::CheckDepthStencilMatch(UINT Adapter, D3DDEVTYPE DeviceType,
                                               D3DFORMAT AdapterFormat,
                                               D3DFORMAT RenderTargetFormat,
                                               D3DFORMAT DepthStencilFormat) {
    HRESULT result = real->CheckDepthStencilMatch(Adapter, DeviceType, AdapterFormat,
                                                  RenderTargetFormat, DepthStencilFormat);
    writer->begin("IDirect3D8::CheckDepthStencilMatch", this);
    writer->arg("Adapter", TraceWriter::number(Adapter));
    writer->arg("DeviceType", TraceWriter::deviceType(DeviceType));
    writer->arg("AdapterFormat", TraceWriter::format(AdapterFormat));
    writer->arg("RenderTargetFormat", TraceWriter::format(RenderTargetFormat));
    writer->arg("DepthStencilFormat", TraceWriter::format(DepthStencilFormat));
    writer->end(result);
    return result;
}

HRESULT TraceDirect3D8::GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS8* pCaps) {
    HRESULT result = real->GetDeviceCaps(Adapter, DeviceType, pCaps);
    writer->begin("IDirect3D8::GetDeviceCaps", this);
    writer->arg("Adapter", TraceWriter::number(Adapter));
    writer->arg("DeviceType", TraceWriter::deviceType(DeviceType));
    writer->arg("pCaps", TraceWriter::pointer(pCaps));
    writer->end(result);
    return result;
}

HMONITOR TraceDirect3D8::GetAdapterMonitor(UINT Adapter) {
    HMONITOR result = real->GetAdapterMonitor(Adapter);
    writer->begin("IDirect3D8::GetAdapterMonitor", this);
    writer->arg("Adapter", TraceWriter::number(Adapter));
    writer->end();
    return result;
}
