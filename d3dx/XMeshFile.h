// Reads a .x file through the parser library and gathers all its meshes, placed
// by their frames' transforms, into one.
#pragma once

#include "d3dx/MeshData.h"
#include <cstddef>

#include <windef.h>

// Every Mesh object brings its materials, or one grey default material when it
// has none (diffuse and specular 0.5 grey with alpha 0, power 0, no texture).
class XMeshFile {
public:
    // The merged mesh and how many Mesh objects went into it (0: the file has
    // none). Answers the parser's or the library's failure, E_FAIL for malformed
    // meshes or frames nested or repeated beyond reason, E_OUTOFMEMORY.
    static HRESULT read(LPCSTR fileName, MeshData& out, int& meshCount);
    // The same for a file already in memory.
    static HRESULT readMemory(const void* data, size_t size, MeshData& out, int& meshCount);
};
