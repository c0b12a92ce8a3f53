// An index buffer of 16- or 32-bit indices, kept like a vertex buffer.
#pragma once

#include "DeviceResource.h"
#include "BufferStorage.h"

#include <cstdint>

class IndexBuffer : public DeviceResource<IDirect3DIndexBuffer8> {
public:
    IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    bool create();

    HRESULT QueryInterface(REFIID riid, void** object) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) override;

    GLuint glBuffer() const { return storage.glBuffer(); }
    UINT size() const { return storage.size(); }
    UINT indexSize() const { return format == D3DFMT_INDEX32 ? 4 : 2; }
    const uint8_t* data() const { return storage.data(); }

private:
    friend class ComObject<IDirect3DIndexBuffer8>;
    ~IndexBuffer() override;

    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    BufferStorage storage;
};
