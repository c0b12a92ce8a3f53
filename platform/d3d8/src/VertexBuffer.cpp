#include "VertexBuffer.h"

#include "Device.h"

VertexBuffer::VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : DeviceResource(device), usage(usage), fvf(fvf), pool(pool),
      storage(length, (usage & D3DUSAGE_DYNAMIC) != 0) {}

bool VertexBuffer::create() {
    return storage.create();
}

VertexBuffer::~VertexBuffer() {
    storage.destroy(device);
}

HRESULT VertexBuffer::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IDirect3DVertexBuffer8 || riid == IID_IDirect3DResource8) {
        AddRef();
        *object = static_cast<IDirect3DVertexBuffer8*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT VertexBuffer::Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) {
    return storage.lock(OffsetToLock, SizeToLock, ppbData, Flags);
}

HRESULT VertexBuffer::Unlock() {
    return storage.unlock();
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* pDesc) {
    if (pDesc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    pDesc->Format = D3DFMT_VERTEXDATA;
    pDesc->Type = D3DRTYPE_VERTEXBUFFER;
    pDesc->Usage = usage;
    pDesc->Pool = pool;
    pDesc->Size = storage.size();
    pDesc->FVF = fvf;
    return D3D_OK;
}
