// The tracing Direct3D object: forwards every call to the real one and writes it to the
// trace; the devices it creates are tracing devices (TraceDevice.h).
#pragma once

#include <Direct3D8Methods.h>
#include "Direct3D8Trace.h"
#include "TraceCall.h"

#include <memory>

class TraceDirect3D8 : public IDirect3D8 {
public:
    TraceDirect3D8(IDirect3D8* real, std::shared_ptr<TraceWriter> writer);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    // References the tracing devices hold, kept out of the trace: the program made no call.
    void hold() { ++references; }
    void drop();
    IDIRECT3D8_METHODS(DECLARE_D3D8_OVERRIDE)

private:
    ~TraceDirect3D8() override = default;

    template <class... Arguments>
    HRESULT traced(const char* method, HRESULT result, const Arguments&... arguments) {
        return trace::hresult(*writer, "IDirect3D8", method, this, result, arguments...);
    }
    template <class Value, class... Arguments>
    Value value(const char* method, Value result, const Arguments&... arguments) {
        return trace::value(*writer, "IDirect3D8", method, this, result, arguments...);
    }

    IDirect3D8* real;
    std::shared_ptr<TraceWriter> writer;
    ULONG references = 1;
};
