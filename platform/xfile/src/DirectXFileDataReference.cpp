#include "DirectXFileDataReference.h"

#include <new>

#include "DirectXFileData.h"

DirectXFileDataReference::DirectXFileDataReference(std::shared_ptr<const XDocument> doc,
                                                   const XChild* reference)
    : document(std::move(doc)), child(reference) {}

HRESULT DirectXFileDataReference::QueryInterface(REFIID riid, void** out) {
    return answerInterface(riid, out,
                           {IID_IDirectXFileDataReference, IID_IDirectXFileObject, IID_IUnknown});
}

HRESULT DirectXFileDataReference::GetName(LPSTR pstrNameBuf, LPDWORD pdwBufLen) {
    return DirectXFileData::copyName(child->referenceName, pstrNameBuf, pdwBufLen);
}

HRESULT DirectXFileDataReference::GetId(GUID* pGuid) {
    if (pGuid == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    *pGuid = child->hasReferenceId ? child->referenceId : GUID{};
    return DXFILE_OK;
}

HRESULT DirectXFileDataReference::Resolve(LPDIRECTXFILEDATA* ppDataObj) {
    if (ppDataObj == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    const XObject* target = document->resolve(
        child->referenceName, child->hasReferenceId ? &child->referenceId : nullptr);
    if (target == nullptr) {
        return DXFILEERR_BADDATAREFERENCE;
    }
    auto* data = new (std::nothrow) DirectXFileData(document, target);
    if (data == nullptr) {
        return DXFILEERR_BADALLOC;
    }
    *ppDataObj = data;
    return DXFILE_OK;
}
