// The tracing Direct3D object: forwards every call to the real one and writes it to the
// trace; the devices it creates are tracing devices (TraceDevice.h).
#pragma once

#include "Direct3D8Trace.h"
#include "TraceCall.h"

#include <memory>

class TraceDirect3D8 : public IDirect3D8 {
public:
    TraceDirect3D8(IDirect3D8* real, std::shared_ptr<TraceWriter> writer);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    // References the tracing devices hold, kept out of the trace: the program made no call.
    void hold() { ++references; }
    void drop();
    HRESULT RegisterSoftwareDevice(void* pInitializeFunction) override;
    UINT GetAdapterCount() override;
    HRESULT GetAdapterIdentifier(UINT Adapter, DWORD Flags,
                                 D3DADAPTER_IDENTIFIER8* pIdentifier) override;
    UINT GetAdapterModeCount(UINT Adapter) override;
    HRESULT EnumAdapterModes(UINT Adapter, UINT Mode, D3DDISPLAYMODE* pMode) override;
    HRESULT GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) override;
    HRESULT CheckDeviceType(UINT Adapter, D3DDEVTYPE CheckType, D3DFORMAT DisplayFormat,
                            D3DFORMAT BackBufferFormat, BOOL Windowed) override;
    HRESULT CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                              DWORD Usage, D3DRESOURCETYPE RType, D3DFORMAT CheckFormat) override;
    HRESULT CheckDeviceMultiSampleType(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT SurfaceFormat,
                                       BOOL Windowed, D3DMULTISAMPLE_TYPE MultiSampleType) override;
    HRESULT CheckDepthStencilMatch(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                                   D3DFORMAT RenderTargetFormat,
                                   D3DFORMAT DepthStencilFormat) override;
    HRESULT GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS8* pCaps) override;
    HMONITOR GetAdapterMonitor(UINT Adapter) override;
    HRESULT CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                         DWORD BehaviorFlags, D3DPRESENT_PARAMETERS* pPresentationParameters,
                         IDirect3DDevice8** ppReturnedDeviceInterface) override;

private:
    ~TraceDirect3D8() override = default;

    template <class... Arguments>
    HRESULT traced(const char* method, HRESULT result, const Arguments&... arguments) {
        return trace::hresult(*writer, "IDirect3D8", method, this, result, arguments...);
    }
    template <class Value, class... Arguments>
    Value value(const char* method, Value result, const Arguments&... arguments) {
        return trace::value(*writer, "IDirect3D8", method, this, result, arguments...);
    }

    IDirect3D8* real;
    std::shared_ptr<TraceWriter> writer;
    ULONG references = 1;
};
