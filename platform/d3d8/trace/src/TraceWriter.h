// Writes the call trace: one line per call, "frame Interface::Method(this = name,
// Argument = value, ...) = result", in the manner of apitrace's dump. Enumerations are
// written by their published names, floats with 9 significant digits so they read back
// exactly, structures and matrices in full; objects are named by kind and creation order
// so traces of two runs compare line by line.
#pragma once

#include <d3d8.h>

#include <cstdio>
#include <map>
#include <string>

class TraceWriter {
public:
    // Opens path for writing; isOpen() tells whether it worked.
    explicit TraceWriter(const std::string& path);
    ~TraceWriter();
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;
    bool isOpen() const { return file != nullptr; }

    void begin(const char* call, const void* self);
    void begin(const char* interfaceName, const char* method, const void* self);
    void end(); // a call without a result worth writing
    void end(HRESULT result);
    void endValue(unsigned long long value);
    void nextFrame() { ++frame; }
    uint64_t frameNumber() const { return frame; }

    // Arguments: name = value.
    void arg(const char* name, const std::string& formatted);

    // Values.
    std::string object(const void* pointer, const char* kind);
    static std::string number(uint64_t value);
    static std::string signedNumber(int64_t value);
    static std::string hex(uint64_t value);
    static std::string real(float value);
    static std::string boolean(BOOL value);
    static std::string pointer(const void* value);
    static std::string color(D3DCOLOR value);
    static std::string matrix(const D3DMATRIX* value);
    static std::string vector(const D3DVECTOR& value);
    static std::string colorValue(const D3DCOLORVALUE& value);
    static std::string viewport(const D3DVIEWPORT8* value);
    static std::string material(const D3DMATERIAL8* value);
    static std::string light(const D3DLIGHT8* value);
    static std::string presentParameters(const D3DPRESENT_PARAMETERS* value);
    static std::string displayMode(const D3DDISPLAYMODE* value);
    static std::string lockedRect(const D3DLOCKED_RECT* value);
    static std::string surfaceDesc(const D3DSURFACE_DESC* value);
    static std::string rect(const RECT* value);
    static std::string rects(const RECT* value, UINT count);
    static std::string point(const POINT* value);
    static std::string points(const POINT* value, UINT count);
    static std::string d3dRects(const D3DRECT* value, DWORD count);
    static std::string result(HRESULT value);

    // Enumerations and flags by their published names.
    static std::string renderState(D3DRENDERSTATETYPE value);
    static std::string renderStateValue(D3DRENDERSTATETYPE state, DWORD value);
    static std::string stageState(D3DTEXTURESTAGESTATETYPE value);
    static std::string stageStateValue(D3DTEXTURESTAGESTATETYPE type, DWORD value);
    static std::string transform(D3DTRANSFORMSTATETYPE value);
    static std::string primitive(D3DPRIMITIVETYPE value);
    static std::string format(D3DFORMAT value);
    static std::string pool(D3DPOOL value);
    static std::string deviceType(D3DDEVTYPE value);
    static std::string resourceType(D3DRESOURCETYPE value);
    static std::string swapEffect(D3DSWAPEFFECT value);
    static std::string multiSample(D3DMULTISAMPLE_TYPE value);
    static std::string backBufferType(D3DBACKBUFFER_TYPE value);
    static std::string stateBlockType(D3DSTATEBLOCKTYPE value);
    static std::string cubeFace(D3DCUBEMAP_FACES value);
    static std::string fvf(DWORD value);
    static std::string usage(DWORD value);
    static std::string lockFlags(DWORD value);
    static std::string clearFlags(DWORD value);
    static std::string createFlags(DWORD value);
    static std::string textureArgument(DWORD value);
    // The vertices of a draw from memory, decoded by their format.
    static std::string vertices(const void* data, UINT count, UINT stride, DWORD fvf);
    // Indices of 16 or 32 bits (by format) as numbers.
    static std::string indices(const void* data, UINT count, D3DFORMAT format);

private:
    FILE* file = nullptr;
    std::string line;
    uint64_t frame = 0;
    std::map<const void*, std::string> names;
    std::map<std::string, uint32_t> counters;
};
