#include "d3dx/Mesh.h"

#include <VertexFormat.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <numeric>

namespace {

constexpr DWORD NO_NEIGHBOUR = 0xFFFFFFFF;
constexpr DWORD INVALID_OPTIONS = 0xFFFFB000;

// The device usage both buffers get from the mesh options.
DWORD sharedUsage(DWORD options) {
    DWORD usage = 0;
    if (options & D3DXMESH_DONOTCLIP) {
        usage |= D3DUSAGE_DONOTCLIP;
    }
    if (options & D3DXMESH_POINTS) {
        usage |= D3DUSAGE_POINTS;
    }
    if (options & D3DXMESH_RTPATCHES) {
        usage |= D3DUSAGE_RTPATCHES;
    }
    if (options & D3DXMESH_NPATCHES) {
        usage |= D3DUSAGE_NPATCHES;
    }
    return usage;
}

D3DPOOL poolFor(DWORD options, DWORD managed, DWORD systemMemory) {
    if (options & managed) {
        return D3DPOOL_MANAGED;
    }
    if (options & systemMemory) {
        return D3DPOOL_SYSTEMMEM;
    }
    return D3DPOOL_DEFAULT;
}

DWORD usageFor(DWORD options, DWORD writeOnly, DWORD dynamic) {
    DWORD usage = sharedUsage(options);
    if (options & writeOnly) {
        usage |= D3DUSAGE_WRITEONLY;
    }
    if (options & dynamic) {
        usage |= D3DUSAGE_DYNAMIC;
    }
    return usage;
}

} // namespace

UINT D3DXGetFVFVertexSize(DWORD fvf) {
    return fvfLayoutSize(fvf);
}

HRESULT D3DXCreateMeshFVF(DWORD NumFaces, DWORD NumVertices, DWORD Options, DWORD FVF,
                          LPDIRECT3DDEVICE8 pD3D, LPD3DXMESH* ppMesh) {
    if ((Options & INVALID_OPTIONS) != 0 || pD3D == nullptr || ppMesh == nullptr || NumFaces == 0 ||
        NumVertices == 0) {
        return D3DERR_INVALIDCALL;
    }
    Mesh* mesh = nullptr;
    HRESULT hr = Mesh::create(NumFaces, NumVertices, Options, FVF, pD3D, &mesh);
    if (SUCCEEDED(hr)) {
        *ppMesh = mesh;
    }
    return hr;
}

HRESULT Mesh::create(DWORD faces, DWORD vertices, DWORD options, DWORD fvf,
                     IDirect3DDevice8* device, Mesh** out) {
    bool wide = (options & D3DXMESH_32BIT) != 0;
    // 16-bit indices address at most 0xFFFE vertices (0xFFFF is reserved).
    DWORD limit = wide ? 0xFFFFFFFFu / 12 : 0xFFFE;
    DWORD stride = D3DXGetFVFVertexSize(fvf);
    if (faces > limit || vertices > limit || stride == 0 ||
        uint64_t(vertices) * stride > 0xFFFFFFFFu) {
        return D3DERR_INVALIDCALL;
    }
    auto* mesh = new (std::nothrow) Mesh();
    if (mesh == nullptr) {
        return E_OUTOFMEMORY;
    }
    mesh->device = device;
    device->AddRef();
    mesh->fvf = fvf;
    mesh->options = options;
    mesh->stride = stride;
    mesh->faceCount = faces;
    mesh->vertexCount = vertices;
    try {
        mesh->attributes.assign(faces, 0);
    } catch (const std::bad_alloc&) {
        mesh->Release();
        return E_OUTOFMEMORY;
    }
    UINT indexBytes = faces * 3 * (wide ? 4 : 2);
    HRESULT hr = device->CreateIndexBuffer(
        indexBytes, usageFor(options, D3DXMESH_IB_WRITEONLY, D3DXMESH_IB_DYNAMIC),
        wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
        poolFor(options, D3DXMESH_IB_MANAGED, D3DXMESH_IB_SYSTEMMEM), &mesh->indexBuffer);
    if (SUCCEEDED(hr)) {
        hr = device->CreateVertexBuffer(
            vertices * stride, usageFor(options, D3DXMESH_VB_WRITEONLY, D3DXMESH_VB_DYNAMIC), fvf,
            poolFor(options, D3DXMESH_VB_MANAGED, D3DXMESH_VB_SYSTEMMEM), &mesh->vertexBuffer);
    }
    // New buffers start zero-filled.
    BYTE* bytes = nullptr;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = mesh->indexBuffer->Lock(0, 0, &bytes, 0))) {
        std::memset(bytes, 0, indexBytes);
        mesh->indexBuffer->Unlock();
    }
    if (SUCCEEDED(hr) && SUCCEEDED(hr = mesh->vertexBuffer->Lock(0, 0, &bytes, 0))) {
        std::memset(bytes, 0, size_t(vertices) * stride);
        mesh->vertexBuffer->Unlock();
    }
    if (FAILED(hr)) {
        mesh->Release();
        return hr;
    }
    *out = mesh;
    return S_OK;
}

