#include "IndexBuffer.h"

IndexBuffer::IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : BufferResource(device, length, usage, pool), format(format) {}

HRESULT IndexBuffer::QueryInterface(REFIID riid, void** object) {
    return answerInterface(riid, object, {IID_IDirect3DIndexBuffer8, IID_IDirect3DResource8});
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* pDesc) {
    if (pDesc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    describe(pDesc, D3DRTYPE_INDEXBUFFER);
    pDesc->Format = format;
    return D3D_OK;
}
