// A child that names another data object instead of containing it.
#pragma once

#include <memory>

#include "XFileDocument.h"
#include <dxfile.h>

class DirectXFileDataReference : public IDirectXFileDataReference {
public:
    DirectXFileDataReference(std::shared_ptr<const XDocument> document, const XChild* child);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetName(LPSTR pstrNameBuf, LPDWORD pdwBufLen) override;
    HRESULT GetId(GUID* pGuid) override;
    HRESULT Resolve(LPDIRECTXFILEDATA* ppDataObj) override;

private:
    ~DirectXFileDataReference() override = default;

    ULONG references = 1;
    std::shared_ptr<const XDocument> document;
    const XChild* child;
};
