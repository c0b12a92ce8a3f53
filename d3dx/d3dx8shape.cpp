#include <d3dx8.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <vector>

#include "d3dx/Mesh.h"

namespace {

constexpr float TWO_PI = 6.2831855f; // 2 pi in single precision

struct PositionNormal {
    float px, py, pz;
    float nx, ny, nz;
};

// Creates the mesh, writes the vertices and triangles, and, when asked, the
// adjacency from the given point representatives. Releases everything on failure.
HRESULT build(IDirect3DDevice8* device, const std::vector<PositionNormal>& vertices,
              const std::vector<uint16_t>& indices, const std::vector<DWORD>& pointReps,
              LPD3DXMESH* meshOut, LPD3DXBUFFER* adjacencyOut) {
    DWORD faces = static_cast<DWORD>(indices.size() / 3);
    LPD3DXMESH mesh = nullptr;
    HRESULT hr = D3DXCreateMeshFVF(faces, static_cast<DWORD>(vertices.size()), D3DXMESH_MANAGED,
                                   D3DFVF_XYZ | D3DFVF_NORMAL, device, &mesh);
    if (FAILED(hr)) {
        return hr;
    }
    BYTE* bytes = nullptr;
    if (SUCCEEDED(hr = mesh->LockVertexBuffer(0, &bytes))) {
        std::memcpy(bytes, vertices.data(), vertices.size() * sizeof(PositionNormal));
        mesh->UnlockVertexBuffer();
    }
    if (SUCCEEDED(hr) && SUCCEEDED(hr = mesh->LockIndexBuffer(0, &bytes))) {
        std::memcpy(bytes, indices.data(), indices.size() * sizeof(uint16_t));
        mesh->UnlockIndexBuffer();
    }
    LPD3DXBUFFER adjacency = nullptr;
    if (SUCCEEDED(hr) && adjacencyOut != nullptr) {
        hr = D3DXCreateBuffer(faces * 3 * sizeof(DWORD), &adjacency);
        if (SUCCEEDED(hr)) {
            hr = mesh->ConvertPointRepsToAdjacency(
                pointReps.data(), static_cast<DWORD*>(adjacency->GetBufferPointer()));
        }
    }
    return Mesh::handOut(hr, mesh, adjacency, meshOut, adjacencyOut);
}

} // namespace

