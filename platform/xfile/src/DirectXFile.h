// The parser object DirectXFileCreate hands out: it holds the registered
// templates and opens files (or memory) as enumerations of data objects.
#pragma once

#include "XFileDocument.h"
#include <dxfile.h>

class DirectXFile : public IDirectXFile {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT CreateEnumObject(LPVOID pvSource, DXFILELOADOPTIONS dwLoadOptions,
                             LPDIRECTXFILEENUMOBJECT* ppEnumObj) override;
    HRESULT CreateSaveObject(LPCSTR szFileName, DXFILEFORMAT dwFileFormat,
                             LPDIRECTXFILESAVEOBJECT* ppSaveObj) override;
    HRESULT RegisterTemplates(LPVOID pvData, DWORD cbSize) override;

private:
    ~DirectXFile() override = default;

    ULONG references = 1;
    XTemplateRegistry templates;
};
