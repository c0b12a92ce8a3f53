// Tracing wrappers around the resources a traced device hands out, so calls on textures,
// surfaces and buffers are written too. The program holds wrappers; the device is given
// the real objects behind them.
#pragma once

#include "TraceCall.h"

#include <algorithm>
#include <memory>
#include <string>
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
    // Replaces an object a successful call handed out with its wrapper.
    template <class Interface> void wrapOut(HRESULT result, Interface** object) {
        if (SUCCEEDED(result) && object != nullptr && *object != nullptr) {
            *object = wrap(*object);
        }
    }

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
    ULONG AddRef() override { return value("AddRef", ++count); }
    ULONG Release() override {
        ULONG left = value("Release", count > 0 ? --count : 0);
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
        return traced("GetDevice", result, "ppDevice", ppDevice);
    }
    // Every resource and surface keeps private data.
    HRESULT SetPrivateData(REFGUID refguid, CONST void* pData, DWORD SizeOfData,
                           DWORD Flags) override {
        return traced("SetPrivateData", real->SetPrivateData(refguid, pData, SizeOfData, Flags),
                      "refguid", "{iid}", "pData", pData, "SizeOfData", SizeOfData, "Flags", Flags);
    }
    HRESULT GetPrivateData(REFGUID refguid, void* pData, DWORD* pSizeOfData) override {
        return traced("GetPrivateData", real->GetPrivateData(refguid, pData, pSizeOfData),
                      "refguid", "{iid}", "pData", pData, "pSizeOfData", pSizeOfData);
    }
    HRESULT FreePrivateData(REFGUID refguid) override {
        return traced("FreePrivateData", real->FreePrivateData(refguid), "refguid", "{iid}");
    }
    // A further reference handed out through a getter that found this wrapper.
    void adopt() { ++count; }

protected:
    virtual ~TraceWrapper() = default;
    // Write one call on this object and hand its result back.
    template <class... Arguments>
    HRESULT traced(const char* method, HRESULT result, const Arguments&... arguments) {
        return trace::hresult(*writer, name, method, this, result, arguments...);
    }
    template <class Value, class... Arguments>
    Value value(const char* method, Value result, const Arguments&... arguments) {
        return trace::value(*writer, name, method, this, result, arguments...);
    }

    Interface* real;
    std::shared_ptr<TraceResources> resources;
    std::shared_ptr<TraceWriter> writer;
    const char* name;
    ULONG count = 1;
};

// The IDirect3DResource8 methods textures and buffers share.
template <class Interface> class TraceResource : public TraceWrapper<Interface> {
public:
    using TraceWrapper<Interface>::TraceWrapper;
    DWORD SetPriority(DWORD PriorityNew) override {
        return this->value("SetPriority", this->real->SetPriority(PriorityNew), "PriorityNew",
                           PriorityNew);
    }
    DWORD GetPriority() override { return this->value("GetPriority", this->real->GetPriority()); }
    void PreLoad() override {
        this->real->PreLoad();
        trace::none(*this->writer, this->name, "PreLoad", this);
    }
    D3DRESOURCETYPE GetType() override { return this->value("GetType", this->real->GetType()); }
};

// What a lock of a vertex or index buffer wrote, by the buffer's description: vertices
// decoded by its format, indices as numbers; empty when it cannot be told.
std::string writtenContents(const D3DVERTEXBUFFER_DESC& desc, const BYTE* data, UINT size);
std::string writtenContents(const D3DINDEXBUFFER_DESC& desc, const BYTE* data, UINT size);

// Vertex and index buffers: the same calls with their own description structure. What the
// program wrote under a lock is written with the Unlock that ends it.
template <class Interface, class Description> class TraceBuffer : public TraceResource<Interface> {
public:
    using TraceResource<Interface>::TraceResource;
    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) override {
        HRESULT result = this->real->Lock(OffsetToLock, SizeToLock, ppbData, Flags);
        locked = SUCCEEDED(result) && ppbData != nullptr ? *ppbData : nullptr;
        lockedOffset = OffsetToLock;
        lockedSize = SizeToLock;
        lockedReadOnly = (Flags & D3DLOCK_READONLY) != 0;
        return this->traced("Lock", result, "OffsetToLock", OffsetToLock, "SizeToLock", SizeToLock,
                            "ppbData", ppbData ? "&bits" : "NULL", "Flags",
                            trace::LockFlags{Flags});
    }
    HRESULT Unlock() override {
        // Read before the real Unlock: the locked memory is the buffer's only until then.
        std::string written = contentsUnderLock();
        HRESULT result = this->real->Unlock();
        if (written.empty() || FAILED(result)) {
            return this->traced("Unlock", result);
        }
        return this->traced("Unlock", result, "pbData", written);
    }
    HRESULT GetDesc(Description* pDesc) override {
        return this->traced("GetDesc", this->real->GetDesc(pDesc), "pDesc",
                            static_cast<const void*>(pDesc));
    }

private:
    std::string contentsUnderLock() {
        const BYTE* data = locked;
        locked = nullptr;
        Description desc{};
        if (data == nullptr || lockedReadOnly || FAILED(this->real->GetDesc(&desc)) ||
            lockedOffset > desc.Size) {
            return {};
        }
        // A size of 0 locks everything from the offset on.
        UINT size = lockedSize == 0 ? desc.Size - lockedOffset
                                    : std::min(lockedSize, desc.Size - lockedOffset);
        return writtenContents(desc, data, size);
    }

    const BYTE* locked = nullptr;
    UINT lockedOffset = 0;
    UINT lockedSize = 0;
    bool lockedReadOnly = false;
};

class TraceTexture : public TraceResource<IDirect3DTexture8> {
public:
    TraceTexture(IDirect3DTexture8* inner, std::shared_ptr<TraceResources> registry)
        : TraceResource(inner, std::move(registry), "texture", "IDirect3DTexture8") {}
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
    HRESULT GetContainer(REFIID riid, void** ppContainer) override;
    HRESULT GetDesc(D3DSURFACE_DESC* pDesc) override;
    HRESULT LockRect(D3DLOCKED_RECT* pLockedRect, CONST RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect() override;
};

class TraceVertexBuffer : public TraceBuffer<IDirect3DVertexBuffer8, D3DVERTEXBUFFER_DESC> {
public:
    TraceVertexBuffer(IDirect3DVertexBuffer8* inner, std::shared_ptr<TraceResources> registry)
        : TraceBuffer(inner, std::move(registry), "vertexbuffer", "IDirect3DVertexBuffer8") {}
};

class TraceIndexBuffer : public TraceBuffer<IDirect3DIndexBuffer8, D3DINDEXBUFFER_DESC> {
public:
    TraceIndexBuffer(IDirect3DIndexBuffer8* inner, std::shared_ptr<TraceResources> registry)
        : TraceBuffer(inner, std::move(registry), "indexbuffer", "IDirect3DIndexBuffer8") {}
};
