#include "IndexBuffer.h"

IndexBuffer::IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : DeviceResource(device), usage(usage), format(format), pool(pool),
      storage(length, (usage & D3DUSAGE_DYNAMIC) != 0) {}

bool IndexBuffer::create() {
    return storage.create();
}

IndexBuffer::~IndexBuffer() {
    storage.destroy(device);
}

HRESULT IndexBuffer::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IDirect3DIndexBuffer8 || riid == IID_IDirect3DResource8) {
        AddRef();
        *object = static_cast<IDirect3DIndexBuffer8*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT IndexBuffer::Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) {
    return storage.lock(OffsetToLock, SizeToLock, ppbData, Flags);
}

HRESULT IndexBuffer::Unlock() {
    return storage.unlock();
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* pDesc) {
    if (pDesc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    pDesc->Format = format;
    pDesc->Type = D3DRTYPE_INDEXBUFFER;
    pDesc->Usage = usage;
    pDesc->Pool = pool;
    pDesc->Size = storage.size();
    return D3D_OK;
}
