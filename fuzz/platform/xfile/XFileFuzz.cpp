#include "XFileFuzz.h"

#include <string>

#include <dxfile.h>

namespace {

constexpr const char* TEMPLATES = R"(xof 0302txt 0032
template Vector { <3D82AB5E-62DA-11CF-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
template MeshFace { <3D82AB5F-62DA-11CF-AB39-0020AF71E433>
  DWORD nFaceVertexIndices; array DWORD faceVertexIndices[nFaceVertexIndices]; }
template Mesh { <3D82AB44-62DA-11CF-AB39-0020AF71E433>
  DWORD nVertices; array Vector vertices[nVertices];
  DWORD nFaces; array MeshFace faces[nFaces]; [...] }
template Frame { <3D82AB46-62DA-11CF-AB39-0020AF71E433> [...] }
template TextureFilename { <A42790E1-7810-11CF-8F52-0040333594A3> STRING filename; }
template Pair { <00000000-0000-0000-0000-0000000000AA> WORD a; array UCHAR b[2][a]; DOUBLE d; }
)";

// Touches everything an object offers, and its children; references are
// resolved but not followed further than a few levels (they may form loops).
void visit(IDirectXFileData* object, int depth) {
    DWORD size = 0;
    void* data = nullptr;
    const GUID* type = nullptr;
    GUID id;
    char name[64];
    DWORD length = sizeof(name);
    object->GetName(name, &length);
    object->GetId(&id);
    object->GetType(&type);
    if (SUCCEEDED(object->GetData(nullptr, &size, &data))) {
        volatile uint8_t sum = 0;
        for (DWORD i = 0; i < size; ++i) {
            sum = sum + static_cast<uint8_t*>(data)[i];
        }
    }
    object->GetData("nVertices", &size, &data);
    LPDIRECTXFILEOBJECT child = nullptr;
    while (SUCCEEDED(object->GetNextObject(&child))) {
        IDirectXFileData* childData = nullptr;
        IDirectXFileDataReference* reference = nullptr;
        if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileData,
                                            reinterpret_cast<void**>(&childData)))) {
            visit(childData, depth + 1);
            childData->Release();
        } else if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileDataReference,
                                                   reinterpret_cast<void**>(&reference)))) {
            if (depth < 4 && SUCCEEDED(reference->Resolve(&childData))) {
                visit(childData, depth + 1);
                childData->Release();
            }
            reference->Release();
        }
        child->Release();
    }
}

} // namespace

namespace {

// Opens the bytes as a file against the fixed templates and takes every object apart.
void openAndVisit(std::string& bytes) {
    LPDIRECTXFILE file = nullptr;
    if (FAILED(DirectXFileCreate(&file))) {
        return;
    }
    std::string templates = TEMPLATES;
    file->RegisterTemplates(templates.data(), static_cast<DWORD>(templates.size()));
    DXFILELOADMEMORY memory{bytes.data(), static_cast<DWORD>(bytes.size())};
    LPDIRECTXFILEENUMOBJECT enumerator = nullptr;
    if (SUCCEEDED(file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &enumerator))) {
        LPDIRECTXFILEDATA object = nullptr;
        while (SUCCEEDED(enumerator->GetNextDataObject(&object))) {
            visit(object, 0);
            object->Release();
        }
        if (SUCCEEDED(enumerator->GetDataObjectByName("Root", &object))) {
            object->Release();
        }
        enumerator->Release();
    }
    file->Release();
}

// The body of a file after a fixed header, so that every mutation lands in the
// one form under test rather than in the header.
int fuzzBody(const char* header, const uint8_t* data, size_t size) {
    std::string bytes = header;
    bytes.append(reinterpret_cast<const char*>(data), size);
    openAndVisit(bytes);
    return 0;
}

} // namespace

int fuzzXFile(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] & 1) {
        LPDIRECTXFILE file = nullptr;
        if (SUCCEEDED(DirectXFileCreate(&file))) {
            file->RegisterTemplates(bytes.data(), static_cast<DWORD>(bytes.size()));
            file->Release();
        }
    } else {
        openAndVisit(bytes);
    }
    return 0;
}

int fuzzXFileText(const uint8_t* data, size_t size) {
    return fuzzBody("xof 0302txt 0032", data, size);
}

int fuzzXFileBinary(const uint8_t* data, size_t size) {
    return fuzzBody("xof 0302bin 0032", data, size);
}
