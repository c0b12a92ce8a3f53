#include "TraceResources.h"

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
    writer->begin("IDirect3DSurface8::GetContainer", this);
    writer->arg("riid", "{iid}");
    writer->arg("ppContainer", SUCCEEDED(result) ? "&" + writer->object(*ppContainer, "object")
                                                 : std::string("NULL"));
    writer->end(result);
    return result;
}

DWORD TraceTexture::SetLOD(DWORD LODNew) {
    DWORD result = real->SetLOD(LODNew);
    writer->begin("IDirect3DTexture8::SetLOD", this);
    writer->arg("LODNew", TraceWriter::number(LODNew));
    writer->endValue(static_cast<unsigned long long>(result));
    return result;
}

DWORD TraceTexture::GetLOD() {
    DWORD result = real->GetLOD();
    writer->begin("IDirect3DTexture8::GetLOD", this);
    writer->endValue(static_cast<unsigned long long>(result));
    return result;
}

DWORD TraceTexture::GetLevelCount() {
    DWORD result = real->GetLevelCount();
    writer->begin("IDirect3DTexture8::GetLevelCount", this);
    writer->endValue(static_cast<unsigned long long>(result));
    return result;
}

HRESULT TraceTexture::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) {
    HRESULT result = real->GetLevelDesc(Level, pDesc);
    writer->begin("IDirect3DTexture8::GetLevelDesc", this);
    writer->arg("Level", TraceWriter::number(Level));
    writer->arg("pDesc", TraceWriter::surfaceDesc(pDesc));
    writer->end(result);
    return result;
}

HRESULT TraceTexture::GetSurfaceLevel(UINT Level, IDirect3DSurface8** ppSurfaceLevel) {
    HRESULT result = real->GetSurfaceLevel(Level, ppSurfaceLevel);
    if (SUCCEEDED(result) && ppSurfaceLevel != nullptr && *ppSurfaceLevel != nullptr) {
        *ppSurfaceLevel = resources->wrap(*ppSurfaceLevel);
    }
    writer->begin("IDirect3DTexture8::GetSurfaceLevel", this);
    writer->arg("Level", TraceWriter::number(Level));
    writer->arg("ppSurfaceLevel", (SUCCEEDED(result) && ppSurfaceLevel && *ppSurfaceLevel)
                                      ? "&" + writer->object(*ppSurfaceLevel, "surface")
                                      : std::string("NULL"));
    writer->end(result);
    return result;
}

HRESULT TraceTexture::LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, CONST RECT* pRect,
                               DWORD Flags) {
    HRESULT result = real->LockRect(Level, pLockedRect, pRect, Flags);
    writer->begin("IDirect3DTexture8::LockRect", this);
    writer->arg("Level", TraceWriter::number(Level));
    writer->arg("pLockedRect", TraceWriter::lockedRect(pLockedRect));
    writer->arg("pRect", TraceWriter::rect(pRect));
    writer->arg("Flags", TraceWriter::lockFlags(Flags));
    writer->end(result);
    return result;
}

HRESULT TraceTexture::UnlockRect(UINT Level) {
    HRESULT result = real->UnlockRect(Level);
    writer->begin("IDirect3DTexture8::UnlockRect", this);
    writer->arg("Level", TraceWriter::number(Level));
    writer->end(result);
    return result;
}

HRESULT TraceTexture::AddDirtyRect(CONST RECT* pDirtyRect) {
    HRESULT result = real->AddDirtyRect(pDirtyRect);
    writer->begin("IDirect3DTexture8::AddDirtyRect", this);
    writer->arg("pDirtyRect", TraceWriter::rect(pDirtyRect));
    writer->end(result);
    return result;
}

HRESULT TraceSurface::GetDesc(D3DSURFACE_DESC* pDesc) {
    HRESULT result = real->GetDesc(pDesc);
    writer->begin("IDirect3DSurface8::GetDesc", this);
    writer->arg("pDesc", TraceWriter::surfaceDesc(pDesc));
    writer->end(result);
    return result;
}

HRESULT TraceSurface::LockRect(D3DLOCKED_RECT* pLockedRect, CONST RECT* pRect, DWORD Flags) {
    HRESULT result = real->LockRect(pLockedRect, pRect, Flags);
    writer->begin("IDirect3DSurface8::LockRect", this);
    writer->arg("pLockedRect", TraceWriter::lockedRect(pLockedRect));
    writer->arg("pRect", TraceWriter::rect(pRect));
    writer->arg("Flags", TraceWriter::lockFlags(Flags));
    writer->end(result);
    return result;
}

HRESULT TraceSurface::UnlockRect() {
    HRESULT result = real->UnlockRect();
    writer->begin("IDirect3DSurface8::UnlockRect", this);
    writer->end(result);
    return result;
}
