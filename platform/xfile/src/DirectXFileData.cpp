#include "DirectXFileData.h"

#include <cstring>
#include <new>

#include "DirectXFileDataReference.h"

DirectXFileData::DirectXFileData(std::shared_ptr<const XDocument> doc, const XObject* obj)
    : document(std::move(doc)), object(obj) {}

HRESULT DirectXFileData::QueryInterface(REFIID riid, void** out) {
    return answerInterface(riid, out, {IID_IDirectXFileData, IID_IDirectXFileObject, IID_IUnknown});
}

HRESULT DirectXFileData::copyName(const std::string& name, LPSTR buffer, LPDWORD length) {
    if (length == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (buffer == nullptr) {
        *length = needed; // the caller asks for the size
        return DXFILE_OK;
    }
    if (*length < needed) {
        return DXFILEERR_BADVALUE;
    }
    std::memcpy(buffer, name.c_str(), needed);
    *length = needed;
    return DXFILE_OK;
}

HRESULT DirectXFileData::GetName(LPSTR pstrNameBuf, LPDWORD pdwBufLen) {
    return copyName(object->name, pstrNameBuf, pdwBufLen);
}

HRESULT DirectXFileData::GetId(GUID* pGuid) {
    if (pGuid == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    *pGuid = object->id;
    return DXFILE_OK;
}

HRESULT DirectXFileData::GetData(LPCSTR szMember, DWORD* pcbSize, void** ppvData) {
    if (pcbSize == nullptr || ppvData == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    auto* base = const_cast<uint8_t*>(object->data.data());
    if (szMember == nullptr) {
        *pcbSize = static_cast<DWORD>(object->data.size());
        *ppvData = base;
        return DXFILE_OK;
    }
    for (const XMemberSpan& span : object->members) {
        if (span.name == szMember) {
            *pcbSize = static_cast<DWORD>(span.size);
            *ppvData = base + span.offset;
            return DXFILE_OK;
        }
    }
    return DXFILEERR_BADDATAREFERENCE;
}

HRESULT DirectXFileData::GetType(const GUID** ppguid) {
    if (ppguid == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    *ppguid = &object->templ->id;
    return DXFILE_OK;
}

HRESULT DirectXFileData::GetNextObject(LPDIRECTXFILEOBJECT* ppChildObj) {
    if (ppChildObj == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    if (nextChild >= object->children.size()) {
        return DXFILEERR_NOMOREOBJECTS;
    }
    const XChild& child = object->children[nextChild];
    IDirectXFileObject* result;
    if (child.object) {
        result = new (std::nothrow) DirectXFileData(document, child.object.get());
    } else {
        result = new (std::nothrow) DirectXFileDataReference(document, &child);
    }
    if (result == nullptr) {
        return DXFILEERR_BADALLOC;
    }
    ++nextChild;
    *ppChildObj = result;
    return DXFILE_OK;
}

// Building objects belongs to saving, which this program never does.
HRESULT DirectXFileData::AddDataObject(LPDIRECTXFILEDATA) {
    return E_NOTIMPL;
}
HRESULT DirectXFileData::AddDataReference(LPCSTR, const GUID*) {
    return E_NOTIMPL;
}
HRESULT DirectXFileData::AddBinaryObject(LPCSTR, const GUID*, LPCSTR, LPVOID, DWORD) {
    return E_NOTIMPL;
}
