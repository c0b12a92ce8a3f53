#include "DirectXFileEnumObject.h"

#include <cstring>
#include <new>

#include "DirectXFileData.h"

DirectXFileEnumObject::DirectXFileEnumObject(std::shared_ptr<const XDocument> doc)
    : document(std::move(doc)) {}

HRESULT DirectXFileEnumObject::QueryInterface(REFIID riid, void** object) {
    return answerInterface(riid, object, {IID_IDirectXFileEnumObject, IID_IUnknown});
}

namespace {

HRESULT handOut(const std::shared_ptr<const XDocument>& document, const XObject* object,
                LPDIRECTXFILEDATA* out) {
    auto* data = new (std::nothrow) DirectXFileData(document, object);
    if (data == nullptr) {
        return DXFILEERR_BADALLOC;
    }
    *out = data;
    return DXFILE_OK;
}

} // namespace

HRESULT DirectXFileEnumObject::GetNextDataObject(LPDIRECTXFILEDATA* ppDataObj) {
    if (ppDataObj == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    if (nextObject >= document->objects.size()) {
        return DXFILEERR_NOMOREOBJECTS;
    }
    HRESULT hr = handOut(document, document->objects[nextObject].get(), ppDataObj);
    if (SUCCEEDED(hr)) {
        ++nextObject;
    }
    return hr;
}

HRESULT DirectXFileEnumObject::GetDataObjectById(REFGUID rguid, LPDIRECTXFILEDATA* ppDataObj) {
    if (ppDataObj == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    for (const auto& object : document->objects) {
        if (object->id == rguid) {
            return handOut(document, object.get(), ppDataObj);
        }
    }
    return DXFILEERR_NOTFOUND;
}

HRESULT DirectXFileEnumObject::GetDataObjectByName(LPCSTR szName, LPDIRECTXFILEDATA* ppDataObj) {
    if (szName == nullptr || ppDataObj == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    for (const auto& object : document->objects) {
        if (object->name == szName) {
            return handOut(document, object.get(), ppDataObj);
        }
    }
    return DXFILEERR_NOTFOUND;
}
