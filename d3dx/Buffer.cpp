#include "d3dx/Buffer.h"

#include <new>

namespace {
constexpr GUID IID_UNKNOWN = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
}

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
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_ID3DXBuffer || riid == IID_UNKNOWN) {
        AddRef();
        *object = static_cast<ID3DXBuffer*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Buffer::AddRef() {
    return ++references;
}

ULONG Buffer::Release() {
    ULONG count = --references;
    if (count == 0) {
        delete this;
    }
    return count;
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
