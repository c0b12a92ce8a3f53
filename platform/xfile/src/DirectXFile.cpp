#include "DirectXFile.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "DirectXFileEnumObject.h"
#include "XFileParser.h"
#include <winbase.h>

namespace {

// Reads a whole file through the Windows file calls; the name is a Windows path.
HRESULT readFile(LPCSTR name, std::vector<uint8_t>& out) {
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return DXFILEERR_FILENOTFOUND;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE || high != 0) {
        CloseHandle(file);
        return DXFILEERR_BADFILE;
    }
    HRESULT result = DXFILE_OK;
    try {
        out.resize(size);
        DWORD read = 0;
        if (size > 0 && (!ReadFile(file, out.data(), size, &read, nullptr) || read != size)) {
            result = DXFILEERR_BADFILE;
        }
    } catch (const std::bad_alloc&) {
        result = DXFILEERR_BADALLOC;
    }
    CloseHandle(file);
    return result;
}

// The templates of the block most recently registered on an object that knew
// none yet. Every mesh load registers the same block on a fresh object, so its
// parse is kept instead of repeated; the templates are immutable and shared.
struct RegisteredBlock {
    std::mutex lock;
    std::vector<uint8_t> bytes;
    XTemplateRegistry templates;
};

RegisteredBlock& lastBlock() {
    static RegisteredBlock block;
    return block;
}

bool sameBytes(const std::vector<uint8_t>& kept, const void* data, DWORD size) {
    return kept.size() == size && std::memcmp(kept.data(), data, size) == 0;
}

} // namespace

HRESULT WINAPI DirectXFileCreate(LPDIRECTXFILE* lplpDirectXFile) {
    if (lplpDirectXFile == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    auto* file = new (std::nothrow) DirectXFile();
    if (file == nullptr) {
        return DXFILEERR_BADALLOC;
    }
    *lplpDirectXFile = file;
    return DXFILE_OK;
}

HRESULT DirectXFile::QueryInterface(REFIID riid, void** object) {
    return answerInterface(riid, object, {IID_IDirectXFile, IID_IUnknown});
}

HRESULT DirectXFile::CreateEnumObject(LPVOID pvSource, DXFILELOADOPTIONS dwLoadOptions,
                                      LPDIRECTXFILEENUMOBJECT* ppEnumObj) {
    if (pvSource == nullptr || ppEnumObj == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    std::vector<uint8_t> fileBytes;
    const uint8_t* data = nullptr;
    size_t size = 0;
    switch (dwLoadOptions) {
    case DXFILELOAD_FROMFILE: {
        HRESULT hr = readFile(static_cast<LPCSTR>(pvSource), fileBytes);
        if (FAILED(hr)) {
            return hr;
        }
        data = fileBytes.data();
        size = fileBytes.size();
        break;
    }
    case DXFILELOAD_FROMMEMORY: {
        auto* memory = static_cast<LPDXFILELOADMEMORY>(pvSource);
        if (memory->lpMemory == nullptr && memory->dSize != 0) {
            return DXFILEERR_BADVALUE;
        }
        data = static_cast<const uint8_t*>(memory->lpMemory);
        size = memory->dSize;
        break;
    }
    default:
        // Resources, streams and URLs do not exist on this platform.
        return DXFILEERR_BADVALUE;
    }
    try {
        auto document = std::make_shared<XDocument>();
        document->templates = templates;
        HRESULT hr = XFileParser::parse(data, size, *document);
        if (FAILED(hr)) {
            return hr;
        }
        // Templates a file declares are known to later files too.
        document->templates.forEach(
            [this](const std::shared_ptr<const XTemplate>& templ) { templates.add(templ); });
        *ppEnumObj = new DirectXFileEnumObject(std::move(document));
    } catch (const std::bad_alloc&) {
        return DXFILEERR_BADALLOC;
    }
    return DXFILE_OK;
}

HRESULT DirectXFile::CreateSaveObject(LPCSTR, DXFILEFORMAT, LPDIRECTXFILESAVEOBJECT* ppSaveObj) {
    // This program only reads .x files.
    if (ppSaveObj != nullptr) {
        *ppSaveObj = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT DirectXFile::RegisterTemplates(LPVOID pvData, DWORD cbSize) {
    if (pvData == nullptr || cbSize == 0) {
        return DXFILEERR_BADVALUE;
    }
    try {
        const bool fresh = templates.size() == 0;
        RegisteredBlock& last = lastBlock();
        if (fresh) {
            std::lock_guard<std::mutex> guard(last.lock);
            if (sameBytes(last.bytes, pvData, cbSize)) {
                templates = last.templates;
                return DXFILE_OK;
            }
        }
        XDocument document;
        document.templates = templates;
        HRESULT hr = XFileParser::parse(static_cast<const uint8_t*>(pvData), cbSize, document);
        if (FAILED(hr)) {
            return hr;
        }
        if (!document.objects.empty()) {
            return DXFILEERR_PARSEERROR; // a template block holds templates only
        }
        templates = document.templates;
        if (fresh) {
            std::lock_guard<std::mutex> guard(last.lock);
            last.bytes.assign(static_cast<const uint8_t*>(pvData),
                              static_cast<const uint8_t*>(pvData) + cbSize);
            last.templates = templates;
        }
    } catch (const std::bad_alloc&) {
        return DXFILEERR_BADALLOC;
    }
    return DXFILE_OK;
}
