// Lets a watcher outside the program follow the device: the start of each scene
// and each completed Present, with the device itself (not a tracing wrapper) so
// that reading the picture back leaves no trace. Installed by the process entry.
#pragma once

#include <cstdint>

#include "d3d8.h"

class PresentObserver {
public:
    virtual void sceneBegun(IDirect3DDevice8* /*device*/) {}
    // After the presented picture became the front buffer; shaderCompiles counts
    // the device's shader programs compiled so far.
    virtual void presented(IDirect3DDevice8* /*device*/, uint64_t /*shaderCompiles*/) {}

    static inline PresentObserver* active = nullptr;

protected:
    ~PresentObserver() = default;
};
