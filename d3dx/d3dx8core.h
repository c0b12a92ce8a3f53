// The library's general-purpose buffer object.
#pragma once

#include <d3d8.h>

struct ID3DXBuffer : public IUnknown {
    virtual LPVOID GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

inline constexpr GUID IID_ID3DXBuffer = {
    0x932e6a7e, 0xc68e, 0x45dd, {0xa7, 0xbf, 0x53, 0xd1, 0x9c, 0x86, 0xdb, 0x1f}};

// A zero-filled buffer of numBytes bytes with one reference.
HRESULT D3DXCreateBuffer(DWORD numBytes, LPD3DXBUFFER* ppBuffer);