HRESULT D3DXCreateTorus(LPDIRECT3DDEVICE8 pDevice, FLOAT InnerRadius, FLOAT OuterRadius, UINT Sides,
                        UINT Rings, LPD3DXMESH* ppMesh, LPD3DXBUFFER* ppAdjacency) {
    if (InnerRadius == FLT_MAX) {
        InnerRadius = 1.0f;
    }
    if (OuterRadius == FLT_MAX) {
        OuterRadius = 2.0f;
    }
    if (Sides == 0xFFFFFFFF) {
        Sides = 8;
    }
    if (Rings == 0xFFFFFFFF) {
        Rings = 15;
    }
    // NaN radii fail too: they are not "0 or more".
    if (pDevice == nullptr || ppMesh == nullptr || !(InnerRadius >= 0.0f) ||
        !(OuterRadius >= 0.0f) || Sides < 3 || Rings < 3) {
        return D3DERR_INVALIDCALL;
    }
    // 16-bit indices: the mesh itself refuses more vertices or faces.
    if (uint64_t(Sides) * Rings * 2 > 0xFFFE) {
        return D3DERR_INVALIDCALL;
    }
    std::vector<PositionNormal> vertices;
    std::vector<uint16_t> indices;
    std::vector<DWORD> reps;
    try {
        vertices.reserve(size_t(Sides) * Rings);
        for (UINT i = 0; i < Rings; ++i) {
            float theta = static_cast<float>(i) * TWO_PI / static_cast<float>(Rings);
            float cosTheta = std::cos(theta), sinTheta = std::sin(theta);
            for (UINT j = 0; j < Sides; ++j) {
                float phi = static_cast<float>(j) * TWO_PI / static_cast<float>(Sides);
                float cosPhi = std::cos(phi), sinPhi = std::sin(phi);
                float r = cosPhi * InnerRadius + OuterRadius;
                vertices.push_back({r * cosTheta, -r * sinTheta, InnerRadius * sinPhi,
                                    cosPhi * cosTheta, -cosPhi * sinTheta, sinPhi});
            }
        }
        indices.reserve(size_t(Sides) * Rings * 6);
        auto triangle = [&](UINT a, UINT b, UINT c) {
            indices.push_back(static_cast<uint16_t>(a));
            indices.push_back(static_cast<uint16_t>(b));
            indices.push_back(static_cast<uint16_t>(c));
        };
        // Ring i joins ring i + 1; the last ring joins ring 0.
        for (UINT i = 0; i < Rings; ++i) {
            UINT a = i * Sides;
            UINT b = (i + 1 < Rings) ? (i + 1) * Sides : 0;
            for (UINT j = 0; j + 1 < Sides; ++j) {
                triangle(a + j, a + j + 1, b + j);
                triangle(b + j, a + j + 1, b + j + 1);
            }
            triangle(a + Sides - 1, a, b + Sides - 1);
            triangle(b + Sides - 1, a, b);
        }
        reps.resize(vertices.size());
        for (size_t v = 0; v < reps.size(); ++v) {
            reps[v] = static_cast<DWORD>(v);
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return build(pDevice, vertices, indices, reps, ppMesh, ppAdjacency);
}

HRESULT D3DXCreateBox(LPDIRECT3DDEVICE8 pDevice, FLOAT Width, FLOAT Height, FLOAT Depth,
                      LPD3DXMESH* ppMesh, LPD3DXBUFFER* ppAdjacency) {
    for (FLOAT* side : {&Width, &Height, &Depth}) {
        if (*side == FLT_MAX) {
            *side = 1.0f;
        }
    }
    if (pDevice == nullptr || ppMesh == nullptr || !(Width >= 0.0f) || !(Height >= 0.0f) ||
        !(Depth >= 0.0f)) {
        return D3DERR_INVALIDCALL;
    }
    static constexpr float CORNERS[8][3] = {
        {-0.5f, -0.5f, -0.5f}, {-0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, -0.5f},
        {-0.5f, 0.5f, -0.5f},  {-0.5f, 0.5f, 0.5f},  {0.5f, 0.5f, 0.5f},  {0.5f, 0.5f, -0.5f},
    };
    struct Face {
        float normal[3];
        int corners[4];
    };
    static constexpr Face FACES[6] = {
        {{-1, 0, 0}, {0, 1, 5, 4}}, {{0, 1, 0}, {4, 5, 6, 7}}, {{1, 0, 0}, {7, 6, 2, 3}},
        {{0, -1, 0}, {1, 0, 3, 2}}, {{0, 0, 1}, {1, 2, 6, 5}}, {{0, 0, -1}, {0, 4, 7, 3}},
    };
    std::vector<PositionNormal> vertices;
    std::vector<uint16_t> indices;
    std::vector<DWORD> reps;
    try {
        for (int f = 0; f < 6; ++f) {
            const Face& face = FACES[f];
            for (int k = 0; k < 4; ++k) {
                const float* c = CORNERS[face.corners[k]];
                vertices.push_back({c[0] * Width, c[1] * Height, c[2] * Depth, face.normal[0],
                                    face.normal[1], face.normal[2]});
                reps.push_back(static_cast<DWORD>(face.corners[k]));
            }
            auto base = static_cast<uint16_t>(4 * f);
            for (int k : {0, 1, 2, 2, 3, 0}) {
                indices.push_back(static_cast<uint16_t>(base + k));
            }
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return build(pDevice, vertices, indices, reps, ppMesh, ppAdjacency);
}
