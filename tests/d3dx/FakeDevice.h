// A Direct3D 8 device in memory for the tests of the library: buffers and textures
// are plain memory, draws are recorded instead of drawn, and the capabilities and
// the formats it accepts are whatever a test sets. Device calls the library never
// makes are the null device's: noted by name, answering D3DERR_INVALIDCALL.
#pragma once

#include "NullDevice8.h"

#include <d3d8.h>

#include <cstdint>
#include <set>
#include <vector>

struct DrawCall {
    D3DPRIMITIVETYPE type;
    UINT minIndex, numVertices, startIndex, primitiveCount;
    bool operator==(const DrawCall& o) const {
        return type == o.type && minIndex == o.minIndex && numVertices == o.numVertices &&
               startIndex == o.startIndex && primitiveCount == o.primitiveCount;
    }
};

class FakeDevice;

// Counts the fake objects alive, so tests can see that everything was released.
struct FakeObjects {
    static int alive;
};

// IUnknown for the fakes: counted references, deletion at zero.
#define FAKE_UNKNOWN                                                                               \
    HRESULT QueryInterface(REFIID, void**) override {                                              \
        return E_NOINTERFACE;                                                                      \
    }                                                                                              \
    ULONG AddRef() override {                                                                      \
        return ++references;                                                                       \
    }                                                                                              \
    ULONG Release() override {                                                                     \
        ULONG count = --references;                                                                \
        if (count == 0) {                                                                          \
            delete this;                                                                           \
        }                                                                                          \
        return count;                                                                              \
    }                                                                                              \
    ULONG references = 1;

#define FAKE_RESOURCE                                                                              \
    HRESULT GetDevice(IDirect3DDevice8** ppDevice) override;                                       \
    HRESULT SetPrivateData(REFGUID, CONST void*, DWORD, DWORD) override {                          \
        return E_NOTIMPL;                                                                          \
    }                                                                                              \
    HRESULT GetPrivateData(REFGUID, void*, DWORD*) override {                                      \
        return E_NOTIMPL;                                                                          \
    }                                                                                              \
    HRESULT FreePrivateData(REFGUID) override {                                                    \
        return E_NOTIMPL;                                                                          \
    }                                                                                              \
    DWORD SetPriority(DWORD) override {                                                            \
        return 0;                                                                                  \
    }                                                                                              \
    DWORD GetPriority() override {                                                                 \
        return 0;                                                                                  \
    }                                                                                              \
    void PreLoad() override {}                                                                     \
    D3DRESOURCETYPE GetType() override {                                                           \
        return D3DRTYPE_SURFACE;                                                                   \
    }                                                                                              \
    FakeDevice* owner;

class FakeDirect3D : public IDirect3D8 {
public:
    FakeDirect3D() { ++FakeObjects::alive; }
    FAKE_UNKNOWN
    std::set<D3DFORMAT> refused; // CheckDeviceFormat fails for these

    HRESULT CheckDeviceFormat(UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE,
                              D3DFORMAT format) override {
        return refused.count(format) != 0 ? D3DERR_NOTAVAILABLE : D3D_OK;
    }
    HRESULT RegisterSoftwareDevice(void*) override { return E_NOTIMPL; }
    UINT GetAdapterCount() override { return 0; }
    HRESULT GetAdapterIdentifier(UINT, DWORD, D3DADAPTER_IDENTIFIER8*) override {
        return E_NOTIMPL;
    }
    UINT GetAdapterModeCount(UINT) override { return 0; }
    HRESULT EnumAdapterModes(UINT, UINT, D3DDISPLAYMODE*) override { return E_NOTIMPL; }
    HRESULT GetAdapterDisplayMode(UINT, D3DDISPLAYMODE*) override { return E_NOTIMPL; }
    HRESULT CheckDeviceType(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, BOOL) override {
        return E_NOTIMPL;
    }
    HRESULT CheckDeviceMultiSampleType(UINT, D3DDEVTYPE, D3DFORMAT, BOOL,
                                       D3DMULTISAMPLE_TYPE) override {
        return E_NOTIMPL;
    }
    HRESULT CheckDepthStencilMatch(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, D3DFORMAT) override {
        return E_NOTIMPL;
    }
    HRESULT GetDeviceCaps(UINT, D3DDEVTYPE, D3DCAPS8*) override { return E_NOTIMPL; }
    HMONITOR GetAdapterMonitor(UINT) override { return nullptr; }
    HRESULT CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*,
                         IDirect3DDevice8**) override {
        return E_NOTIMPL;
    }

