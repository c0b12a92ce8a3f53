// One traced call written whole: "Interface::Method(this = name, Argument = value, ...)"
// and its result, from alternating argument names and values. How a value is written
// follows from its C++ type; values whose type says too little (a DWORD may be a count,
// a colour or flags) come wrapped in one of the kinds below, and anything written in its
// own way is passed already formatted as a string.
#pragma once

#include "TraceWriter.h"

#include <string>
#include <type_traits>

namespace trace {

// Kinds of DWORD and int that the type alone cannot tell apart.
struct Usage {
    DWORD value;
};
struct Fvf {
    DWORD value;
};
struct LockFlags {
    DWORD value;
};
struct ClearFlags {
    DWORD value;
};
struct CreateFlags {
    DWORD value;
};
struct Color {
    D3DCOLOR value;
};
struct Signed {
    int64_t value; // an int that is a number, not a BOOL
};

// The name an object of each interface gets in the trace ("surface3").
template <class Interface> constexpr const char* objectKind = nullptr;
template <> inline constexpr const char* objectKind<IDirect3D8> = "direct3d";
template <> inline constexpr const char* objectKind<IDirect3DDevice8> = "device";
template <> inline constexpr const char* objectKind<IDirect3DSwapChain8> = "swapchain";
template <> inline constexpr const char* objectKind<IDirect3DSurface8> = "surface";
template <> inline constexpr const char* objectKind<IDirect3DBaseTexture8> = "texture";
template <> inline constexpr const char* objectKind<IDirect3DTexture8> = "texture";
template <> inline constexpr const char* objectKind<IDirect3DVolumeTexture8> = "volumetexture";
template <> inline constexpr const char* objectKind<IDirect3DCubeTexture8> = "cubetexture";
template <> inline constexpr const char* objectKind<IDirect3DVertexBuffer8> = "vertexbuffer";
template <> inline constexpr const char* objectKind<IDirect3DIndexBuffer8> = "indexbuffer";

template <class Interface>
concept TracedObject = objectKind<Interface>
!= nullptr;

// What formatting a value may need besides the value: the names of objects, and whether
// the call succeeded (an object handed out by a failed call is written as NULL).
struct CallContext {
    TraceWriter& writer;
    bool succeeded;
};

// A value behind an out pointer: "&value", or NULL without a pointer.
template <class Format> std::string pointee(const void* pointer, Format format) {
    return pointer != nullptr ? "&" + format() : std::string("NULL");
}

inline std::string format(CallContext&, const std::string& value) {
    return value;
}
inline std::string format(CallContext&, const char* value) {
    return value;
}
inline std::string format(CallContext&, DWORD value) {
    return TraceWriter::number(value);
}
inline std::string format(CallContext&, BOOL value) {
    return TraceWriter::boolean(value);
}
inline std::string format(CallContext&, float value) {
    return TraceWriter::real(value);
}
inline std::string format(CallContext&, Usage value) {
    return TraceWriter::usage(value.value);
}
inline std::string format(CallContext&, Fvf value) {
    return TraceWriter::fvf(value.value);
}
inline std::string format(CallContext&, Color value) {
    return TraceWriter::color(value.value);
}
inline std::string format(CallContext&, Signed value) {
    return TraceWriter::signedNumber(value.value);
}
inline std::string format(CallContext&, LockFlags value) {
    return TraceWriter::lockFlags(value.value);
}
inline std::string format(CallContext&, ClearFlags value) {
    return TraceWriter::clearFlags(value.value);
}
inline std::string format(CallContext&, CreateFlags value) {
    return TraceWriter::createFlags(value.value);
}

// Enumerations by their published names; one without its own overload does not compile
// rather than come out as a number or a BOOL.
template <class Enumeration>
requires std::is_enum_v<Enumeration> std::string format(CallContext&, Enumeration)
= delete;
inline std::string format(CallContext&, D3DRENDERSTATETYPE value) {
    return TraceWriter::renderState(value);
}
inline std::string format(CallContext&, D3DTEXTURESTAGESTATETYPE value) {
    return TraceWriter::stageState(value);
}
inline std::string format(CallContext&, D3DTRANSFORMSTATETYPE value) {
    return TraceWriter::transform(value);
}
inline std::string format(CallContext&, D3DPRIMITIVETYPE value) {
    return TraceWriter::primitive(value);
}
inline std::string format(CallContext&, D3DFORMAT value) {
    return TraceWriter::format(value);
}
inline std::string format(CallContext&, D3DPOOL value) {
    return TraceWriter::pool(value);
}
inline std::string format(CallContext&, D3DDEVTYPE value) {
    return TraceWriter::deviceType(value);
}
inline std::string format(CallContext&, D3DRESOURCETYPE value) {
    return TraceWriter::resourceType(value);
}
inline std::string format(CallContext&, D3DMULTISAMPLE_TYPE value) {
    return TraceWriter::multiSample(value);
}
inline std::string format(CallContext&, D3DBACKBUFFER_TYPE value) {
    return TraceWriter::backBufferType(value);
}
inline std::string format(CallContext&, D3DSTATEBLOCKTYPE value) {
    return TraceWriter::stateBlockType(value);
}
inline std::string format(CallContext&, D3DCUBEMAP_FACES value) {
    return TraceWriter::cubeFace(value);
}

// Structures in full.
inline std::string format(CallContext&, const RECT* value) {
    return TraceWriter::rect(value);
}
inline std::string format(CallContext&, const D3DMATRIX* value) {
    return TraceWriter::matrix(value);
}
inline std::string format(CallContext&, const D3DVIEWPORT8* value) {
    return TraceWriter::viewport(value);
}
inline std::string format(CallContext&, const D3DMATERIAL8* value) {
    return TraceWriter::material(value);
}
inline std::string format(CallContext&, const D3DLIGHT8* value) {
    return TraceWriter::light(value);
}
inline std::string format(CallContext&, const D3DPRESENT_PARAMETERS* value) {
    return TraceWriter::presentParameters(value);
}
inline std::string format(CallContext&, const D3DDISPLAYMODE* value) {
    return TraceWriter::displayMode(value);
}
inline std::string format(CallContext&, const D3DLOCKED_RECT* value) {
    return TraceWriter::lockedRect(value);
}
inline std::string format(CallContext&, const D3DSURFACE_DESC* value) {
    return TraceWriter::surfaceDesc(value);
}

// Numbers and flags handed back through a pointer.
inline std::string format(CallContext&, const DWORD* value) {
    return pointee(value, [&] { return TraceWriter::number(*value); });
}
inline std::string format(CallContext&, const BOOL* value) {
    return pointee(value, [&] { return TraceWriter::boolean(*value); });
}

// Objects by name; objects handed out by name after "&" when the call gave one.
template <TracedObject Interface> std::string format(CallContext& call, Interface* value) {
    return call.writer.object(value, objectKind<Interface>);
}
template <TracedObject Interface> std::string format(CallContext& call, Interface** value) {
    return call.succeeded && value != nullptr && *value != nullptr
               ? "&" + call.writer.object(*value, objectKind<Interface>)
               : std::string("NULL");
}

// Any other pointer (capabilities, palettes, shader constants, windows): its address.
inline std::string format(CallContext&, const void* value) {
    return TraceWriter::pointer(value);
}

inline void writeArguments(CallContext&) {}

template <class Value, class... Rest>
void writeArguments(CallContext& call, const char* name, const Value& value, const Rest&... rest) {
    call.writer.arg(name, format(call, value));
    writeArguments(call, rest...);
}

// A call answering an HRESULT: written with the result unless it is D3D_OK.
template <class... Arguments>
HRESULT hresult(TraceWriter& writer, const char* interfaceName, const char* method,
                const void* self, HRESULT result, const Arguments&... arguments) {
    writer.begin(interfaceName, method, self);
    CallContext call{writer, SUCCEEDED(result)};
    writeArguments(call, arguments...);
    writer.end(result);
    return result;
}

// A call answering a count or another plain value: written with it.
template <class Value, class... Arguments>
Value value(TraceWriter& writer, const char* interfaceName, const char* method, const void* self,
            Value result, const Arguments&... arguments) {
    writer.begin(interfaceName, method, self);
    CallContext call{writer, true};
    writeArguments(call, arguments...);
    writer.endValue(static_cast<unsigned long long>(result));
    return result;
}

// A call without a result worth writing.
template <class... Arguments>
void none(TraceWriter& writer, const char* interfaceName, const char* method, const void* self,
          const Arguments&... arguments) {
    writer.begin(interfaceName, method, self);
    CallContext call{writer, true};
    writeArguments(call, arguments...);
    writer.end();
}

} // namespace trace
