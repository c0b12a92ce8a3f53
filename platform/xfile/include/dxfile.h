// The DirectX file parser library ("d3dxof.dll"): reads .x files in their text
// and binary forms against registered templates and hands out their data objects.
#pragma once

#include <unknwn.h>

typedef DWORD DXFILEFORMAT;
#define DXFILEFORMAT_BINARY 0
#define DXFILEFORMAT_TEXT 1
#define DXFILEFORMAT_COMPRESSED 2

typedef DWORD DXFILELOADOPTIONS;
#define DXFILELOAD_FROMFILE 0x00
#define DXFILELOAD_FROMRESOURCE 0x01
#define DXFILELOAD_FROMMEMORY 0x02
#define DXFILELOAD_FROMSTREAM 0x04
#define DXFILELOAD_FROMURL 0x08

typedef struct _DXFILELOADRESOURCE {
    HMODULE hModule;
    LPCSTR lpName;
    LPCSTR lpType;
} DXFILELOADRESOURCE, *LPDXFILELOADRESOURCE;

typedef struct _DXFILELOADMEMORY {
    LPVOID lpMemory;
    DWORD dSize;
} DXFILELOADMEMORY, *LPDXFILELOADMEMORY;

struct IDirectXFile;
struct IDirectXFileEnumObject;
struct IDirectXFileSaveObject;
struct IDirectXFileObject;
struct IDirectXFileData;
struct IDirectXFileDataReference;
struct IDirectXFileBinary;

typedef IDirectXFile* LPDIRECTXFILE;
typedef IDirectXFileEnumObject* LPDIRECTXFILEENUMOBJECT;
typedef IDirectXFileSaveObject* LPDIRECTXFILESAVEOBJECT;
typedef IDirectXFileObject* LPDIRECTXFILEOBJECT;
typedef IDirectXFileData* LPDIRECTXFILEDATA;
typedef IDirectXFileDataReference* LPDIRECTXFILEDATAREFERENCE;
typedef IDirectXFileBinary* LPDIRECTXFILEBINARY;

HRESULT WINAPI DirectXFileCreate(LPDIRECTXFILE* lplpDirectXFile);

struct IDirectXFile : public IUnknown {
    virtual HRESULT CreateEnumObject(LPVOID pvSource, DXFILELOADOPTIONS dwLoadOptions,
                                     LPDIRECTXFILEENUMOBJECT* ppEnumObj) = 0;
    virtual HRESULT CreateSaveObject(LPCSTR szFileName, DXFILEFORMAT dwFileFormat,
                                     LPDIRECTXFILESAVEOBJECT* ppSaveObj) = 0;
    virtual HRESULT RegisterTemplates(LPVOID pvData, DWORD cbSize) = 0;
};

struct IDirectXFileEnumObject : public IUnknown {
    virtual HRESULT GetNextDataObject(LPDIRECTXFILEDATA* ppDataObj) = 0;
    virtual HRESULT GetDataObjectById(REFGUID rguid, LPDIRECTXFILEDATA* ppDataObj) = 0;
    virtual HRESULT GetDataObjectByName(LPCSTR szName, LPDIRECTXFILEDATA* ppDataObj) = 0;
};

struct IDirectXFileSaveObject : public IUnknown {
    virtual HRESULT SaveTemplates(DWORD cTemplates, const GUID** ppguidTemplates) = 0;
    virtual HRESULT CreateDataObject(REFGUID rguidTemplate, LPCSTR szName, const GUID* pguid,
                                     DWORD cbSize, LPVOID pvData, LPDIRECTXFILEDATA* ppDataObj) = 0;
    virtual HRESULT SaveData(LPDIRECTXFILEDATA pDataObj) = 0;
};

struct IDirectXFileObject : public IUnknown {
    virtual HRESULT GetName(LPSTR pstrNameBuf, LPDWORD pdwBufLen) = 0;
    virtual HRESULT GetId(GUID* pGuid) = 0;
};

