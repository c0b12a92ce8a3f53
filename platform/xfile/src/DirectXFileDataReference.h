// A child that names another data object instead of containing it.
#pragma once

#include <ComObject.h>
#include <memory>

#include "XFileDocument.h"
#include <dxfile.h>

class DirectXFileDataReference : public ComObject<IDirectXFileDataReference> {
public:
    DirectXFileDataReference(std::shared_ptr<const XDocument> document, const XChild* child);

    HRESULT QueryInterface(REFIID riid, void** object) override;

    HRESULT GetName(LPSTR pstrNameBuf, LPDWORD pdwBufLen) override;
    HRESULT GetId(GUID* pGuid) override;
    HRESULT Resolve(LPDIRECTXFILEDATA* ppDataObj) override;

private:
    friend class ComObject<IDirectXFileDataReference>;
    ~DirectXFileDataReference() override = default;

    std::shared_ptr<const XDocument> document;
    const XChild* child;
};
