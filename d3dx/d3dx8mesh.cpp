#include <d3dx8.h>

#include <cstring>
#include <new>

#include "d3dx/Mesh.h"
#include "d3dx/MeshData.h"
#include "d3dx/XMeshFile.h"

namespace {

// The materials as D3DXMATERIAL records followed by the texture names they point to.
HRESULT materialBuffer(const std::vector<MeshMaterial>& materials, LPD3DXBUFFER* out) {
    size_t names = 0;
    for (const MeshMaterial& m : materials) {
        names += m.hasTexture ? m.textureName.size() + 1 : 0;
    }
    size_t records = materials.size() * sizeof(D3DXMATERIAL);
    if (records + names > 0xFFFFFFFFu) {
        return E_OUTOFMEMORY;
    }
    LPD3DXBUFFER buffer = nullptr;
    HRESULT hr = D3DXCreateBuffer(static_cast<DWORD>(records + names), &buffer);
    if (FAILED(hr)) {
        return hr;
    }
    auto* base = static_cast<uint8_t*>(buffer->GetBufferPointer());
    auto* record = reinterpret_cast<D3DXMATERIAL*>(base);
    char* name = reinterpret_cast<char*>(base + records);
    for (const MeshMaterial& m : materials) {
        record->MatD3D = m.material;
        record->pTextureFilename = nullptr;
        if (m.hasTexture) {
            std::memcpy(name, m.textureName.c_str(), m.textureName.size() + 1);
            record->pTextureFilename = name;
            name += m.textureName.size() + 1;
        }
        ++record;
    }
    *out = buffer;
    return S_OK;
}

// Makes the mesh object: vertices in the mesh's format, faces sorted by subset.
HRESULT createMesh(const MeshData& data, DWORD options, IDirect3DDevice8* device,
                   LPD3DXMESH* meshOut, LPD3DXBUFFER* adjacencyOut) {
    DWORD fvf = data.fvf();
    LPD3DXMESH mesh = nullptr;
    HRESULT hr =
        D3DXCreateMeshFVF(data.faceCount(), data.vertexCount(), options, fvf, device, &mesh);
    if (FAILED(hr)) {
        return hr;
    }
    UINT stride = D3DXGetFVFVertexSize(fvf);
    BYTE* bytes = nullptr;
    if (SUCCEEDED(hr = mesh->LockVertexBuffer(0, &bytes))) {
        for (const MeshVertex& v : data.vertices) {
            BYTE* at = bytes;
            std::memcpy(at, &v.position, 12), at += 12;
            if (data.hasNormals) {
                std::memcpy(at, &v.normal, 12), at += 12;
            }
            if (data.hasColors) {
                std::memcpy(at, &v.diffuse, 4), at += 4;
            }
            if (data.hasTexCoords) {
                std::memcpy(at, &v.u, 4), std::memcpy(at + 4, &v.v, 4);
            }
            bytes += stride;
        }
        mesh->UnlockVertexBuffer();
    }
    if (SUCCEEDED(hr) && SUCCEEDED(hr = mesh->LockIndexBuffer(0, &bytes))) {
        bool wide = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;
        for (size_t i = 0; i < data.indices.size(); ++i) {
            if (wide) {
                std::memcpy(bytes + 4 * i, &data.indices[i], 4);
            } else {
                auto index = static_cast<uint16_t>(data.indices[i]);
                std::memcpy(bytes + 2 * i, &index, 2);
            }
        }
        mesh->UnlockIndexBuffer();
    }
    DWORD* attributes = nullptr;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = mesh->LockAttributeBuffer(0, &attributes))) {
        std::memcpy(attributes, data.attributes.data(), data.attributes.size() * sizeof(DWORD));
        mesh->UnlockAttributeBuffer();
    }
    LPD3DXBUFFER adjacency = nullptr;
    if (SUCCEEDED(hr) && adjacencyOut != nullptr) {
        hr = D3DXCreateBuffer(data.faceCount() * 3 * sizeof(DWORD), &adjacency);
        if (SUCCEEDED(hr)) {
            hr = mesh->ConvertPointRepsToAdjacency(
                data.pointReps.data(), static_cast<DWORD*>(adjacency->GetBufferPointer()));
        }
    }
    if (SUCCEEDED(hr)) {
        DWORD* table =
            adjacency != nullptr ? static_cast<DWORD*>(adjacency->GetBufferPointer()) : nullptr;
        hr = mesh->OptimizeInplace(D3DXMESHOPT_ATTRSORT, table, table, nullptr, nullptr);
    }
    return Mesh::handOut(hr, mesh, adjacency, meshOut, adjacencyOut);
}

} // namespace

HRESULT D3DXLoadMeshFromX(LPCSTR pFilename, DWORD Options, LPDIRECT3DDEVICE8 pD3D,
                          LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials,
                          DWORD* pNumMaterials, LPD3DXMESH* ppMesh) {
    if (pFilename == nullptr || ppMesh == nullptr || pD3D == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    MeshData data;
    int meshCount = 0;
    HRESULT hr = XMeshFile::read(pFilename, data, meshCount);
    if (FAILED(hr)) {
        return hr;
    }
    if (meshCount == 0) {
        return E_FAIL;
    }
    // Merged meshes too large for 16-bit indices get 32-bit ones.
    DWORD options = Options;
    if (meshCount > 1 && (data.faceCount() > 0xFFFE || data.vertexCount() > 0xFFFE)) {
        options |= D3DXMESH_32BIT;
    }
    LPD3DXMESH mesh = nullptr;
    LPD3DXBUFFER adjacency = nullptr, materials = nullptr;
    hr = createMesh(data, options, pD3D, &mesh, ppAdjacency != nullptr ? &adjacency : nullptr);
    if (SUCCEEDED(hr)) {
        hr = materialBuffer(data.materials, &materials);
    }
    if (FAILED(hr)) {
        if (mesh != nullptr) {
            mesh->Release();
        }
        if (adjacency != nullptr) {
            adjacency->Release();
        }
        return hr;
    }
    *ppMesh = mesh;
    if (ppAdjacency != nullptr) {
        *ppAdjacency = adjacency;
    }
    if (ppMaterials != nullptr) {
        *ppMaterials = materials;
    } else {
        materials->Release();
    }
    if (pNumMaterials != nullptr) {
        *pNumMaterials = static_cast<DWORD>(data.materials.size());
    }
    return S_OK;
}
