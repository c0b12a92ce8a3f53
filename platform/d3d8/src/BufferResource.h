// What vertex and index buffers share: their usage and pool, and bytes kept in system memory
// with a GL copy (BufferStorage).
#pragma once

#include "BufferStorage.h"
#include "DeviceResource.h"

#include <cstdint>
#include <type_traits>

template <class Interface> class BufferResource : public DeviceResource<Interface> {
public:
    BufferResource(Device* device, UINT length, DWORD usage, D3DPOOL pool)
        : DeviceResource<Interface>(device), usage(usage), pool(pool),
          storage(length, (usage & D3DUSAGE_DYNAMIC) != 0) {}
    bool create() { return storage.create(std::is_same_v<Interface, IDirect3DIndexBuffer8>); }

    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) override {
        return storage.lock(OffsetToLock, SizeToLock, ppbData, Flags);
    }
    HRESULT Unlock() override { return storage.unlock(); }

    GLuint glBuffer() const { return storage.glBuffer(); }
    UINT size() const { return storage.size(); }
    const uint8_t* data() const { return storage.data(); }

protected:
    ~BufferResource() override { storage.destroy(this->device); }

    // Fills the parts every buffer's description has.
    template <class Description> void describe(Description* desc, D3DRESOURCETYPE type) const {
        desc->Type = type;
        desc->Usage = usage;
        desc->Pool = pool;
        desc->Size = storage.size();
    }

    DWORD usage;
    D3DPOOL pool;
    BufferStorage storage;
};
