// A block of memory handed out as ID3DXBuffer (materials, adjacency, remaps).
#pragma once

#include <cstdint>
#include <memory>

#include <d3dx8core.h>

class Buffer : public ID3DXBuffer {
public:
    // Null when the memory cannot be had.
    static Buffer* create(DWORD size);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    LPVOID GetBufferPointer() override;
    DWORD GetBufferSize() override;

private:
    Buffer(std::unique_ptr<uint8_t[]> data, DWORD size);
    ~Buffer() override = default;

    ULONG references = 1;
    std::unique_ptr<uint8_t[]> bytes;
    DWORD size;
};
