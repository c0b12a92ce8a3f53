// Tracing wrappers around the resources a traced device hands out, so calls on textures,
// surfaces and buffers are written too. The program holds wrappers; the device is given
// the real objects behind them.
#pragma once

#include "TraceWriter.h"

#include <memory>
#include <unordered_map>

// Which wrapper stands for which real object. Shared by the tracing device and every
// wrapper, so resources released after their device still find it.
class TraceResources : public std::enable_shared_from_this<TraceResources> {
public:
    explicit TraceResources(std::shared_ptr<TraceWriter> trace) : writer(std::move(trace)) {}

    // The wrapper of a real object handed out with a reference the wrapper takes over.
    IDirect3DTexture8* wrap(IDirect3DTexture8* real);
    IDirect3DBaseTexture8* wrap(IDirect3DBaseTexture8* real);
    IDirect3DSurface8* wrap(IDirect3DSurface8* real);
    IDirect3DVertexBuffer8* wrap(IDirect3DVertexBuffer8* real);
    IDirect3DIndexBuffer8* wrap(IDirect3DIndexBuffer8* real);
    // The real object behind a wrapper (anything else passes through).
    IDirect3DTexture8* unwrap(IDirect3DTexture8* wrapper);
    IDirect3DBaseTexture8* unwrap(IDirect3DBaseTexture8* wrapper);
    IDirect3DSurface8* unwrap(IDirect3DSurface8* wrapper);
    IDirect3DVertexBuffer8* unwrap(IDirect3DVertexBuffer8* wrapper);
    IDirect3DIndexBuffer8* unwrap(IDirect3DIndexBuffer8* wrapper);
    void forget(const void* real, const void* wrapper);

    std::shared_ptr<TraceWriter> writer;
    // The tracing device while it exists: what the resources' GetDevice hands out.
    IDirect3DDevice8* device = nullptr;

private:
    template <class Wrapper, class Interface> Interface* wrapAs(Interface* real);
    template <class Interface> Interface* unwrapAs(Interface* wrapper);

    std::unordered_map<const void*, IUnknown*> wrappers; // real -> wrapper
    std::unordered_map<const void*, IUnknown*> reals;    // wrapper -> real
};

// What every wrapper shares: its own count of the program's references (it holds one
// reference to the real object, let go with the last of them) and the GetDevice answer.
template <class Interface> class TraceWrapper : public Interface {
public:
    TraceWrapper(Interface* inner, std::shared_ptr<TraceResources> registry, const char* kind,
                 const char* interfaceName)
        : real(inner), resources(std::move(registry)), writer(resources->writer),
          name(interfaceName) {
        writer->object(this, kind);
    }

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        void* inner = nullptr;
        *object = nullptr;
        if (FAILED(real->QueryInterface(riid, &inner))) {
            return E_NOINTERFACE;
        }
        static_cast<IUnknown*>(inner)->Release();
        ++count;
        *object = static_cast<Interface*>(this);
        return S_OK;
    }
    ULONG AddRef() override {
        ++count;
        writer->begin((std::string(name) + "::AddRef").c_str(), this);
        writer->endValue(count);
        return count;
    }
    ULONG Release() override {
        ULONG left = count > 0 ? --count : 0;
        writer->begin((std::string(name) + "::Release").c_str(), this);
        writer->endValue(left);
        if (left == 0) {
            resources->forget(real, this);
            real->Release();
            delete this;
        }
        return left;
    }
    HRESULT GetDevice(IDirect3DDevice8** ppDevice) override {
        HRESULT result = real->GetDevice(ppDevice);
        if (SUCCEEDED(result) && resources->device != nullptr) {
            // The real device's reference stands for the tracing device's: it forwards.
            *ppDevice = resources->device;
        }
        writer->begin((std::string(name) + "::GetDevice").c_str(), this);
        writer->arg("ppDevice", SUCCEEDED(result) ? "&" + writer->object(*ppDevice, "device")
                                                  : std::string("NULL"));
        writer->end(result);
        return result;
    }
    // A further reference handed out through a getter that found this wrapper.
    void adopt() { ++count; }

