// A vertex buffer: its bytes live in system memory (locks never wait for the GPU) and in a
// GL buffer refreshed at each unlock.
#pragma once

#include "BufferResource.h"

class VertexBuffer : public BufferResource<IDirect3DVertexBuffer8> {
public:
    VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* pDesc) override;

    // The box (minimum x, y, z, then maximum x, y, z) around the position of every whole
    // vertex at stride, kept until the next lock. False while locked or when a position is
    // not finite: the caller then knows nothing about where the vertices are.
    bool positionBounds(UINT stride, float box[6]);

private:
    friend class ComObject<IDirect3DVertexBuffer8>;
    ~VertexBuffer() override = default;

    DWORD fvf;
    UINT boundsStride = 0; // 0: no box kept
    bool boundsFinite = false;
    float bounds[6] = {};
};
