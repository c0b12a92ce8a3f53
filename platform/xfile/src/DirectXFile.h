// The parser object DirectXFileCreate hands out: it holds the registered
// templates and opens files (or memory) as enumerations of data objects.
#pragma once

#include <ComObject.h>
#include "XFileDocument.h"
#include <dxfile.h>

class DirectXFile : public ComObject<IDirectXFile> {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override;

    HRESULT CreateEnumObject(LPVOID pvSource, DXFILELOADOPTIONS dwLoadOptions,
                             LPDIRECTXFILEENUMOBJECT* ppEnumObj) override;
    HRESULT CreateSaveObject(LPCSTR szFileName, DXFILEFORMAT dwFileFormat,
                             LPDIRECTXFILESAVEOBJECT* ppSaveObj) override;
    HRESULT RegisterTemplates(LPVOID pvData, DWORD cbSize) override;

private:
    friend class ComObject<IDirectXFile>;
    ~DirectXFile() override = default;

    XTemplateRegistry templates;
};