protected:
    virtual ~TraceWrapper() = default;

    Interface* real;
    std::shared_ptr<TraceResources> resources;
    std::shared_ptr<TraceWriter> writer;
    const char* name;
    ULONG count = 1;
};

class TraceTexture : public TraceWrapper<IDirect3DTexture8> {
public:
    TraceTexture(IDirect3DTexture8* inner, std::shared_ptr<TraceResources> registry)
        : TraceWrapper(inner, std::move(registry), "texture", "IDirect3DTexture8") {}
    HRESULT SetPrivateData(REFGUID refguid, CONST void* pData, DWORD SizeOfData,
                           DWORD Flags) override;
    HRESULT GetPrivateData(REFGUID refguid, void* pData, DWORD* pSizeOfData) override;
    HRESULT FreePrivateData(REFGUID refguid) override;
    DWORD SetPriority(DWORD PriorityNew) override;
    DWORD GetPriority() override;
    void PreLoad() override;
    D3DRESOURCETYPE GetType() override;
    DWORD SetLOD(DWORD LODNew) override;
    DWORD GetLOD() override;
    DWORD GetLevelCount() override;
    HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetSurfaceLevel(UINT Level, IDirect3DSurface8** ppSurfaceLevel) override;
    HRESULT LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, CONST RECT* pRect,
                     DWORD Flags) override;
    HRESULT UnlockRect(UINT Level) override;
    HRESULT AddDirtyRect(CONST RECT* pDirtyRect) override;
};

class TraceSurface : public TraceWrapper<IDirect3DSurface8> {
public:
    TraceSurface(IDirect3DSurface8* inner, std::shared_ptr<TraceResources> registry)
        : TraceWrapper(inner, std::move(registry), "surface", "IDirect3DSurface8") {}
    HRESULT SetPrivateData(REFGUID refguid, CONST void* pData, DWORD SizeOfData,
                           DWORD Flags) override;
    HRESULT GetPrivateData(REFGUID refguid, void* pData, DWORD* pSizeOfData) override;
    HRESULT FreePrivateData(REFGUID refguid) override;
    HRESULT GetContainer(REFIID riid, void** ppContainer) override;
    HRESULT GetDesc(D3DSURFACE_DESC* pDesc) override;
    HRESULT LockRect(D3DLOCKED_RECT* pLockedRect, CONST RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect() override;
};

class TraceVertexBuffer : public TraceWrapper<IDirect3DVertexBuffer8> {
public:
    TraceVertexBuffer(IDirect3DVertexBuffer8* inner, std::shared_ptr<TraceResources> registry)
        : TraceWrapper(inner, std::move(registry), "vertexbuffer", "IDirect3DVertexBuffer8") {}
    HRESULT SetPrivateData(REFGUID refguid, CONST void* pData, DWORD SizeOfData,
                           DWORD Flags) override;
    HRESULT GetPrivateData(REFGUID refguid, void* pData, DWORD* pSizeOfData) override;
    HRESULT FreePrivateData(REFGUID refguid) override;
    DWORD SetPriority(DWORD PriorityNew) override;
    DWORD GetPriority() override;
    void PreLoad() override;
    D3DRESOURCETYPE GetType() override;
    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* pDesc) override;
};

class TraceIndexBuffer : public TraceWrapper<IDirect3DIndexBuffer8> {
public:
    TraceIndexBuffer(IDirect3DIndexBuffer8* inner, std::shared_ptr<TraceResources> registry)
        : TraceWrapper(inner, std::move(registry), "indexbuffer", "IDirect3DIndexBuffer8") {}
    HRESULT SetPrivateData(REFGUID refguid, CONST void* pData, DWORD SizeOfData,
                           DWORD Flags) override;
    HRESULT GetPrivateData(REFGUID refguid, void* pData, DWORD* pSizeOfData) override;
    HRESULT FreePrivateData(REFGUID refguid) override;
    DWORD SetPriority(DWORD PriorityNew) override;
    DWORD GetPriority() override;
    void PreLoad() override;
    D3DRESOURCETYPE GetType() override;
    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) override;
};
