#include "BufferStorage.h"

#include "Device.h"
#include "GlContext.h"

BufferStorage::BufferStorage(UINT length, bool isDynamic) : bytes(length, 0), dynamic(isDynamic) {}

bool BufferStorage::create(bool indices) {
    glGenBuffers(1, &buffer);
    if (indices) {
        glDeclareIndexBuffer(buffer);
    }
    // Uploads go through the copy target so no binding the draws rely on changes.
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer);
    glBufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(bytes.size()), bytes.data(),
                 dynamic ? GL_STREAM_DRAW : GL_STATIC_DRAW);
    return glCheckErrors("buffer storage") == 0;
}

void BufferStorage::destroy(Device* device) {
    if (buffer != 0) {
        GlContext::ensureCurrent();
        device->forgetBuffer(buffer);
        glDeleteBuffers(1, &buffer);
        buffer = 0;
    }
}

HRESULT BufferStorage::lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
    if (data == nullptr || locked || offset > bytes.size()) {
        return D3DERR_INVALIDCALL;
    }
    UINT available = static_cast<UINT>(bytes.size()) - offset;
    // Size 0 locks the whole buffer from the offset.
    UINT length = size == 0 ? available : size;
    if (length > available) {
        return D3DERR_INVALIDCALL;
    }
    locked = true;
    discard = (flags & D3DLOCK_DISCARD) != 0 && dynamic;
    lockOffset = offset;
    lockSize = length;
    *data = bytes.data() + offset;
    return D3D_OK;
}

HRESULT BufferStorage::unlock() {
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
    GL_CHECK("buffer unlock");
    return D3D_OK;
}