private:
    ~FakeDirect3D() override { --FakeObjects::alive; }
};

// A vertex or index buffer in plain memory, filled with 0xCD until written; it keeps
// the vertex format it was made with (vertex buffers) or the index format (index buffers).
template <class Interface, class Desc> class FakeBuffer : public Interface {
public:
    FakeBuffer(FakeDevice* device, UINT length, DWORD use, DWORD vertexFormat,
               D3DFORMAT indexFormat, D3DPOOL where)
        : owner(device), bytes(length, 0xCD), usage(use), fvf(vertexFormat), format(indexFormat),
          pool(where) {
        ++FakeObjects::alive;
    }
    FAKE_UNKNOWN
    FAKE_RESOURCE
    HRESULT Lock(UINT offset, UINT, BYTE** data, DWORD flags) override {
        lastLockFlags = flags;
        *data = bytes.data() + offset;
        return D3D_OK;
    }
    HRESULT Unlock() override { return D3D_OK; }
    HRESULT GetDesc(Desc*) override { return E_NOTIMPL; }

    std::vector<uint8_t> bytes;
    DWORD usage;
    DWORD fvf;
    D3DFORMAT format;
    D3DPOOL pool;
    DWORD lastLockFlags = 0;

private:
    ~FakeBuffer() override { --FakeObjects::alive; }
};

using FakeVertexBuffer = FakeBuffer<IDirect3DVertexBuffer8, D3DVERTEXBUFFER_DESC>;
using FakeIndexBuffer = FakeBuffer<IDirect3DIndexBuffer8, D3DINDEXBUFFER_DESC>;

class FakeTexture : public IDirect3DTexture8 {
public:
    FakeTexture(FakeDevice* device, UINT width, UINT height, UINT levels, DWORD usage,
                D3DFORMAT format, D3DPOOL pool);
    FAKE_UNKNOWN
    FAKE_RESOURCE
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, CONST RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT) override { return D3D_OK; }
    DWORD SetLOD(DWORD) override { return 0; }
    DWORD GetLOD() override { return 0; }
    HRESULT GetSurfaceLevel(UINT, IDirect3DSurface8**) override { return E_NOTIMPL; }
    HRESULT AddDirtyRect(CONST RECT*) override { return E_NOTIMPL; }

    struct Level {
        UINT width, height;
        std::vector<uint8_t> bytes;
    };
    std::vector<Level> levels;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    // Texel i of a level, for formats of 4 bytes per texel.
    uint32_t texel32(UINT level, UINT x, UINT y) const;

private:
    ~FakeTexture() override;
};

class FakeDevice : public NullDevice8 {
public:
    FakeDevice();
    FAKE_UNKNOWN

    HRESULT GetDirect3D(IDirect3D8** ppD3D8) override;
    HRESULT GetDeviceCaps(D3DCAPS8* pCaps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* pMode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) override;
    HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format,
                          D3DPOOL Pool, IDirect3DTexture8** ppTexture) override;
    HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                               IDirect3DVertexBuffer8** ppVertexBuffer) override;
    HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DIndexBuffer8** ppIndexBuffer) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture8* source, IDirect3DBaseTexture8* target) override;
    HRESULT SetVertexShader(DWORD Handle) override;
    HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData,
                            UINT Stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT BaseVertexIndex) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;

    FakeDirect3D* direct3d;
    D3DCAPS8 caps{};
    std::vector<DrawCall> draws;
    DWORD vertexShader = 0;
    IDirect3DVertexBuffer8* stream = nullptr;
    UINT streamStride = 0;
    IDirect3DIndexBuffer8* indices = nullptr;
    FakeTexture* lastTexture = nullptr; // the last texture created
    int texturesCreated = 0;
    bool failCreateTexture = false;

private:
    ~FakeDevice() override;
};

template <class Interface, class Desc>
HRESULT FakeBuffer<Interface, Desc>::GetDevice(IDirect3DDevice8** ppDevice) {
    owner->AddRef();
    *ppDevice = owner;
    return D3D_OK;
}
