#include "d3dx/XMeshFile.h"

#include <cstring>
#include <new>

#include "XFileModule.h"
#include "d3dx/XMeshReader.h"
#include "d3dx/XTemplateBlock.h"
#include <d3dx8.h>
#include <dxfile.h>
#include <rmxfguid.h>
#include "d3dx/WindowsError.h"
#include <winbase.h>

namespace {

// A file nests frames at most this deep (references included) and holds at most
// this many objects; deeper or larger is taken as malformed, not followed.
constexpr int MAX_DEPTH = 64;
constexpr int MAX_VISITS = 1 << 16;

MeshMaterial defaultMaterial() {
    MeshMaterial grey;
    grey.material.Diffuse = {0.5f, 0.5f, 0.5f, 0.0f};
    grey.material.Specular = {0.5f, 0.5f, 0.5f, 0.0f};
    return grey;
}

struct Walk {
    MeshData result;
    int meshes = 0;
    int visits = 0;
};

HRESULT walk(IDirectXFileData* object, D3DXMATRIX& current, int depth, Walk& state) {
    if (depth > MAX_DEPTH || ++state.visits > MAX_VISITS) {
        return E_FAIL;
    }
    const GUID* type = nullptr;
    if (FAILED(object->GetType(&type))) {
        return E_FAIL;
    }
    if (*type == TID_D3DRMFrameTransformMatrix) {
        DWORD size = 0;
        void* data = nullptr;
        if (FAILED(object->GetData(nullptr, &size, &data)) || size < sizeof(D3DMATRIX)) {
            return E_FAIL;
        }
        D3DXMATRIX frame;
        std::memcpy(static_cast<D3DMATRIX*>(&frame), data, sizeof(D3DMATRIX));
        D3DXMatrixMultiply(&current, &frame, &current);
        return S_OK;
    }
    if (*type == TID_D3DRMFrame) {
        // The frame's children share a copy: its transform stays inside it.
        D3DXMATRIX inner = current;
        return XMeshReader::forEachChild(
            object, [&](IDirectXFileData* child) { return walk(child, inner, depth + 1, state); });
    }
    if (*type == TID_D3DRMMesh) {
        MeshData mesh;
        HRESULT hr = XMeshReader::read(object, mesh);
        if (FAILED(hr)) {
            return hr;
        }
        try {
            // A mesh without materials gets the grey default of its own: merged
            // behind others, its faces would otherwise name a subset that has no
            // material and never be drawn.
            if (mesh.materials.empty()) {
                mesh.materials.push_back(defaultMaterial());
            }
            mesh.transform(current);
            if (state.meshes++ == 0) {
                state.result = std::move(mesh);
            } else {
                state.result.append(mesh);
            }
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    return S_OK; // other objects carry nothing for the mesh
}

// Reads every top-level object of the file (or memory) into the walk.
HRESULT readFile(LPVOID source, DXFILELOADOPTIONS from, Walk& state) {
    registerXFileModule();
    HMODULE library = GetModuleHandleA("d3dxof.dll");
    if (library == nullptr) {
        library = LoadLibraryA("d3dxof.dll");
    }
    if (library == nullptr) {
        return hresultFromWindowsError(GetLastError());
    }
    auto create = reinterpret_cast<HRESULT (*)(LPDIRECTXFILE*)>(
        reinterpret_cast<void*>(GetProcAddress(library, "DirectXFileCreate")));
    if (create == nullptr) {
        return hresultFromWindowsError(GetLastError());
    }
    LPDIRECTXFILE file = nullptr;
    HRESULT hr = create(&file);
    if (FAILED(hr)) {
        return hr;
    }
    const std::vector<uint8_t>& block = xTemplateBlock();
    hr = file->RegisterTemplates(const_cast<uint8_t*>(block.data()),
                                 static_cast<DWORD>(block.size()));
    LPDIRECTXFILEENUMOBJECT enumerator = nullptr;
    if (SUCCEEDED(hr)) {
        hr = file->CreateEnumObject(source, from, &enumerator);
    }
    while (SUCCEEDED(hr)) {
        LPDIRECTXFILEDATA object = nullptr;
        HRESULT next = enumerator->GetNextDataObject(&object);
        if (FAILED(next)) {
            // The normal end, or a fault in the file that the parser found.
            if (next != DXFILEERR_NOMOREOBJECTS) {
                hr = next;
            }
            break;
        }
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        hr = walk(object, identity, 0, state);
        object->Release();
    }
    if (enumerator != nullptr) {
        enumerator->Release();
    }
    file->Release();
    return hr;
}

} // namespace

namespace {

HRESULT readInto(LPVOID source, DXFILELOADOPTIONS from, MeshData& out, int& meshCount) {
    Walk state;
    HRESULT hr;
    try {
        hr = readFile(source, from, state);
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    }
    meshCount = state.meshes;
    if (SUCCEEDED(hr)) {
        out = std::move(state.result);
    }
    return hr;
}

} // namespace

HRESULT XMeshFile::read(LPCSTR fileName, MeshData& out, int& meshCount) {
    return readInto(const_cast<char*>(fileName), DXFILELOAD_FROMFILE, out, meshCount);
}

HRESULT XMeshFile::readMemory(const void* data, size_t size, MeshData& out, int& meshCount) {
    if (size > 0xFFFFFFFFu) {
        return E_OUTOFMEMORY;
    }
    DXFILELOADMEMORY memory{const_cast<void*>(data), static_cast<DWORD>(size)};
    return readInto(&memory, DXFILELOAD_FROMMEMORY, out, meshCount);
}
