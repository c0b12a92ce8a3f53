#include "TraceResources.h"

#include "VertexFormat.h"

template <class Wrapper, class Interface> Interface* TraceResources::wrapAs(Interface* real) {
    auto found = wrappers.find(real);
    if (found != wrappers.end()) {
        // Known already: the wrapper takes the new reference over from the real object.
        auto* wrapper = static_cast<Wrapper*>(static_cast<Interface*>(found->second));
        wrapper->adopt();
        real->Release();
        return wrapper;
    }
    auto* wrapper = new Wrapper(real, shared_from_this());
    wrappers.emplace(real, static_cast<Interface*>(wrapper));
    reals.emplace(static_cast<Interface*>(wrapper), real);
    return wrapper;
}

template <class Interface> Interface* TraceResources::unwrapAs(Interface* wrapper) {
    auto found = reals.find(wrapper);
    return found != reals.end() ? static_cast<Interface*>(found->second) : wrapper;
}

IDirect3DTexture8* TraceResources::wrap(IDirect3DTexture8* real) {
    return wrapAs<TraceTexture>(real);
}
IDirect3DBaseTexture8* TraceResources::wrap(IDirect3DBaseTexture8* real) {
    // Every texture of this device is a 2D texture.
    return wrapAs<TraceTexture>(static_cast<IDirect3DTexture8*>(real));
}
IDirect3DSurface8* TraceResources::wrap(IDirect3DSurface8* real) {
    return wrapAs<TraceSurface>(real);
}
IDirect3DVertexBuffer8* TraceResources::wrap(IDirect3DVertexBuffer8* real) {
    return wrapAs<TraceVertexBuffer>(real);
}
IDirect3DIndexBuffer8* TraceResources::wrap(IDirect3DIndexBuffer8* real) {
    return wrapAs<TraceIndexBuffer>(real);
}
IDirect3DTexture8* TraceResources::unwrap(IDirect3DTexture8* wrapper) {
    return unwrapAs(wrapper);
}
IDirect3DBaseTexture8* TraceResources::unwrap(IDirect3DBaseTexture8* wrapper) {
    return wrapper == nullptr ? nullptr : unwrapAs(static_cast<IDirect3DTexture8*>(wrapper));
}
IDirect3DSurface8* TraceResources::unwrap(IDirect3DSurface8* wrapper) {
    return unwrapAs(wrapper);
}
IDirect3DVertexBuffer8* TraceResources::unwrap(IDirect3DVertexBuffer8* wrapper) {
    return unwrapAs(wrapper);
}
IDirect3DIndexBuffer8* TraceResources::unwrap(IDirect3DIndexBuffer8* wrapper) {
    return unwrapAs(wrapper);
}

void TraceResources::forget(const void* real, const void* wrapper) {
    wrappers.erase(real);
    reals.erase(wrapper);
}

std::string writtenContents(const D3DVERTEXBUFFER_DESC& desc, const BYTE* data, UINT size) {
    UINT stride = fvfVertexSize(desc.FVF);
    if (stride == 0) {
        return {};
    }
    return TraceWriter::vertices(data, size / stride, stride, desc.FVF);
}

std::string writtenContents(const D3DINDEXBUFFER_DESC& desc, const BYTE* data, UINT size) {
    UINT stride = desc.Format == D3DFMT_INDEX32 ? 4 : 2;
    return TraceWriter::indices(data, size / stride, desc.Format);
}

HRESULT TraceSurface::GetContainer(REFIID riid, void** ppContainer) {
    HRESULT result = real->GetContainer(riid, ppContainer);
    if (SUCCEEDED(result)) {
        if (riid == IID_IDirect3DTexture8 || riid == IID_IDirect3DBaseTexture8 ||
            riid == IID_IDirect3DResource8) {
            *ppContainer = resources->wrap(static_cast<IDirect3DTexture8*>(*ppContainer));
        } else if (riid == IID_IDirect3DDevice8 && resources->device != nullptr) {
            *ppContainer = resources->device;
        }
    }
    return traced("GetContainer", result, "riid", "{iid}", "ppContainer",
                  SUCCEEDED(result) ? "&" + writer->object(*ppContainer, "object")
                                    : std::string("NULL"));
}

DWORD TraceTexture::SetLOD(DWORD LODNew) {
    return value("SetLOD", real->SetLOD(LODNew), "LODNew", LODNew);
}

DWORD TraceTexture::GetLOD() {
    return value("GetLOD", real->GetLOD());
}

DWORD TraceTexture::GetLevelCount() {
    return value("GetLevelCount", real->GetLevelCount());
}

HRESULT TraceTexture::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) {
    return traced("GetLevelDesc", real->GetLevelDesc(Level, pDesc), "Level", Level, "pDesc", pDesc);
}

HRESULT TraceTexture::GetSurfaceLevel(UINT Level, IDirect3DSurface8** ppSurfaceLevel) {
    HRESULT result = real->GetSurfaceLevel(Level, ppSurfaceLevel);
    resources->wrapOut(result, ppSurfaceLevel);
    return traced("GetSurfaceLevel", result, "Level", Level, "ppSurfaceLevel", ppSurfaceLevel);
}

HRESULT TraceTexture::LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, CONST RECT* pRect,
                               DWORD Flags) {
    return traced("LockRect", real->LockRect(Level, pLockedRect, pRect, Flags), "Level", Level,
                  "pLockedRect", pLockedRect, "pRect", pRect, "Flags", trace::LockFlags{Flags});
}

HRESULT TraceTexture::UnlockRect(UINT Level) {
    return traced("UnlockRect", real->UnlockRect(Level), "Level", Level);
}

HRESULT TraceTexture::AddDirtyRect(CONST RECT* pDirtyRect) {
    return traced("AddDirtyRect", real->AddDirtyRect(pDirtyRect), "pDirtyRect", pDirtyRect);
}

HRESULT TraceSurface::GetDesc(D3DSURFACE_DESC* pDesc) {
    return traced("GetDesc", real->GetDesc(pDesc), "pDesc", pDesc);
}

HRESULT TraceSurface::LockRect(D3DLOCKED_RECT* pLockedRect, CONST RECT* pRect, DWORD Flags) {
    return traced("LockRect", real->LockRect(pLockedRect, pRect, Flags), "pLockedRect", pLockedRect,
                  "pRect", pRect, "Flags", trace::LockFlags{Flags});
}

HRESULT TraceSurface::UnlockRect() {
    return traced("UnlockRect", real->UnlockRect());
}
