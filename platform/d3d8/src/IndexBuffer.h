// An index buffer of 16- or 32-bit indices, kept like a vertex buffer.
#pragma once

#include "DeviceResource.h"
#include "GlCheck.h"

#include <cstdint>
#include <vector>

class IndexBuffer : public DeviceResource<IDirect3DIndexBuffer8> {
public:
    IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    bool create();

    HRESULT QueryInterface(REFIID riid, void** object) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) override;

    GLuint glBuffer() const { return buffer; }
    UINT size() const { return static_cast<UINT>(bytes.size()); }
    UINT indexSize() const { return format == D3DFMT_INDEX32 ? 4 : 2; }
    const uint8_t* data() const { return bytes.data(); }

private:
    friend class ComObject<IDirect3DIndexBuffer8>;
    ~IndexBuffer() override;

    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    std::vector<uint8_t> bytes;
    GLuint buffer = 0;
    bool locked = false;
    bool discard = false;
    UINT lockOffset = 0;
    UINT lockSize = 0;
};
