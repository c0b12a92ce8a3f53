// Turns one Mesh data object of a .x file, with its texture coordinates,
// normals, vertex colours and material list, into triangles.
#pragma once

#include "d3dx/MeshData.h"
#include <dxfile.h>

class XMeshReader {
public:
    // E_FAIL for malformed data: sizes and counts that disagree with the data,
    // faces of fewer than 3 indices, indices outside their arrays.
    static HRESULT read(IDirectXFileData* mesh, MeshData& out);

    // The data object a child stands for: the child itself, or what it refers to.
    // Null when it is neither (a binary object) or the reference does not resolve.
    static IDirectXFileData* dataOf(IDirectXFileObject* child);

    // Calls visit (IDirectXFileData* -> HRESULT) for each data child of object in
    // order, references resolved, children that are neither skipped. Stops at the
    // first failure and answers it.
    template <typename Visit> static HRESULT forEachChild(IDirectXFileData* object, Visit&& visit) {
        LPDIRECTXFILEOBJECT child = nullptr;
        while (SUCCEEDED(object->GetNextObject(&child))) {
            IDirectXFileData* data = dataOf(child);
            child->Release();
            if (data == nullptr) {
                continue;
            }
            HRESULT hr = visit(data);
            data->Release();
            if (FAILED(hr)) {
                return hr;
            }
        }
        return S_OK;
    }
};
