// The tracing device: forwards every call to the real device and writes it to the trace.
// The resources it hands out are tracing wrappers too (TraceResources.h).
#pragma once

#include <Direct3D8Methods.h>
#include "TraceCall.h"

#include <memory>

class TraceDirect3D8;
class TraceResources;

class TraceDevice : public IDirect3DDevice8 {
public:
    TraceDevice(IDirect3DDevice8* real, TraceDirect3D8* parent,
                std::shared_ptr<TraceWriter> writer);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    IDIRECT3DDEVICE8_METHODS(DECLARE_D3D8_OVERRIDE)

private:
    ~TraceDevice() override;

    // Writes one call of this device and hands its result back.
    template <class... Arguments>
    HRESULT traced(const char* method, HRESULT result, const Arguments&... arguments) {
        return trace::hresult(*writer, "IDirect3DDevice8", method, this, result, arguments...);
    }

    IDirect3DDevice8* real;
    TraceDirect3D8* parent;
    std::shared_ptr<TraceWriter> writer;
    std::shared_ptr<TraceResources> resources;
    DWORD vertexFormat = 0; // decodes the vertices of draws from memory
};
