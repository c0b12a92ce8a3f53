#include "VertexBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

VertexBuffer::VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : BufferResource(device, length, usage, pool), fvf(fvf) {}

HRESULT VertexBuffer::QueryInterface(REFIID riid, void** object) {
    return answerInterface(riid, object, {IID_IDirect3DVertexBuffer8, IID_IDirect3DResource8});
}

HRESULT VertexBuffer::Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) {
    boundsStride = 0;
    return BufferResource::Lock(OffsetToLock, SizeToLock, ppbData, Flags);
}

HRESULT VertexBuffer::Unlock() {
    boundsStride = 0;
    return BufferResource::Unlock();
}

bool VertexBuffer::positionBounds(UINT stride, float box[6]) {
    if (storage.isLocked() || stride < 12 || storage.size() < 12) {
        return false;
    }
    if (boundsStride != stride) {
        const uint8_t* bytes = storage.data();
        const size_t count = (storage.size() - 12) / stride + 1;
        float low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
        boundsFinite = true;
        for (size_t i = 0; i < count; ++i) {
            float p[3];
            std::memcpy(p, bytes + i * stride, sizeof(p));
            for (int axis = 0; axis < 3; ++axis) {
                if (!std::isfinite(p[axis])) {
                    boundsFinite = false;
                }
                low[axis] = std::min(low[axis], p[axis]);
                high[axis] = std::max(high[axis], p[axis]);
            }
        }
        std::copy(low, low + 3, bounds);
        std::copy(high, high + 3, bounds + 3);
        boundsStride = stride;
    }
    std::copy(bounds, bounds + 6, box);
    return boundsFinite;
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* pDesc) {
    if (pDesc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    describe(pDesc, D3DRTYPE_VERTEXBUFFER);
    pDesc->Format = D3DFMT_VERTEXDATA;
    pDesc->FVF = fvf;
    return D3D_OK;
}
