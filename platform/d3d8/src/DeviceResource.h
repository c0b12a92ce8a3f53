// The parts every resource shares: its device, private data, priority.
#pragma once

#include <ComObject.h>
#include <d3d8.h>

class Device;

// Keeps the device alive (an internal reference) while the resource exists, so a program
// may release its device before its textures, as teardown orders often do.
void deviceAddInternalRef(Device* device);
void deviceReleaseInternalRef(Device* device);
IDirect3DDevice8* devicePublicInterface(Device* device);

template <class Interface> class DeviceResource : public ComObject<Interface> {
public:
    explicit DeviceResource(Device* owner) : device(owner) { deviceAddInternalRef(owner); }

    HRESULT GetDevice(IDirect3DDevice8** ppDevice) override {
        if (ppDevice == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *ppDevice = devicePublicInterface(device);
        (*ppDevice)->AddRef();
        return D3D_OK;
    }
    HRESULT SetPrivateData(REFGUID, CONST void*, DWORD, DWORD) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT GetPrivateData(REFGUID, void*, DWORD*) override { return D3DERR_NOTFOUND; }
    HRESULT FreePrivateData(REFGUID) override { return D3DERR_NOTFOUND; }
    DWORD SetPriority(DWORD priorityNew) override {
        DWORD old = priority;
        priority = priorityNew;
        return old;
    }
    DWORD GetPriority() override { return priority; }
    void PreLoad() override {}

    Device* owner() const { return device; }

protected:
    ~DeviceResource() override { deviceReleaseInternalRef(device); }

    Device* device;
    DWORD priority = 0;
};
