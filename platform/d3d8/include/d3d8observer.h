// Lets a watcher outside the program follow the device: the start of each scene
// and each completed Present, with the device itself (not a tracing wrapper) so
// that reading the picture back leaves no trace. Installed by the process entry.
#pragma once

#include <cstddef>
#include <cstdint>

#include <d3d8.h>

class PresentObserver {
public:
    virtual void sceneBegun(IDirect3DDevice8* /*device*/) {}
    // After the presented picture became the front buffer; shaderCompiles counts
    // the device's shader programs compiled so far.
    virtual void presented(IDirect3DDevice8* /*device*/, uint64_t /*shaderCompiles*/) {}
    // Asked right after presented(): true to have the presented picture read back.
    // The device reads it without waiting for it and hands it to pictureRead a
    // frame later (at the latest when it is released), in the order presented.
    virtual bool wantsPicture() { return false; }
    // A picture asked for: rows top first, B, G, R, A bytes (alpha undefined), or
    // null pixels when it could not be read.
    virtual void pictureRead(const uint8_t* /*bgra*/, uint32_t /*width*/, uint32_t /*height*/,
                             size_t /*pitch*/) {}

    static inline PresentObserver* active = nullptr;

protected:
    ~PresentObserver() = default;
};