Mesh::~Mesh() {
    if (vertexBuffer != nullptr) {
        vertexBuffer->Release();
    }
    if (indexBuffer != nullptr) {
        indexBuffer->Release();
    }
    if (device != nullptr) {
        device->Release();
    }
}

HRESULT Mesh::handOut(HRESULT hr, ID3DXMesh* mesh, ID3DXBuffer* adjacency, LPD3DXMESH* meshOut,
                      LPD3DXBUFFER* adjacencyOut) {
    if (FAILED(hr)) {
        if (adjacency != nullptr) {
            adjacency->Release();
        }
        mesh->Release();
        return hr;
    }
    *meshOut = mesh;
    if (adjacencyOut != nullptr) {
        *adjacencyOut = adjacency;
    }
    return S_OK;
}

HRESULT Mesh::QueryInterface(REFIID riid, void** object) {
    return answerInterface(riid, object, {IID_ID3DXMesh, IID_ID3DXBaseMesh, IID_IUnknown});
}

HRESULT Mesh::DrawSubset(DWORD AttribId) {
    if (vertexBuffer == nullptr) {
        return S_OK;
    }
    device->SetVertexShader(fvf);
    device->SetStreamSource(0, vertexBuffer, stride);
    device->SetIndices(indexBuffer, 0);
    if (!attributeTable.empty()) {
        const D3DXATTRIBUTERANGE* range = nullptr;
        if (AttribId < attributeTable.size() && attributeTable[AttribId].AttribId == AttribId) {
            range = &attributeTable[AttribId];
        } else {
            for (const D3DXATTRIBUTERANGE& r : attributeTable) {
                if (r.AttribId == AttribId) {
                    range = &r;
                    break;
                }
            }
        }
        if (range != nullptr && range->FaceCount != 0) {
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, range->VertexStart, range->VertexCount,
                                         range->FaceStart * 3, range->FaceCount);
        }
        return S_OK;
    }
    // No table: every maximal run of faces with this attribute, in face order.
    DWORD face = 0;
    while (face < faceCount) {
        if (attributes[face] != AttribId) {
            ++face;
            continue;
        }
        DWORD start = face;
        while (face < faceCount && attributes[face] == AttribId) {
            ++face;
        }
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, vertexCount, start * 3, face - start);
    }
    return S_OK;
}

DWORD Mesh::GetNumFaces() {
    return faceCount;
}
DWORD Mesh::GetNumVertices() {
    return vertexCount;
}
DWORD Mesh::GetFVF() {
    return fvf;
}
DWORD Mesh::GetOptions() {
    return options;
}

HRESULT Mesh::GetDeclaration(DWORD*) {
    // Vertex shader declarations are not used by this program.
    return E_NOTIMPL;
}

