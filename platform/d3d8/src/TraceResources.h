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
        begin("AddRef");
        writer->endValue(count);
        return count;
    }
    ULONG Release() override {
        ULONG left = count > 0 ? --count : 0;
        begin("Release");
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
        begin("GetDevice");
        writer->arg("ppDevice", SUCCEEDED(result) ? "&" + writer->object(*ppDevice, "device")
                                                  : std::string("NULL"));
        writer->end(result);
        return result;
    }
    // Every resource and surface keeps private data.
    HRESULT SetPrivateData(REFGUID refguid, CONST void* pData, DWORD SizeOfData,
                           DWORD Flags) override {
        HRESULT result = real->SetPrivateData(refguid, pData, SizeOfData, Flags);
        begin("SetPrivateData");
        writer->arg("refguid", std::string("{iid}"));
        writer->arg("pData", TraceWriter::pointer(pData));
        writer->arg("SizeOfData", TraceWriter::number(SizeOfData));
        writer->arg("Flags", TraceWriter::number(Flags));
        writer->end(result);
        return result;
    }
    HRESULT GetPrivateData(REFGUID refguid, void* pData, DWORD* pSizeOfData) override {
        HRESULT result = real->GetPrivateData(refguid, pData, pSizeOfData);
        begin("GetPrivateData");
        writer->arg("refguid", std::string("{iid}"));
        writer->arg("pData", TraceWriter::pointer(pData));
        writer->arg("pSizeOfData",
                    pSizeOfData ? "&" + TraceWriter::number(*pSizeOfData) : std::string("NULL"));
        writer->end(result);
        return result;
    }
    HRESULT FreePrivateData(REFGUID refguid) override {
        HRESULT result = real->FreePrivateData(refguid);
        begin("FreePrivateData");
        writer->arg("refguid", std::string("{iid}"));
        writer->end(result);
        return result;
    }
    // A further reference handed out through a getter that found this wrapper.
    void adopt() { ++count; }

protected:
    virtual ~TraceWrapper() = default;
    // Starts the line of a call on this object: "<interface>::<method>".
    void begin(const char* method) {
        writer->begin((std::string(name) + "::" + method).c_str(), this);
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
        DWORD result = this->real->SetPriority(PriorityNew);
        this->begin("SetPriority");
        this->writer->arg("PriorityNew", TraceWriter::number(PriorityNew));
        this->writer->endValue(static_cast<unsigned long long>(result));
        return result;
    }
    DWORD GetPriority() override {
        DWORD result = this->real->GetPriority();
        this->begin("GetPriority");
        this->writer->endValue(static_cast<unsigned long long>(result));
        return result;
    }
    void PreLoad() override {
        this->real->PreLoad();
        this->begin("PreLoad");
        this->writer->end();
    }
    D3DRESOURCETYPE GetType() override {
        D3DRESOURCETYPE result = this->real->GetType();
        this->begin("GetType");
        this->writer->endValue(static_cast<unsigned long long>(result));
        return result;
    }
};

// Vertex and index buffers: the same calls with their own description structure.
template <class Interface, class Description> class TraceBuffer : public TraceResource<Interface> {
public:
    using TraceResource<Interface>::TraceResource;
    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) override {
        HRESULT result = this->real->Lock(OffsetToLock, SizeToLock, ppbData, Flags);
        this->begin("Lock");
        this->writer->arg("OffsetToLock", TraceWriter::number(OffsetToLock));
        this->writer->arg("SizeToLock", TraceWriter::number(SizeToLock));
        this->writer->arg("ppbData", ppbData ? std::string("&bits") : std::string("NULL"));
        this->writer->arg("Flags", TraceWriter::lockFlags(Flags));
        this->writer->end(result);
        return result;
    }
    HRESULT Unlock() override {
        HRESULT result = this->real->Unlock();
        this->begin("Unlock");
        this->writer->end(result);
        return result;
    }
    HRESULT GetDesc(Description* pDesc) override {
        HRESULT result = this->real->GetDesc(pDesc);
        this->begin("GetDesc");
        this->writer->arg("pDesc", TraceWriter::pointer(pDesc));
        this->writer->end(result);
        return result;
    }
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