struct IDirectXFileData : public IDirectXFileObject {
    virtual HRESULT GetData(LPCSTR szMember, DWORD* pcbSize, void** ppvData) = 0;
    virtual HRESULT GetType(const GUID** ppguid) = 0;
    virtual HRESULT GetNextObject(LPDIRECTXFILEOBJECT* ppChildObj) = 0;
    virtual HRESULT AddDataObject(LPDIRECTXFILEDATA pDataObj) = 0;
    virtual HRESULT AddDataReference(LPCSTR szRef, const GUID* pguidRef) = 0;
    virtual HRESULT AddBinaryObject(LPCSTR szName, const GUID* pguid, LPCSTR szMimeType,
                                    LPVOID pvData, DWORD cbSize) = 0;
};

struct IDirectXFileDataReference : public IDirectXFileObject {
    virtual HRESULT Resolve(LPDIRECTXFILEDATA* ppDataObj) = 0;
};

struct IDirectXFileBinary : public IDirectXFileObject {
    virtual HRESULT GetSize(DWORD* pcbSize) = 0;
    virtual HRESULT GetMimeType(LPCSTR* pszMimeType) = 0;
    virtual HRESULT Read(LPVOID pvData, DWORD cbSize, LPDWORD pcbRead) = 0;
};

inline constexpr GUID IID_IDirectXFile = {
    0x3D82AB40, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
inline constexpr GUID IID_IDirectXFileEnumObject = {
    0x3D82AB41, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
inline constexpr GUID IID_IDirectXFileSaveObject = {
    0x3D82AB42, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
inline constexpr GUID IID_IDirectXFileObject = {
    0x3D82AB43, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
inline constexpr GUID IID_IDirectXFileData = {
    0x3D82AB44, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
inline constexpr GUID IID_IDirectXFileDataReference = {
    0x3D82AB45, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
inline constexpr GUID IID_IDirectXFileBinary = {
    0x3D82AB46, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};

#ifndef _FACDD
#define _FACDD 0x876
#endif
#ifndef MAKE_DDHRESULT
#define MAKE_DDHRESULT(code) MAKE_HRESULT(1, _FACDD, code)
#endif

#define DXFILE_OK 0
#define DXFILEERR_BADOBJECT MAKE_DDHRESULT(850)
#define DXFILEERR_BADVALUE MAKE_DDHRESULT(851)
#define DXFILEERR_BADTYPE MAKE_DDHRESULT(852)
#define DXFILEERR_BADSTREAMHANDLE MAKE_DDHRESULT(853)
#define DXFILEERR_BADALLOC MAKE_DDHRESULT(854)
#define DXFILEERR_NOTFOUND MAKE_DDHRESULT(855)
#define DXFILEERR_NOTDONEYET MAKE_DDHRESULT(856)
#define DXFILEERR_FILENOTFOUND MAKE_DDHRESULT(857)
#define DXFILEERR_RESOURCENOTFOUND MAKE_DDHRESULT(858)
#define DXFILEERR_URLNOTFOUND MAKE_DDHRESULT(859)
#define DXFILEERR_BADRESOURCE MAKE_DDHRESULT(860)
#define DXFILEERR_BADFILETYPE MAKE_DDHRESULT(861)
#define DXFILEERR_BADFILEVERSION MAKE_DDHRESULT(862)
#define DXFILEERR_BADFILEFLOATSIZE MAKE_DDHRESULT(863)
#define DXFILEERR_BADFILECOMPRESSIONTYPE MAKE_DDHRESULT(864)
#define DXFILEERR_BADFILE MAKE_DDHRESULT(865)
#define DXFILEERR_PARSEERROR MAKE_DDHRESULT(866)
#define DXFILEERR_NOTEMPLATE MAKE_DDHRESULT(867)
#define DXFILEERR_BADARRAYSIZE MAKE_DDHRESULT(868)
#define DXFILEERR_BADDATAREFERENCE MAKE_DDHRESULT(869)
#define DXFILEERR_INTERNALERROR MAKE_DDHRESULT(870)
#define DXFILEERR_NOMOREOBJECTS MAKE_DDHRESULT(871)
#define DXFILEERR_BADINTRINSICS MAKE_DDHRESULT(872)
#define DXFILEERR_NOMORESTREAMHANDLES MAKE_DDHRESULT(873)
#define DXFILEERR_NOMOREDATA MAKE_DDHRESULT(874)
#define DXFILEERR_BADCACHEFILE MAKE_DDHRESULT(875)
#define DXFILEERR_NOINTERNET MAKE_DDHRESULT(876)
