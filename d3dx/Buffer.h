// A block of memory handed out as ID3DXBuffer (materials, adjacency, remaps).
#pragma once

#include <ComObject.h>
#include <cstdint>
#include <memory>

#include <d3dx8core.h>

class Buffer : public ComObject<ID3DXBuffer> {
public:
    // Null when the memory cannot be had.
    static Buffer* create(DWORD size);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    LPVOID GetBufferPointer() override;
    DWORD GetBufferSize() override;

private:
    friend class ComObject<ID3DXBuffer>;
    Buffer(std::unique_ptr<uint8_t[]> data, DWORD size);
    ~Buffer() override = default;

    std::unique_ptr<uint8_t[]> bytes;
    DWORD size;
};
