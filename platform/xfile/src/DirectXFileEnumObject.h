// One opened file: hands out its top-level data objects in file order.
#pragma once

#include <ComObject.h>
#include <memory>

#include "XFileDocument.h"
#include <dxfile.h>

class DirectXFileEnumObject : public ComObject<IDirectXFileEnumObject> {
public:
    explicit DirectXFileEnumObject(std::shared_ptr<const XDocument> document);

    HRESULT QueryInterface(REFIID riid, void** object) override;

    HRESULT GetNextDataObject(LPDIRECTXFILEDATA* ppDataObj) override;
    HRESULT GetDataObjectById(REFGUID rguid, LPDIRECTXFILEDATA* ppDataObj) override;
    HRESULT GetDataObjectByName(LPCSTR szName, LPDIRECTXFILEDATA* ppDataObj) override;

private:
    friend class ComObject<IDirectXFileEnumObject>;
    ~DirectXFileEnumObject() override = default;

    std::shared_ptr<const XDocument> document;
    size_t nextObject = 0;
};
