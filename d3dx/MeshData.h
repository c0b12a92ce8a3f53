// A mesh being loaded, held in memory until the whole file has been read: the
// vertices with every component a .x mesh can carry, three indices per face, a
// material per face and the material list.
#pragma once

#include <string>
#include <vector>

#include <d3dx8math.h>

struct MeshVertex {
    D3DXVECTOR3 position{0, 0, 0};
    D3DXVECTOR3 normal{0, 0, 0};
    D3DCOLOR diffuse = 0;
    float u = 0, v = 0;
};

struct MeshMaterial {
    D3DMATERIAL8 material{};
    bool hasTexture = false;
    std::string textureName;
};

class MeshData {
public:
    // Which components the file gave; the vertex format follows from them.
    bool hasNormals = false;
    bool hasColors = false;
    bool hasTexCoords = false;

    std::vector<MeshVertex> vertices;
    std::vector<DWORD> indices;    // three per face
    std::vector<DWORD> attributes; // one per face: its material
    std::vector<DWORD> pointReps;  // per vertex: the file vertex it was made from
    std::vector<MeshMaterial> materials;

    DWORD faceCount() const { return static_cast<DWORD>(attributes.size()); }
    DWORD vertexCount() const { return static_cast<DWORD>(vertices.size()); }
    DWORD fvf() const;

    // Positions by the matrix (with the perspective divide), normals by its upper
    // 3 x 3 part, renormalised.
    void transform(const D3DXMATRIX& matrix);

    // Appends another mesh: its vertices, faces (indices shifted past ours),
    // subsets (shifted past our materials) and materials follow ours.
    void append(const MeshData& other);
};
