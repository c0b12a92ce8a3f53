// An index buffer of 16- or 32-bit indices, kept like a vertex buffer.
#pragma once

#include "BufferResource.h"

class IndexBuffer : public BufferResource<IDirect3DIndexBuffer8> {
public:
    IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) override;

    UINT indexSize() const { return format == D3DFMT_INDEX32 ? 4 : 2; }

private:
    friend class ComObject<IDirect3DIndexBuffer8>;
    ~IndexBuffer() override = default;

    D3DFORMAT format;
};