HRESULT Mesh::GetDevice(LPDIRECT3DDEVICE8* ppDevice) {
    if (ppDevice == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    device->AddRef();
    *ppDevice = device;
    return S_OK;
}

HRESULT Mesh::CloneMeshFVF(DWORD, DWORD, LPDIRECT3DDEVICE8, LPD3DXMESH*) {
    // Cloning is not used by this program; meshes are merged before they are made.
    return E_NOTIMPL;
}

HRESULT Mesh::CloneMesh(DWORD, CONST DWORD*, LPDIRECT3DDEVICE8, LPD3DXMESH*) {
    return E_NOTIMPL;
}

HRESULT Mesh::GetVertexBuffer(LPDIRECT3DVERTEXBUFFER8* ppVB) {
    if (ppVB == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    vertexBuffer->AddRef();
    *ppVB = vertexBuffer;
    return S_OK;
}

HRESULT Mesh::GetIndexBuffer(LPDIRECT3DINDEXBUFFER8* ppIB) {
    if (ppIB == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    indexBuffer->AddRef();
    *ppIB = indexBuffer;
    return S_OK;
}

HRESULT Mesh::LockVertexBuffer(DWORD Flags, BYTE** ppData) {
    return vertexBuffer->Lock(0, 0, ppData, Flags | D3DLOCK_NOSYSLOCK);
}

HRESULT Mesh::UnlockVertexBuffer() {
    return vertexBuffer->Unlock();
}

HRESULT Mesh::LockIndexBuffer(DWORD Flags, BYTE** ppData) {
    return indexBuffer->Lock(0, 0, ppData, Flags | D3DLOCK_NOSYSLOCK);
}

HRESULT Mesh::UnlockIndexBuffer() {
    return indexBuffer->Unlock();
}

HRESULT Mesh::GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize) {
    if (pAttribTableSize != nullptr) {
        *pAttribTableSize = static_cast<DWORD>(attributeTable.size());
    }
    if (pAttribTable != nullptr) {
        std::copy(attributeTable.begin(), attributeTable.end(), pAttribTable);
    }
    return S_OK;
}

HRESULT Mesh::readIndices(std::vector<DWORD>& out) {
    BYTE* bytes = nullptr;
    HRESULT hr = LockIndexBuffer(D3DLOCK_READONLY, &bytes);
    if (FAILED(hr)) {
        return hr;
    }
    try {
        out.resize(size_t(faceCount) * 3);
    } catch (const std::bad_alloc&) {
        UnlockIndexBuffer();
        return E_OUTOFMEMORY;
    }
    for (size_t i = 0; i < out.size(); ++i) {
        if (options & D3DXMESH_32BIT) {
            std::memcpy(&out[i], bytes + 4 * i, 4);
        } else {
            uint16_t index;
            std::memcpy(&index, bytes + 2 * i, 2);
            out[i] = index;
        }
    }
    UnlockIndexBuffer();
    return S_OK;
}

HRESULT Mesh::ConvertPointRepsToAdjacency(CONST DWORD* pPRep, DWORD* pAdjacency) {
    if (pAdjacency == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    std::vector<DWORD> indices;
    HRESULT hr = readIndices(indices);
    if (FAILED(hr)) {
        return hr;
    }
    // Each index stands for its point representative (itself without a list).
    auto rep = [&](DWORD index) {
        return pPRep != nullptr && index < vertexCount ? pPRep[index] : index;
    };
    // Edges by their two representatives, smaller first: the faces that have them.
    struct Use {
        DWORD face;
        bool forward; // the edge runs from the smaller representative
    };
    std::map<std::pair<DWORD, DWORD>, std::vector<Use>> edges;
    try {
        for (DWORD f = 0; f < faceCount; ++f) {
            for (int e = 0; e < 3; ++e) {
                DWORD a = rep(indices[3 * f + e]), b = rep(indices[3 * f + (e + 1) % 3]);
                if (a != b) {
                    edges[{std::min(a, b), std::max(a, b)}].push_back({f, a < b});
                }
            }
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    // A neighbour across an edge is another face using it, one running the other
    // way (a consistently wound surface) preferred.
    for (DWORD f = 0; f < faceCount; ++f) {
        for (int e = 0; e < 3; ++e) {
            DWORD a = rep(indices[3 * f + e]), b = rep(indices[3 * f + (e + 1) % 3]);
            DWORD neighbour = NO_NEIGHBOUR;
            if (a != b) {
                bool forward = a < b;
                for (const Use& use : edges[{std::min(a, b), std::max(a, b)}]) {
                    if (use.face == f) {
                        continue;
                    }
                    if (use.forward != forward) {
                        neighbour = use.face;
                        break;
                    }
                    if (neighbour == NO_NEIGHBOUR) {
                        neighbour = use.face;
                    }
                }
            }
            pAdjacency[3 * f + e] = neighbour;
        }
    }
    return S_OK;
}

HRESULT Mesh::ConvertAdjacencyToPointReps(CONST DWORD*, DWORD*) {
    return E_NOTIMPL;
}

HRESULT Mesh::GenerateAdjacency(FLOAT, DWORD*) {
    return E_NOTIMPL;
}

HRESULT Mesh::LockAttributeBuffer(DWORD, DWORD** ppData) {
    if (ppData == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *ppData = attributes.data();
    return S_OK;
}

HRESULT Mesh::UnlockAttributeBuffer() {
    // Attributes may have changed: the table no longer describes the faces.
    attributeTable.clear();
    return S_OK;
}

HRESULT Mesh::Optimize(DWORD, CONST DWORD*, DWORD*, DWORD*, LPD3DXBUFFER*, LPD3DXMESH*) {
    return E_NOTIMPL;
}

HRESULT Mesh::OptimizeInplace(DWORD Flags, CONST DWORD* pAdjacencyIn, DWORD* pAdjacencyOut,
                              DWORD* pFaceRemap, LPD3DXBUFFER* ppVertexRemap) {
    // Only sorting by attribute is done; faces keep their order within a subset.
    if ((Flags & D3DXMESHOPT_ATTRSORT) == 0 || ppVertexRemap != nullptr) {
        return E_NOTIMPL;
    }
    std::vector<DWORD> indices, order, newPlace, sortedAttributes, adjacency;
    HRESULT hr = readIndices(indices);
    if (FAILED(hr)) {
        return hr;
    }
    try {
        order.resize(faceCount);
        newPlace.resize(faceCount);
        sortedAttributes.resize(faceCount);
        adjacency.resize(pAdjacencyIn != nullptr ? size_t(faceCount) * 3 : 0);
        attributeTable.reserve(attributeTable.size() + faceCount);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](DWORD a, DWORD b) { return attributes[a] < attributes[b]; });
    for (DWORD i = 0; i < faceCount; ++i) {
        newPlace[order[i]] = i;
    }
    BYTE* bytes = nullptr;
    hr = LockIndexBuffer(0, &bytes);
    if (FAILED(hr)) {
        return hr;
    }
    for (DWORD i = 0; i < faceCount; ++i) {
        DWORD old = order[i];
        sortedAttributes[i] = attributes[old];
        for (int k = 0; k < 3; ++k) {
            DWORD index = indices[3 * old + k];
            if (options & D3DXMESH_32BIT) {
                std::memcpy(bytes + 4 * (3 * i + k), &index, 4);
            } else {
                auto narrow = static_cast<uint16_t>(index);
                std::memcpy(bytes + 2 * (3 * i + k), &narrow, 2);
            }
        }
    }
    UnlockIndexBuffer();
    attributes = std::move(sortedAttributes);
    if (pFaceRemap != nullptr) {
        std::copy(order.begin(), order.end(), pFaceRemap);
    }
    if (pAdjacencyOut != nullptr && pAdjacencyIn != nullptr) {
        for (DWORD i = 0; i < faceCount; ++i) {
            for (int k = 0; k < 3; ++k) {
                DWORD n = pAdjacencyIn[3 * order[i] + k];
                adjacency[3 * i + k] = n < faceCount ? newPlace[n] : NO_NEIGHBOUR;
            }
        }
        std::copy(adjacency.begin(), adjacency.end(), pAdjacencyOut);
    }
    // One range per attribute, with the span of vertices its faces use.
    attributeTable.clear();
    for (DWORD i = 0; i < faceCount;) {
        D3DXATTRIBUTERANGE range{attributes[i], i, 0, 0xFFFFFFFF, 0};
        DWORD last = 0;
        while (i < faceCount && attributes[i] == range.AttribId) {
            for (int k = 0; k < 3; ++k) {
                DWORD index = indices[3 * order[i] + k];
                range.VertexStart = std::min(range.VertexStart, index);
                last = std::max(last, index);
            }
            ++range.FaceCount;
            ++i;
        }
        range.VertexCount = last - range.VertexStart + 1;
        attributeTable.push_back(range);
    }
    return S_OK;
}
