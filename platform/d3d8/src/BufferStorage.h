// The storage behind vertex and index buffers: bytes in system memory (so locks never wait
// for the GPU) mirrored in a GL buffer refreshed at each unlock.
#pragma once

#include "GlCheck.h"
#include <d3d8types.h>

#include <cstdint>
#include <vector>

class Device;

class BufferStorage {
public:
    BufferStorage(UINT length, bool dynamic);
    // indices: the buffer holds indices (WebGL draws indices from no other kind of buffer).
    bool create(bool indices);
    // Deletes the GL buffer; the device forgets its bindings of it first.
    void destroy(Device* device);

    HRESULT lock(UINT offset, UINT size, BYTE** data, DWORD flags);
    HRESULT unlock();

    GLuint glBuffer() const { return buffer; }
    UINT size() const { return static_cast<UINT>(bytes.size()); }
    const uint8_t* data() const { return bytes.data(); }
    bool isLocked() const { return locked; }

private:
    std::vector<uint8_t> bytes;
    bool dynamic;
    GLuint buffer = 0;
    bool locked = false;
    bool discard = false;
    UINT lockOffset = 0;
    UINT lockSize = 0;
};
