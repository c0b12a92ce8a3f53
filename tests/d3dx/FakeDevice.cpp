#include "FakeDevice.h"

#include <cstring>

int FakeObjects::alive = 0;

namespace {

UINT bytesPerTexel(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        return 4;
    case D3DFMT_R8G8B8:
        return 3;
    case D3DFMT_L8:
    case D3DFMT_A8:
    case D3DFMT_R3G3B2:
    case D3DFMT_P8:
        return 1;
    default:
        return 2;
    }
}

} // namespace

HRESULT FakeTexture::GetDevice(IDirect3DDevice8** ppDevice) {
    owner->AddRef();
    *ppDevice = owner;
    return D3D_OK;
}

FakeTexture::FakeTexture(FakeDevice* device, UINT width, UINT height, UINT count, DWORD use,
                         D3DFORMAT fmt, D3DPOOL where)
    : owner(device), usage(use), format(fmt), pool(where) {
    ++FakeObjects::alive;
    for (UINT i = 0; i < count; ++i) {
        levels.push_back(
            {width, height, std::vector<uint8_t>(width * height * bytesPerTexel(fmt))});
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
    }
}
FakeTexture::~FakeTexture() {
    --FakeObjects::alive;
}

HRESULT FakeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (level >= levels.size()) {
        return D3DERR_INVALIDCALL;
    }
    *desc = {};
    desc->Format = format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = usage;
    desc->Pool = pool;
    desc->Width = levels[level].width;
    desc->Height = levels[level].height;
    desc->Size = static_cast<UINT>(levels[level].bytes.size());
    return D3D_OK;
}

HRESULT FakeTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, CONST RECT*, DWORD) {
    if (level >= levels.size()) {
        return D3DERR_INVALIDCALL;
    }
    locked->pBits = levels[level].bytes.data();
    locked->Pitch = static_cast<INT>(levels[level].width * bytesPerTexel(format));
    return D3D_OK;
}

uint32_t FakeTexture::texel32(UINT level, UINT x, UINT y) const {
    uint32_t value;
    std::memcpy(&value, levels[level].bytes.data() + 4 * (size_t(y) * levels[level].width + x), 4);
    return value;
}

FakeDevice::FakeDevice() : direct3d(new FakeDirect3D()) {
    ++FakeObjects::alive;
    caps.MaxTextureWidth = 4096;
    caps.MaxTextureHeight = 4096;
    caps.MaxTextureAspectRatio = 4096;
    caps.TextureCaps = D3DPTEXTURECAPS_MIPMAP;
}

FakeDevice::~FakeDevice() {
    direct3d->Release();
    --FakeObjects::alive;
}

HRESULT FakeDevice::GetDirect3D(IDirect3D8** out) {
    direct3d->AddRef();
    *out = direct3d;
    return D3D_OK;
}

HRESULT FakeDevice::GetDeviceCaps(D3DCAPS8* out) {
    *out = caps;
    return D3D_OK;
}

HRESULT FakeDevice::GetDisplayMode(D3DDISPLAYMODE* mode) {
    *mode = {800, 600, 60, D3DFMT_X8R8G8B8};
    return D3D_OK;
}

HRESULT FakeDevice::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* params) {
    *params = {0, D3DDEVTYPE_HAL, nullptr, 0};
    return D3D_OK;
}

HRESULT FakeDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                  D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** out) {
    if (failCreateTexture || width == 0 || height == 0) {
        return D3DERR_INVALIDCALL;
    }
    if (levels == 0) {
        for (UINT side = std::max(width, height); side > 0; side /= 2) {
            ++levels;
        }
    }
    lastTexture = new FakeTexture(this, width, height, levels, usage, format, pool);
    ++texturesCreated;
    *out = lastTexture;
    return D3D_OK;
}

HRESULT FakeDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer8** out) {
    *out = new FakeVertexBuffer(this, length, usage, fvf, D3DFMT_UNKNOWN, pool);
    return D3D_OK;
}

HRESULT FakeDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer8** out) {
    *out = new FakeIndexBuffer(this, length, usage, 0, format, pool);
    return D3D_OK;
}

HRESULT FakeDevice::UpdateTexture(IDirect3DBaseTexture8* source, IDirect3DBaseTexture8* target) {
    auto* from = static_cast<FakeTexture*>(source);
    auto* to = static_cast<FakeTexture*>(target);
    for (size_t i = 0; i < to->levels.size() && i < from->levels.size(); ++i) {
        to->levels[i].bytes = from->levels[i].bytes;
    }
    return D3D_OK;
}

HRESULT FakeDevice::SetVertexShader(DWORD handle) {
    vertexShader = handle;
    return D3D_OK;
}

HRESULT FakeDevice::SetStreamSource(UINT, IDirect3DVertexBuffer8* data, UINT stride) {
    stream = data;
    streamStride = stride;
    return D3D_OK;
}

HRESULT FakeDevice::SetIndices(IDirect3DIndexBuffer8* data, UINT) {
    indices = data;
    return D3D_OK;
}

HRESULT FakeDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT numVertices,
                                         UINT startIndex, UINT primitiveCount) {
    draws.push_back({type, minIndex, numVertices, startIndex, primitiveCount});
    return D3D_OK;
}
