// A data object of an opened file: its template, its packed data and its children.
// It keeps the whole document alive, so its data stays valid while it lives.
#pragma once

#include <ComObject.h>
#include <memory>

#include "XFileDocument.h"
#include <dxfile.h>

class DirectXFileData : public ComObject<IDirectXFileData> {
public:
    DirectXFileData(std::shared_ptr<const XDocument> document, const XObject* object);

    HRESULT QueryInterface(REFIID riid, void** object) override;

    HRESULT GetName(LPSTR pstrNameBuf, LPDWORD pdwBufLen) override;
    HRESULT GetId(GUID* pGuid) override;

    HRESULT GetData(LPCSTR szMember, DWORD* pcbSize, void** ppvData) override;
    HRESULT GetType(const GUID** ppguid) override;
    HRESULT GetNextObject(LPDIRECTXFILEOBJECT* ppChildObj) override;
    HRESULT AddDataObject(LPDIRECTXFILEDATA pDataObj) override;
    HRESULT AddDataReference(LPCSTR szRef, const GUID* pguidRef) override;
    HRESULT AddBinaryObject(LPCSTR szName, const GUID* pguid, LPCSTR szMimeType, LPVOID pvData,
                            DWORD cbSize) override;

    // The name copy of GetName, shared with references.
    static HRESULT copyName(const std::string& name, LPSTR buffer, LPDWORD length);

private:
    friend class ComObject<IDirectXFileData>;
    ~DirectXFileData() override = default;

    std::shared_ptr<const XDocument> document;
    const XObject* object;
    size_t nextChild = 0;
};
