#include "VertexBuffer.h"

#include "Device.h"
#include "GlContext.h"

VertexBuffer::VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : DeviceResource(device), usage(usage), fvf(fvf), pool(pool), bytes(length, 0) {}

bool VertexBuffer::create() {
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer);
    glBufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(bytes.size()), bytes.data(),
                 (usage & D3DUSAGE_DYNAMIC) ? GL_STREAM_DRAW : GL_STATIC_DRAW);
    return glCheckErrors("vertex buffer storage") == 0;
}

VertexBuffer::~VertexBuffer() {
    GlContext::ensureCurrent();
    if (buffer != 0) {
        device->forgetBuffer(buffer);
        glDeleteBuffers(1, &buffer);
    }
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
    if (ppbData == nullptr || locked || OffsetToLock > bytes.size()) {
        return D3DERR_INVALIDCALL;
    }
    UINT available = static_cast<UINT>(bytes.size()) - OffsetToLock;
    // Size 0 locks the whole buffer from the offset.
    UINT size = SizeToLock == 0 ? available : SizeToLock;
    if (size > available) {
        return D3DERR_INVALIDCALL;
    }
    locked = true;
    discard = (Flags & D3DLOCK_DISCARD) != 0 && (usage & D3DUSAGE_DYNAMIC) != 0;
    lockOffset = OffsetToLock;
    lockSize = size;
    *ppbData = bytes.data() + OffsetToLock;
    return D3D_OK;
}

HRESULT VertexBuffer::Unlock() {
    if (!locked) {
        return D3DERR_INVALIDCALL;
    }
    locked = false;
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer);
    if (discard) {
        // Fresh storage: draws still reading the old contents are not waited for.
        glBufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(bytes.size()), bytes.data(),
                     GL_STREAM_DRAW);
    } else if (lockSize > 0) {
        glBufferSubData(GL_COPY_WRITE_BUFFER, lockOffset, lockSize, bytes.data() + lockOffset);
    }
    GL_CHECK("vertex buffer unlock");
    return D3D_OK;
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* pDesc) {
    if (pDesc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    pDesc->Format = D3DFMT_VERTEXDATA;
    pDesc->Type = D3DRTYPE_VERTEXBUFFER;
    pDesc->Usage = usage;
    pDesc->Pool = pool;
    pDesc->Size = static_cast<UINT>(bytes.size());
    pDesc->FVF = fvf;
    return D3D_OK;
}
