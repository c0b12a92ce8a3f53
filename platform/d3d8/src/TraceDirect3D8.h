// The call trace: wrappers around the Direct3D object and its devices that write every
// call to a text file, one line each, numbered by frame.
#pragma once

#include "TraceWriter.h"

#include <memory>
#include <string>

// Wraps direct3d (taking over its reference); null when the file cannot be opened.
IDirect3D8* createTraceDirect3D8(IDirect3D8* direct3d, const std::string& path, UINT sdkVersion);

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

    IDirect3D8* real;
    std::shared_ptr<TraceWriter> writer;
    ULONG references = 1;
};
