#include "d3dx/MeshData.h"

#include <d3dx8.h>

DWORD MeshData::fvf() const {
    DWORD result = D3DFVF_XYZ;
    if (hasNormals) {
        result |= D3DFVF_NORMAL;
    }
    if (hasColors) {
        result |= D3DFVF_DIFFUSE;
    }
    if (hasTexCoords) {
        result |= D3DFVF_TEX1;
    }
    return result;
}

void MeshData::transform(const D3DXMATRIX& matrix) {
    D3DXMATRIX rotation = matrix;
    rotation._41 = rotation._42 = rotation._43 = 0.0f;
    rotation._14 = rotation._24 = rotation._34 = 0.0f;
    rotation._44 = 1.0f;
    for (MeshVertex& v : vertices) {
        D3DXVec3TransformCoord(&v.position, &v.position, &matrix);
        if (hasNormals) {
            D3DXVec3TransformCoord(&v.normal, &v.normal, &rotation);
            D3DXVec3Normalize(&v.normal, &v.normal);
        }
    }
}

void MeshData::append(const MeshData& other) {
    DWORD vertexBase = vertexCount();
    DWORD materialBase = static_cast<DWORD>(materials.size());
    DWORD repBase = 0;
    for (DWORD rep : pointReps) {
        repBase = std::max(repBase, rep + 1);
    }
    hasNormals = hasNormals || other.hasNormals;
    hasColors = hasColors || other.hasColors;
    hasTexCoords = hasTexCoords || other.hasTexCoords;
    vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
    for (DWORD index : other.indices) {
        indices.push_back(index + vertexBase);
    }
    for (DWORD attribute : other.attributes) {
        attributes.push_back(attribute + materialBase);
    }
    for (DWORD rep : other.pointReps) {
        pointReps.push_back(rep + repBase);
    }
    materials.insert(materials.end(), other.materials.begin(), other.materials.end());
}
