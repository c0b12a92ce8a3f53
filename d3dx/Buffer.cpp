#include "d3dx/Buffer.h"

#include <new>

Buffer* Buffer::create(DWORD size) {
    // Zero-filled; at least one byte so the pointer is never null.
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[size > 0 ? size : 1]());
    if (!data) {
        return nullptr;
    }
    return new (std::nothrow) Buffer(std::move(data), size);
}

Buffer::Buffer(std::unique_ptr<uint8_t[]> data, DWORD length)
    : bytes(std::move(data)), size(length) {}

HRESULT Buffer::QueryInterface(REFIID riid, void** object) {
    return answerInterface(riid, object, {IID_ID3DXBuffer, IID_IUnknown});
}

LPVOID Buffer::GetBufferPointer() {
    return bytes.get();
}

DWORD Buffer::GetBufferSize() {
    return size;
}

HRESULT D3DXCreateBuffer(DWORD numBytes, LPD3DXBUFFER* ppBuffer) {
    if (ppBuffer == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    Buffer* buffer = Buffer::create(numBytes);
    if (buffer == nullptr) {
        return E_OUTOFMEMORY;
    }
    *ppBuffer = buffer;
    return S_OK;
}
